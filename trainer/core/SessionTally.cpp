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
    if (solved)
        return QCoreApplication::translate("kx", "Right: %1 in %2 s, %3 points")
            .arg(userMove, seconds, pointsText());
    if (matched)
        return QCoreApplication::translate("kx", "Right, but not counted: %1 was opened "
                                                 "elsewhere")
            .arg(userMove);
    if (userMove.isEmpty())
        return QCoreApplication::translate("kx", "Time is up - the best move was %1").arg(solution);
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
