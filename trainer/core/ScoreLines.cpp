#include "ScoreLines.h"

#include "NumberText.h"

#include <QFile>

#include <algorithm>
#include <optional>

namespace kx {

namespace {

constexpr qsizetype kPlainLineWidth = 84; // up to the level tag
constexpr qsizetype kSuiteColumn = 70;    // 1-based
constexpr qsizetype kPointsWidth = 4;
// Keys count down from here, so that every total four characters can hold
// (-999 to 9999) gets a key of the same width.
constexpr double kKeyBase = 10000.0;
constexpr qint32 kLargestKey = 99999; // kScoreKeyWidth - 1 digits
const QString kSummaryMark = QStringLiteral("tottime");
const QString kLevelMark = QStringLiteral("[Liv<=");
const QString kStatsSuites = QStringLiteral("WAC");
constexpr qsizetype kSummaryPointsWidth = 5; // the points and a blank, before the solved count
// The summary line's date has a two-digit year, of this century.
constexpr int kCentury = 2000;
constexpr double kPercent = 100.0;

// The decimal digits at `at` (moved past them); none when there are none or too many.
std::optional<qint64> readDigits(QStringView text, qsizetype& at)
{
    constexpr qsizetype kMostDigits = 9;
    qint64 value = 0;
    const qsizetype from = at;
    for (; at < text.size() && text[at].isDigit() && at - from < kMostDigits; ++at)
        value = value * 10 + text[at].digitValue();
    if (at == from || (at < text.size() && text[at].isDigit()))
        return std::nullopt;
    return value;
}

// When the session of a summary line was played: its first "dd/mm/yy HH:MM"
// after the summary mark; not valid when there is none.
QDateTime playedAt(QStringView line)
{
    const QStringView shape = u"99/99/99 99:99"; // 9 stands for a digit
    auto fits = [&](qsizetype from) {
        for (qsizetype k = 0; k < shape.size(); ++k) {
            const QChar c = line[from + k];
            if (shape[k] == u'9' ? !c.isDigit() : c != shape[k])
                return false;
        }
        return true;
    };
    for (qsizetype from = qMax(qsizetype(0), line.indexOf(kSummaryMark));
         from + shape.size() <= line.size(); ++from) {
        if (!fits(from))
            continue;
        auto number = [&](qsizetype k) {
            return line[from + k].digitValue() * 10 + line[from + k + 1].digitValue();
        };
        return QDateTime(QDate(kCentury + number(6), number(3), number(0)),
                         QTime(number(9), number(12)));
    }
    return {};
}

} // namespace

double SummaryPoints(const QString& line)
{
    QString points = line.left(kPointsWidth);
    // Written in the locale of the session, which may use a decimal comma.
    points.replace(u',', u'.');
    return NumericValue(points);
}

QStringList ScoreRecords(const QStringList& logLines, const ScoresQuery& query)
{
    QStringList records;
    for (QString line : logLines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!query.statsMode) {
            const bool review = IsReviewLine(line);
            line.truncate(kPlainLineWidth);
            if (review)
                line += QLatin1String(kReviewMark);
        }
        if (!line.contains(kSummaryMark) || !line.contains(query.suite))
            continue;
        if (query.statsMode) {
            if (line.mid(kSuiteColumn - 1, kStatsSuites.size()) != kStatsSuites)
                continue;
            // A session logged without a level limit counts as unfiltered.
            const qsizetype tag = line.indexOf(kLevelMark);
            if (tag >= 0) {
                const qsizetype from = tag + kLevelMark.size();
                const qsizetype close = line.indexOf(u']', from);
                const QString level = line.mid(from, close < 0 ? -1 : close - from);
                if (query.levelLimit > NumericValue(level))
                    continue;
            }
        }
        // Points a damaged line gives ("9e99" reads as 9e99) still get a key
        // of the same width, first or last.
        const qint32 key = qBound(0, RoundToInt32(kKeyBase - SummaryPoints(line)), kLargestKey);
        records.append(
            QStringLiteral("%1 ").arg(key, int(kScoreKeyWidth) - 1, 10, QLatin1Char('0')) + line);
    }
    std::sort(records.begin(), records.end());
    return records;
}

bool IsReviewLine(const QString& line)
{
    const QLatin1String mark(kReviewMark);
    // Where the level tag goes, after the suite's name: a suite named so cannot pass.
    return line.endsWith(mark) && line.size() - mark.size() >= kPlainLineWidth &&
           line.contains(kSummaryMark);
}

std::vector<ScorePoint> ScorePoints(const QStringList& keyedLines)
{
    std::vector<ScorePoint> points;
    points.reserve(std::size_t(keyedLines.size()));
    for (const QString& keyed : keyedLines) {
        const QStringView line = QStringView(keyed).mid(kScoreKeyWidth);
        // "7/10(": the solved count follows the points.
        qsizetype at = kSummaryPointsWidth;
        const std::optional<qint64> solved = readDigits(line, at);
        if (!solved || at >= line.size() || line[at++] != u'/')
            continue;
        const std::optional<qint64> finished = readDigits(line, at);
        if (!finished || at >= line.size() || line[at] != u'(' || *finished < 1 ||
            *solved > *finished)
            continue;
        const QDateTime when = playedAt(line);
        if (!when.isValid())
            continue;
        points.push_back({when, SummaryPoints(keyed.mid(kScoreKeyWidth)),
                          double(*solved) * kPercent / double(*finished),
                          IsReviewLine(keyed.mid(kScoreKeyWidth))});
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const ScorePoint& a, const ScorePoint& b) { return a.when < b.when; });
    return points;
}

QStringList ReadLogLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    QStringList lines = QString::fromUtf8(data).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace kx
