#include "IniFile.h"

#include "SafeWrite.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <optional>

namespace kx {

namespace {

// One line of the file as bytes, its line end kept apart so that lines we do
// not change are written back byte for byte.
struct Line
{
    QByteArray text;
    QByteArray end; // "\n", "\r\n", "\r" or "" for a last line without line end
};

// LF, CR LF and a CR alone each end a line, as editors on any system write them.
QList<Line> splitLines(const QByteArray& data)
{
    QList<Line> lines;
    qsizetype from = 0;
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c != '\n' && c != '\r')
            continue;
        const qsizetype endLength = c == '\r' && i + 1 < data.size() && data[i + 1] == '\n' ? 2 : 1;
        lines.append({data.mid(from, i - from), data.mid(i, endLength)});
        i += endLength - 1;
        from = i + 1;
    }
    if (from < data.size())
        lines.append({data.mid(from), {}});
    return lines;
}

// The section name when the line is a header such as "  [ Kestrelux ]".
std::optional<QString> sectionName(const QByteArray& line)
{
    const QString text = QString::fromUtf8(line).trimmed();
    if (!text.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = text.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return text.mid(1, close - 1).trimmed();
}

// The key of a "key=value" line, or nothing for comments and other lines.
std::optional<QString> keyName(const QByteArray& line)
{
    const QString text = QString::fromUtf8(line);
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(u';'))
        return std::nullopt;
    const qsizetype eq = text.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    return text.left(eq).trimmed();
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a section lies in the file: its header line and the line after its
// last line (the next header or the end of the file).
struct SectionSpan
{
    qsizetype header = -1;
    qsizetype end = -1;
};

SectionSpan findSection(const QList<Line>& lines, const QString& section)
{
    SectionSpan span;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines[i].text);
        if (!name)
            continue;
        if (span.header >= 0) {
            span.end = i;
            return span;
        }
        // The first section of that name is the one read and written.
        if (sameName(*name, section))
            span.header = i;
    }
    if (span.header >= 0)
        span.end = lines.size();
    return span;
}

qsizetype findKey(const QList<Line>& lines, const SectionSpan& span, const QString& key)
{
    for (qsizetype i = span.header + 1; i < span.end; ++i) {
        const auto name = keyName(lines[i].text);
        if (name && sameName(*name, key))
            return i;
    }
    return -1;
}

bool hasLineBreak(const QString& text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

} // namespace

QString IniValue(const QByteArray& data, const QString& section, const QString& key,
                 const QString& defaultValue)
{
    const QList<Line> lines = splitLines(data);
    // Names are matched as the writer stores them: without outer blanks.
    const SectionSpan span = findSection(lines, section.trimmed());
    if (span.header < 0)
        return defaultValue;
    const qsizetype at = findKey(lines, span, key.trimmed());
    if (at < 0)
        return defaultValue;
    const QString text = QString::fromUtf8(lines[at].text);
    return text.mid(text.indexOf(u'=') + 1).trimmed();
}

std::optional<QByteArray> WithIniValue(const QByteArray& data, const QString& untrimmedSection,
                                       const QString& untrimmedKey, const QString& value)
{
    // " Engine" is stored, found and replaced as "Engine", never added twice.
    const QString section = untrimmedSection.trimmed();
    const QString key = untrimmedKey.trimmed();
    // Names and values that the line format cannot hold would corrupt the file.
    if (section.isEmpty() || section.contains(u']') || hasLineBreak(section) || key.isEmpty() ||
        key.contains(u'=') || key.startsWith(u'[') || key.startsWith(u';') || hasLineBreak(key) ||
        hasLineBreak(value))
        return std::nullopt;

    QList<Line> lines = splitLines(data);
    // New lines follow the file's own line ends.
    QByteArray eol = "\n";
    if (!lines.isEmpty() && !lines.first().end.isEmpty())
        eol = lines.first().end;
    const QByteArray valueBytes = value.toUtf8();

    const SectionSpan span = findSection(lines, section);
    if (span.header < 0) {
        if (!lines.isEmpty() && lines.last().end.isEmpty())
            lines.last().end = eol;
        lines.append({'[' + section.toUtf8() + ']', eol});
        lines.append({key.toUtf8() + '=' + valueBytes, eol});
    } else if (const qsizetype at = findKey(lines, span, key); at >= 0) {
        // Keep the key as the file spells it; only the value changes.
        const QByteArray& old = lines[at].text;
        lines[at].text = old.left(old.indexOf('=') + 1) + valueBytes;
    } else {
        // After the section's last non-blank line, so a blank line that
        // separates it from the next section stays where it is.
        qsizetype after = span.end;
        while (after > span.header + 1 && lines[after - 1].text.trimmed().isEmpty())
            --after;
        if (lines[after - 1].end.isEmpty())
            lines[after - 1].end = eol;
        lines.insert(after, {key.toUtf8() + '=' + valueBytes, eol});
    }

    QByteArray out;
    for (const Line& line : std::as_const(lines))
        out += line.text + line.end;
    return out;
}

QString ReadIniValue(const QString& filePath, const QString& section, const QString& key,
                     const QString& defaultValue)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue;
    return IniValue(file.readAll(), section, key, defaultValue);
}

Result<> WriteIniValue(const QString& filePath, const QString& section, const QString& key,
                       const QString& value)
{
    return WriteIniValues(filePath, section, {{key, value}});
}

Result<> WriteIniValues(const QString& filePath, const QString& section,
                        const QList<std::pair<QString, QString>>& values)
{
    QByteArray data;
    QFile existing(filePath);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return Fail(QStringLiteral("Cannot read the settings file %1: %2")
                            .arg(filePath, existing.errorString()));
        data = existing.readAll();
        existing.close();
    }

    for (const auto& [key, value] : values) {
        std::optional<QByteArray> out = WithIniValue(data, section, key, value);
        if (!out)
            return Fail(QStringLiteral("Cannot store \"%1\" in section \"%2\" of %3: the name or "
                                       "value cannot be written on one settings line.")
                            .arg(key.trimmed(), section.trimmed(), filePath));
        data = std::move(*out);
    }

    const Result<> written = ReplaceFileContents(filePath, data);
    if (!written)
        return Fail(
            QStringLiteral("Cannot write the settings file %1: %2").arg(filePath, written.error()));
    return {};
}

} // namespace kx
