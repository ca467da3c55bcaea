#include "HistoryFile.h"

#include "SafeWrite.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace kx {

namespace {

constexpr char kHeader[] = "# Kestrelux position history 1\n"
                           "# position key attempts solved last-seen box due\n";
constexpr char kNoDay = '-';
constexpr int kFields = 7;
constexpr int kKeyDigits = 16;
constexpr qsizetype kDayLength = 10; // yyyy-MM-dd
constexpr qsizetype kLineGuess = 48; // bytes a line takes, to reserve room

// A number and the blank after it, with at least `digits` digits.
template<typename T> void appendNumber(QByteArray& out, T value, int base = 10, int digits = 1)
{
    std::array<char, std::numeric_limits<T>::digits + 2> text{};
    const char* end = std::to_chars(text.data(), text.data() + text.size(), value, base).ptr;
    const auto length = int(end - text.data());
    if (length < digits)
        out.append(digits - length, '0');
    out.append(text.data(), length);
    out += ' ';
}

void appendDay(QByteArray& out, QDate day)
{
    if (!day.isValid()) {
        out += kNoDay;
        return;
    }
    int y = 0;
    int m = 0;
    int d = 0;
    day.getDate(&y, &m, &d); // one conversion from the day number, not three
    std::array<char, kDayLength> text{};
    for (int i = 3; i >= 0; --i, y /= 10)
        text[std::size_t(i)] = char('0' + y % 10);
    text[4] = text[7] = '-';
    text[5] = char('0' + m / 10);
    text[6] = char('0' + m % 10);
    text[8] = char('0' + d / 10);
    text[9] = char('0' + d % 10);
    out.append(text.data(), kDayLength);
}

// A whole field as an unsigned number, nothing else in it.
template<typename T> bool readNumber(QByteArrayView field, T& value, int base = 10)
{
    if (field.isEmpty() || field.front() == '+' || field.front() == '-')
        return false;
    const char* end = field.data() + field.size();
    const auto [ptr, error] = std::from_chars(field.data(), end, value, base);
    return error == std::errc() && ptr == end;
}

bool readDay(QByteArrayView field, QDate& day)
{
    if (field.size() == 1 && field.front() == kNoDay) {
        day = QDate();
        return true;
    }
    int y = 0;
    int m = 0;
    int d = 0;
    if (field.size() != kDayLength || field[4] != '-' || field[7] != '-' ||
        !readNumber(field.sliced(0, 4), y) || !readNumber(field.sliced(5, 2), m) ||
        !readNumber(field.sliced(8, 2), d))
        return false;
    day = QDate(y, m, d);
    return day.isValid();
}

bool readEntry(QByteArrayView line, HistoryEntry& entry)
{
    std::array<QByteArrayView, kFields> fields;
    int n = 0;
    for (qsizetype from = 0; from <= line.size(); ++n) {
        qsizetype space = line.indexOf(' ', from);
        if (space < 0)
            space = line.size();
        if (n == kFields)
            return false; // more fields than an entry has
        fields[std::size_t(n)] = line.sliced(from, space - from);
        from = space + 1;
    }
    return n == kFields && readNumber(fields[0], entry.number) && fields[1].size() == kKeyDigits &&
           readNumber(fields[1], entry.key, 16) && readNumber(fields[2], entry.attempts) &&
           readNumber(fields[3], entry.solves) && readDay(fields[4], entry.lastSeen) &&
           readNumber(fields[5], entry.box) && readDay(fields[6], entry.due);
}

} // namespace

QString HistoryFileName(const QString& suiteName)
{
    return suiteName + QStringLiteral("_KXH.txt");
}

QByteArray HistoryText(const std::vector<HistoryEntry>& entries)
{
    QByteArray out(kHeader);
    out.reserve(out.size() + qsizetype(entries.size()) * kLineGuess);
    for (const HistoryEntry& e : entries) {
        appendNumber(out, e.number);
        appendNumber(out, e.key, 16, kKeyDigits);
        appendNumber(out, e.attempts);
        appendNumber(out, e.solves);
        appendDay(out, e.lastSeen);
        out += ' ';
        appendNumber(out, e.box);
        appendDay(out, e.due);
        out += '\n';
    }
    return out;
}

HistoryReading ParseHistory(const QByteArray& data, QDate today)
{
    HistoryReading reading;
    const QByteArrayView all(data);
    for (qsizetype from = 0; from < all.size();) {
        const qsizetype lf = all.indexOf('\n', from);
        // A last line without its line end was cut short.
        QByteArrayView line = all.sliced(from, (lf < 0 ? all.size() : lf) - from);
        from = lf < 0 ? all.size() : lf + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith('#') && lf >= 0)
            continue;
        HistoryEntry entry;
        if (lf >= 0 && readEntry(line, entry) && IsPlausible(entry, today))
            reading.entries.push_back(entry);
        else
            ++reading.dropped;
    }
    auto byNumber = [](const HistoryEntry& a, const HistoryEntry& b) {
        return a.number < b.number;
    };
    std::stable_sort(reading.entries.begin(), reading.entries.end(), byNumber);
    const auto doubles = std::unique(
        reading.entries.begin(), reading.entries.end(),
        [](const HistoryEntry& a, const HistoryEntry& b) { return a.number == b.number; });
    reading.dropped += qsizetype(reading.entries.end() - doubles);
    reading.entries.erase(doubles, reading.entries.end());
    return reading;
}

HistoryReading ReadHistoryFile(const QString& path, QDate today)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    return ParseHistory(data, today);
}

Result<> WriteHistoryFile(const QString& path, const std::vector<HistoryEntry>& entries)
{
    auto fail = [&](const QString& reason) {
        return Fail(QStringLiteral("Cannot save the position history %1: %2").arg(path, reason));
    };
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("the folder %1 cannot be created").arg(folder));
    const Result<> written = ReplaceFileContents(path, HistoryText(entries));
    if (!written)
        return fail(written.error());
    return {};
}

} // namespace kx
