#include "StatsFile.h"

#include "SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace kx {

namespace {

const QString kOpen = QStringLiteral("/*");
const QString kClose = QStringLiteral("*/");
constexpr char kLineEnd[] = "\r\n";
constexpr int kLinesPerCheck = 512;

// A line made of backslashes (maybe none) followed by one of the boundary texts.
bool isEscapedBoundary(QStringView line)
{
    qsizetype n = 0;
    while (n < line.size() && line[n] == u'\\')
        ++n;
    const QStringView rest = line.mid(n);
    return rest == kOpen || rest == kClose;
}

QString escapeLine(QStringView line)
{
    return isEscapedBoundary(line) ? u'\\' + line.toString() : line.toString();
}

QString unescapeLine(QStringView line)
{
    return line.startsWith(u'\\') && isEscapedBoundary(line) ? line.mid(1).toString()
                                                             : line.toString();
}

// Text as written by this program (UTF-8); a file from an 8-bit code page
// is read as Latin-1 rather than with replacement characters.
QString decode(const QByteArray& data)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(data);
    if (utf8.hasError())
        text = QString::fromLatin1(data);
    return text;
}

void appendLine(QByteArray& out, QStringView line)
{
    out += line.toUtf8();
    out += kLineEnd;
}

} // namespace

QByteArray StatsText(const TableRows& rows, int columns)
{
    QByteArray out;
    out.reserve(rows.size() * (columns + 2) * 8);
    for (const QStringList& row : rows) {
        appendLine(out, kOpen);
        for (int c = 0; c < columns; ++c) {
            QString cell = c < row.size() ? row.at(c) : QString();
            cell.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            cell.replace(u'\r', u'\n');
            if (c != TableCol::Comment) {
                // Only the comment may span lines; elsewhere a break would
                // push every later cell of the record one line down.
                cell.replace(u'\n', u' ');
                appendLine(out, escapeLine(cell));
                continue;
            }
            for (QStringView line : QStringView(cell).split(u'\n'))
                appendLine(out, escapeLine(line));
        }
        appendLine(out, kClose);
    }
    return out;
}

StatsReading ParseStats(const QByteArray& data, const KeepGoing& keepGoing)
{
    StatsReading result;
    const QString text = decode(data);
    const QStringView all(text);
    qsizetype from = 0;
    qint64 linesRead = 0;
    // The next line without its line end; false at the end of the text.
    auto nextLine = [&](QStringView* line) {
        if (from >= all.size())
            return false;
        qsizetype lf = all.indexOf(u'\n', from);
        if (lf < 0)
            lf = all.size();
        *line = all.mid(from, lf - from);
        if (line->endsWith(u'\r'))
            line->chop(1);
        from = lf + 1;
        ++linesRead;
        return true;
    };

    QStringView line;
    while (nextLine(&line)) {
        if (line != kOpen)
            continue; // not inside a record: a stray line, passed over
        QStringList cells;
        cells.reserve(TableCol::Count);
        bool closed = false;
        while (cells.size() < TableCol::Count && nextLine(&line)) {
            if (line == kClose) {
                closed = true;
                break;
            }
            cells.append(unescapeLine(line));
        }
        // Lines beyond the last cell continue a multi-line comment.
        while (!closed && nextLine(&line)) {
            if (line == kClose)
                closed = true;
            else
                cells.last() += u'\n' + unescapeLine(line);
        }
        result.rows.append(cells);
        if (keepGoing && linesRead >= kLinesPerCheck) {
            linesRead = 0;
            if (!keepGoing()) {
                result.complete = false;
                break;
            }
        }
    }
    if (result.rows.isEmpty())
        result.rows.append(QStringList());
    return result;
}

StatsReading ReadStatsFile(const QString& path, const KeepGoing& keepGoing)
{
    QFile file(path);
    if (!file.exists()) {
        StatsReading empty;
        empty.rows.append(QStringList());
        return empty;
    }
    QByteArray data;
    if (file.open(QIODevice::ReadOnly))
        data = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        StatsReading failed;
        failed.rows.append(QStringList());
        failed.error =
            QStringLiteral("Cannot read the statistics file %1: %2").arg(path, file.errorString());
        return failed;
    }
    return ParseStats(data, keepGoing);
}

Result<> WriteStatsFile(const QString& path, const TableRows& rows)
{
    auto fail = [&](const QString& reason) {
        return Fail(QStringLiteral("Cannot save the statistics file %1: %2").arg(path, reason));
    };
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("the folder %1 cannot be created").arg(folder));

    const Result<> written = ReplaceFileContents(path, StatsText(rows));
    if (!written)
        return fail(written.error());
    return {};
}

} // namespace kx
