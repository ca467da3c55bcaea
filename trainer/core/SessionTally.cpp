#include "SessionTally.h"

#include "NumberText.h"

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
