#pragma once

#include <QString>
#include <QStringList>

/*
 * The scores view's reading of the session log: the summary lines of one
 * suite's sessions, best first. Each kept line gets a sort key in front whose
 * plain text order is the order by points, highest first (lines of equal
 * points in the order of their own text); the view shows the lines without it.
 */
namespace kx {

/// Characters of the sort key in front of each line ScoreRecords returns.
inline constexpr qsizetype kScoreKeyWidth = 6;

struct ScoresQuery
{
    QString suite;          // lines must contain it
    bool statsMode = false; // full lines of "WAC" suites, level filter applied
    double levelLimit = 0;  // statistics mode: sessions run with a lower limit are left out
};

/// The kept summary lines, each behind its key, in ascending key order.
QStringList ScoreRecords(const QStringList& logLines, const ScoresQuery& query);

/// The points of a summary line: the number in its first four characters,
/// with "." or "," as decimal separator; 0 when there is none.
double SummaryPoints(const QString& line);

/// The lines of the log, without line ends; none when it cannot be read.
QStringList ReadLogLines(const QString& path);

} // namespace kx
