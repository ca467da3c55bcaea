#pragma once

#include "KestreluxTestAccess.h"
#include "frmKestrelux.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

/*
 * A throw-away program folder and data folder for one main window, the
 * messages the window shows (collected instead of shown in a modal box), and
 * the tests' access to the window.
 */
struct TrainerFixture
{
    QTemporaryDir programDir;
    QTemporaryDir dataDir;
    QStringList messages;
    std::unique_ptr<frmKestrelux> window;
    std::optional<KestreluxTestAccess> access; // to the window open

    static void writeFile(const QString& path, const QByteArray& content)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        file.write(content);
    }

    QString programFile(const QString& name) const { return programDir.filePath(name); }
    QString dataFile(const QString& name) const { return dataDir.filePath(name); }

    void addSuite(const QString& name, const QStringList& records, const char* lineEnd = "\n")
    {
        QByteArray text;
        for (const QString& r : records)
            text += r.toUtf8() + lineEnd;
        writeFile(programFile(name), text);
    }

    /// The window on the fixture's program folder, or on programFolder when given.
    frmKestrelux& open(const QString& programFolder = QString())
    {
        window = std::make_unique<frmKestrelux>(
            programFolder.isEmpty() ? programDir.path() : programFolder, dataDir.path());
        window->setMessageHandler([this](const QString& text) { messages.append(text); });
        access.emplace(*window);
        return *window;
    }

    /// The window on a suite WAC.EPD of these records, shown when asked.
    KestreluxTestAccess& openOn(const QStringList& records, bool shown = false)
    {
        addSuite(QStringLiteral("WAC.EPD"), records);
        open();
        if (shown)
            window->show();
        return *access;
    }
};

// A pawn-push position repeated: the best move e4 is made by e2 -> e4.
inline QStringList pawnPushSuite(int count)
{
    QStringList records;
    for (int i = 1; i <= count; ++i)
        records << QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 w - - bm e4; id \"T.%1\";").arg(i);
    return records;
}
