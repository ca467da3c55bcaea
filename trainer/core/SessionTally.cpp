#include "SessionTally.h"

#include "NumberText.h"

#include <QCoreApplication>

#include <cmath>

namespace kx {

namespace {
const QString kPointsPattern = QStringLiteral("###0.0");
const QString kSecondsPattern = QStringLiteral("#####0.0");
} // namespace

QString Attempt::pointsText() const
{
    if (!solved)
        return QStringLiteral("...");
    return FormatNumber(positionPoints * 10 / positions, kPointsPattern);
}

qint64 Attempt::shownTenths() const
{
    return solved ? std::llround(TextToNumber(pointsText()) * 10) : 0;
}

AttemptLineInput Attempt::lineInput() const
{
    AttemptLineInput in;
    in.solved = solved;
    in.positionPoints = positionPoints;
    in.attemptCount = number;
    in.userMove = userMove;
    in.solutionText = solution;
    in.solvedCount = solvedCount;
    in.elapsedTime = elapsed;
    in.timePerPosition = timePerPosition;
    in.currentPosition = position;
    return in;
}

QStringList Attempt::reportRow() const
{
    return {QString::number(number),
            pointsText(),
            userMove,
            solution,
            QString(),
            QString::number(position),
            QString(),
            QString::number(solvedCount),
            FormatNumber(elapsed, kSecondsPattern),
            FormatNumber(timePerPosition - elapsed, kSecondsPattern)};
}

QString Attempt::verdict() const
{
    const QString seconds = FormatNumber(elapsed, kSecondsPattern);
    const QString last = userMove.section(u' ', -1);
    // Along a line, the user's move where it ended, counted from 1.
    const qint32 lineMove = movesRight + 1;
    if (solved && movesRight > 1)
        return QCoreApplication::translate("kx",
                                           "Right: the whole line, %1 moves in %2 s, %3 points")
            .arg(movesRight)
            .arg(seconds, pointsText());
    if (solved)
        return QCoreApplication::translate("kx", "Right: %1 in %2 s, %3 points")
            .arg(userMove, seconds, pointsText());
    if (matched)
        return QCoreApplication::translate("kx", "Right, but not counted: %1 was opened "
                                                 "elsewhere")
            .arg(userMove);
    if (userMove.isEmpty())
        return QCoreApplication::translate("kx", "Time is up - the best move was %1").arg(solution);
    if (answer == Verdict::Answer::None)
        return QCoreApplication::translate("kx", "Time is up at move %1 of the line: %2")
            .arg(lineMove)
            .arg(solution);
    if (movesRight > 0)
        return QCoreApplication::translate("kx", "Wrong at move %1 of the line: %2 - it goes %3 "
                                                 "(%4 s)")
            .arg(lineMove)
            .arg(last, solution, seconds);
    if (answer == Verdict::Answer::Avoided)
        return QCoreApplication::translate("kx", "Wrong: %1 is the move to avoid (%2 s)")
            .arg(last, seconds);
    return QCoreApplication::translate("kx", "Wrong: %1 - the best move was %2 (%3 s)")
        .arg(userMove, solution, seconds);
}

void SessionTally::Add(const Attempt& attempt)
{
    ++m_attempts;
    if (attempt.solved) {
        ++m_solved;
        m_secondsUsed += RoundToInt32(attempt.elapsed);
        m_saved = RoundToInt32(m_saved + attempt.timePerPosition - attempt.elapsed);
        m_pointTenths += attempt.shownTenths();
    } else {
        // An unsolved position costs its whole allowance and saves nothing.
        m_secondsUsed += RoundToInt32(attempt.timePerPosition);
    }
}

void SessionTally::Revise(const Attempt& missed, const Attempt& solved)
{
    if (missed.solved || !solved.solved)
        return;
    // What Add counted for the miss goes, what it counts for a solve comes.
    m_secondsUsed -= RoundToInt32(missed.timePerPosition);
    --m_attempts;
    Add(solved);
}

QString SessionTally::pointsText() const
{
    return NumberToText(double(m_pointTenths) / 10);
}

QString SessionTally::finalPointsText() const
{
    return NumberToText(double(m_pointTenths / 10));
}

QString SessionTally::solvedText() const
{
    if (m_attempts == 0)
        return QStringLiteral("0");
    return QStringLiteral("%1/%2(%3%)")
        .arg(m_solved)
        .arg(m_attempts)
        .arg(RoundToInt32(double(m_solved) / m_attempts * 100));
}

QString SessionTally::secondsUsedText() const
{
    return NumberToText(double(m_secondsUsed));
}

QString SessionTally::savedText() const
{
    return NumberToText(m_saved);
}

QString SessionTally::verdict(bool saved) const
{
    if (m_attempts == 0)
        return QCoreApplication::translate("kx", "Session ended before a position was finished; "
                                                 "nothing is logged.");
    return QCoreApplication::translate("kx", "Session over: %1 solved, %2 points - %3")
        .arg(solvedText(), finalPointsText(),
             saved ? QCoreApplication::translate("kx", "saved to the scores.")
                   : QCoreApplication::translate("kx", "not saved yet, see the message."));
}

SummaryLineInput SessionTally::summary() const
{
    SummaryLineInput in;
    in.puntiCaption = finalPointsText();
    in.solvedCaption = solvedText();
    in.totTimeCaption = secondsUsedText();
    in.totalSaved = m_saved;
    return in;
}

} // namespace kx
