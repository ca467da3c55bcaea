#pragma once

#include "Judging.h"
#include "ReportLines.h"

#include <QString>
#include <QStringList>

/*
 * A session's numbers: each finished attempt with its values, and the
 * running totals the window shows and the log keeps. The rounding the report
 * has always used is made explicit here: a solved position shows its points
 * to one decimal, and the session's points are the sum of what was shown.
 */
namespace kx {

/// One finished attempt, as the report shows and logs it.
struct Attempt
{
    qint32 number = 0; // 1 for the session's first
    qint32 position = 0;
    QString record;
    QString userMove;     // the user's moves, blank-separated; "" when the time ran out first
    QString solution;     // the best-move text (or the line) the report shows
    bool matched = false; // the answer was right
    bool solved = false;  // matched, and counted
    Verdict::Answer answer = Verdict::Answer::None; // what the judge made of the last move
    qint32 movesRight = 0; // the user's moves that were right: the line's, or the one answer
    // A legal move missed, for the engine's word on it: the position it was
    // due in, the move as the board wrote it, and the move wanted there
    // (coordinates, "" when any but the am moves would do). Empty otherwise.
    QString dueFen;
    QString missedMove;
    QString wanted;
    double elapsed = 0.0;
    double timePerPosition = 0.0;
    double positionPoints = 0.0; // when solved
    qint32 solvedCount = 0;      // solved in the session so far, this one included
    qint32 positions = 0;        // positions per session

    /// The points as the report grid shows them, to one decimal ("96.9"); "..." when unsolved.
    QString pointsText() const;
    /// The points in tenths, as shown; 0 when unsolved.
    qint64 shownTenths() const;
    AttemptLineInput lineInput() const;
    /// The report grid's ten cells for this attempt.
    QStringList reportRow() const;
    /// What the attempt came to, in one line for the player: the move, right
    /// or wrong, the best move and the seconds.
    QString verdict() const;
};

class SessionTally
{
public:
    /// Counts a finished attempt: time used, seconds saved and points.
    void Add(const Attempt& attempt);
    /// An attempt counted unsolved is counted as solved instead.
    void Revise(const Attempt& missed, const Attempt& solved);

    qint32 attempts() const { return m_attempts; }
    qint32 solved() const { return m_solved; }
    qint32 savedSeconds() const { return m_saved; }
    qint64 secondsUsed() const { return m_secondsUsed; }

    /// The points so far, as the sum of the points shown: "193.8".
    QString pointsText() const;
    /// The session's points once it has ended: the sum rounded down.
    QString finalPointsText() const;
    /// "3/4(75%)"; "0" before the first attempt.
    QString solvedText() const;
    QString secondsUsedText() const;
    QString savedText() const;

    /// The summary line's numbers; the caller adds the settings, date and suite.
    SummaryLineInput summary() const;
    /// The session's result in one line, once it has ended; saved tells
    /// whether it reached the scores.
    QString verdict(bool saved) const;

private:
    qint32 m_attempts = 0;
    qint32 m_solved = 0;
    qint32 m_saved = 0;
    qint64 m_secondsUsed = 0;
    qint64 m_pointTenths = 0;
};

} // namespace kx
