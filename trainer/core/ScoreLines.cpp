#include "ScoreLines.h"

#include "NumberText.h"

#include <QFile>

#include <algorithm>

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
        if (!query.statsMode)
            line.truncate(kPlainLineWidth);
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
