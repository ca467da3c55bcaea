#include "SuiteFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <limits>

namespace kx {

namespace {

constexpr qint64 kReadChunk = 64 * 1024;

// A line that is not valid UTF-8 is taken as Latin-1, so every byte reads.
QString decodeLine(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// Hands each line, without its end, to visit(number, bytes) until visit
// returns false. LF, CR LF and a lone CR each end a line; a last line without
// an end still counts. The file is read until a read brings nothing, never
// only as far as its reported size (a pipe or a /proc file reports 0). False
// when the file could not be read to the end.
template<typename Visit> bool visitLines(QFile& file, Visit visit)
{
    QByteArray line;
    qint64 number = 0; // a file of more than 2^31 line ends is no reason to overflow
    char previous = 0;
    for (;;) {
        const QByteArray chunk = file.read(kReadChunk);
        if (chunk.isEmpty())
            break;
        qsizetype start = 0;
        for (qsizetype i = 0; i < chunk.size(); ++i) {
            const char c = chunk[i];
            const bool secondHalfOfCrLf = c == '\n' && previous == '\r';
            previous = c;
            if (secondHalfOfCrLf) {
                start = i + 1;
            } else if (c == '\n' || c == '\r') {
                line.append(chunk.constData() + start, i - start);
                if (!visit(++number, line))
                    return true;
                line.clear();
                start = i + 1;
            }
        }
        line.append(chunk.constData() + start, chunk.size() - start);
    }
    if (file.error() != QFileDevice::NoError)
        return false;
    if (!line.isEmpty())
        visit(++number, line);
    return true;
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
    qint64 lines = 0;
    const bool read = visitLines(file, [&](qint64 number, const QByteArray& line) {
        lines = number;
        if (number != n)
            return true;
        result.ok = true;
        result.record = decodeLine(line);
        return false;
    });
    if (result.ok)
        return result;
    if (!read) {
        result.error =
            QStringLiteral("Cannot read the suite file %1: %2").arg(path, file.errorString());
        return result;
    }
    result.error = QStringLiteral("Position %1 is beyond the end of %2 (%3 positions).")
                       .arg(n)
                       .arg(name)
                       .arg(lines);
    return result;
}

qint32 CountSuiteLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    qint64 lines = 0;
    const bool read = visitLines(file, [&lines](qint64 number, const QByteArray&) {
        lines = number;
        return true;
    });
    return read ? qint32(qMin<qint64>(lines, std::numeric_limits<qint32>::max())) : -1;
}

std::optional<QStringList> ReadSuiteLines(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error =
                QStringLiteral("Cannot open the suite file %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QStringList lines;
    if (!visitLines(file, [&lines](qint64, const QByteArray& line) {
            lines.append(decodeLine(line));
            return true;
        })) {
        if (error)
            *error =
                QStringLiteral("Cannot read the suite file %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
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
