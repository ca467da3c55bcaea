#include "SuiteFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace kx {

namespace {

constexpr qint64 kReadChunk = 64 * 1024;

QString withoutLineEnd(QByteArray line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

} // namespace

SuiteRecord ReadSuiteRecord(const QString& path, qint32 n)
{
    SuiteRecord result;
    const QString name = QFileInfo(path).fileName();
    if (n < 1) {
        result.error = QStringLiteral("Position %1 does not exist in %2: positions are numbered "
                                      "from 1.")
                           .arg(n)
                           .arg(name);
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error =
            QStringLiteral("Cannot open the suite file %1: %2").arg(path, file.errorString());
        return result;
    }
    qint32 lineNumber = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (line.isEmpty() && file.error() != QFileDevice::NoError)
            break;
        if (++lineNumber == n) {
            result.ok = true;
            result.record = withoutLineEnd(line);
            return result;
        }
    }
    if (file.error() != QFileDevice::NoError) {
        result.error =
            QStringLiteral("Cannot read the suite file %1: %2").arg(path, file.errorString());
        return result;
    }
    result.error = QStringLiteral("Position %1 is beyond the end of %2 (%3 positions).")
                       .arg(n)
                       .arg(name)
                       .arg(lineNumber);
    return result;
}

qint32 CountSuiteLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    qint32 lines = 0;
    char last = '\n';
    for (;;) {
        const QByteArray chunk = file.read(kReadChunk);
        if (chunk.isEmpty())
            break;
        lines += static_cast<qint32>(chunk.count('\n'));
        last = chunk.back();
    }
    if (file.error() != QFileDevice::NoError)
        return -1;
    // A last line without a line end still counts.
    if (last != '\n')
        ++lines;
    return lines;
}

QStringList SuiteList(const QStringList& folders)
{
    QStringList suites = {QStringLiteral("WAC.EPD"), QStringLiteral("BWTC.EPD"),
                          QStringLiteral("WCSAC.EPD")};
    QStringList others;
    for (const QString& folder : folders) {
        const QStringList files = QDir(folder).entryList(QDir::Files);
        for (const QString& name : files) {
            if (name.endsWith(QStringLiteral(".epd"), Qt::CaseInsensitive) &&
                !suites.contains(name) && !others.contains(name))
                others.append(name);
        }
    }
    std::sort(others.begin(), others.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return suites + others;
}

QString FindSuite(const QStringList& folders, const QString& name)
{
    if (name.isEmpty())
        return QString();
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

} // namespace kx
