#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

/*
 * The scores view's reading of the session log: the summary lines of one
 * suite's sessions, best first. Each kept line gets a sort key in front whose
 * plain text order is the order by points, highest first (lines of equal
 * points in the order of their own text); the view shows the lines without it.
 * The same lines, read for their date and solved count, are the chart's points.
 */
namespace kx {

/// What a review session's summary line carries in the level tag's place.
inline constexpr char kReviewMark[] = "[Review]";

/// Characters of the sort key in front of each line ScoreRecords returns.
inline constexpr qsizetype kScoreKeyWidth = 6;

struct ScoresQuery
{
    QString suite;          // lines must contain it
    bool statsMode = false; // full lines of "WAC" suites, level filter applied
    double levelLimit = 0;  // statistics mode: sessions run with a lower limit are left out
};

/// The kept summary lines, each behind its key, in ascending key order. A
/// review's mark stays on its line where a level tag would be cut off.
QStringList ScoreRecords(const QStringList& logLines, const ScoresQuery& query);

/// The points of a summary line: the number in its first four characters,
/// with "." or "," as decimal separator; 0 when there is none.
double SummaryPoints(const QString& line);

/// True when a summary line is a review session's.
bool IsReviewLine(const QString& line);

/// One session as the scores chart draws it.
struct ScorePoint
{
    QDateTime when;
    double points = 0.0;
    double solvedPercent = 0.0; // of the positions finished
    bool review = false;
};

/// The sessions of lines as ScoreRecords keeps them (keys in front), in the
/// order they were played; a line whose date or solved count cannot be read
/// is left out.
std::vector<ScorePoint> ScorePoints(const QStringList& keyedLines);

/// The lines of the log, without line ends; none when it cannot be read.
QStringList ReadLogLines(const QString& path);

} // namespace kx
