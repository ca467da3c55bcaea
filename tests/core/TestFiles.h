#pragma once

#include "Suite.h"

#include <QFile>
#include <QStringList>
#include <QTest>

/*
 * Files the core tests read and write: whole temporary files, and the public
 * suites shipped with the program that the parsing tests run over record by record.
 */

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeAll(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

inline constexpr char kNoPublicSuites[] =
    "The shipped suites WAC.EPD and WCSAC.EPD cannot be read from " KX_SUITES_DIR;

/// The non-blank lines of both public suites as read (a CR may end them);
/// empty when either suite cannot be read.
inline QStringList publicSuiteRecords()
{
    QStringList lines;
    for (const char* name : {"WAC.EPD", "WCSAC.EPD"}) {
        QFile file(QStringLiteral(KX_SUITES_DIR "/") + QLatin1String(name));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        for (const QByteArray& raw : file.readAll().split('\n')) {
            if (!raw.trimmed().isEmpty())
                lines += QString::fromUtf8(raw);
        }
    }
    return lines;
}

/// Every line of a suite file as the suite reads it; empty when it cannot be read.
inline QStringList suiteLines(const QString& path)
{
    kx::Suite suite;
    QStringList lines;
    if (!suite.Open(path))
        return lines;
    for (qint32 n = 1; n <= suite.size(); ++n)
        lines << suite.record(n).valueOr(QString());
    return lines;
}

/// The records of the suite shipped with the program.
inline QStringList shippedSuiteRecords()
{
    return suiteLines(QStringLiteral(KX_SOURCE_DIR "/trainer/suites/KESTREL.EPD"));
}
