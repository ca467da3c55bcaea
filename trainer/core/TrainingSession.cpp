#include "TrainingSession.h"

#include "Epd.h"
#include "Judging.h"
#include "Scoring.h"
#include "ShownPosition.h"

namespace kx {

namespace {
constexpr qsizetype kMoveLength = 4; // "e2e4": the shortest text that is an answer
} // namespace

TrainingSession::TrainingSession(const ShownPosition& shown, QObject* parent)
    : QObject(parent), m_shown(shown)
{
    m_clock.setParent(this);
    m_clock.setObjectName(QStringLiteral("tmrTime"));
    m_clock.setInterval(kTickMs);
    connect(&m_clock, &QTimer::timeout, this, &TrainingSession::Tick);
}

void TrainingSession::PositionShown(double timePerPosition)
{
    m_timePerPosition = timePerPosition;
    m_elapsed = 0.0;
    m_clock.start();
}

void TrainingSession::Start(qint32 positions)
{
    ++m_generation;
    m_tally = SessionTally();
    m_positions = positions;
    m_positionAnalysed = false;
    m_state = State::Running;
    m_clock.start();
}

void TrainingSession::Tick()
{
    if (m_state != State::Running)
        return;
    m_elapsed += m_clock.interval() / 1000.0;
    if (m_shown.userMove().size() < kMoveLength && !(m_elapsed > m_timePerPosition)) {
        emit clockTicked(m_elapsed);
        return;
    }
    // Off before anything below can let events run, so ticks never nest.
    m_clock.stop();

    Attempt attempt;
    attempt.number = m_tally.attempts() + 1;
    attempt.position = m_shown.number();
    attempt.record = m_shown.record();
    attempt.userMove = m_shown.userMove();
    attempt.solution = GetSolutionText(attempt.record);
    attempt.matched = JudgeMove(attempt.record, attempt.userMove);
    attempt.solved = attempt.matched && !m_positionAnalysed;
    attempt.elapsed = m_elapsed;
    attempt.timePerPosition = m_timePerPosition;
    attempt.positions = m_positions;
    attempt.solvedCount = m_tally.solved() + (attempt.solved ? 1 : 0);
    if (attempt.solved)
        attempt.positionPoints = PositionPoints(m_timePerPosition, m_elapsed, m_positions);
    m_tally.Add(attempt);

    const quint64 generation = m_generation;
    emit attemptJudged(attempt);
    if (generation != m_generation || m_state != State::Running)
        return;
    m_positionAnalysed = false;
    if (m_tally.attempts() != m_positions)
        emit nextPositionWanted();
    else
        Finish();
}

void TrainingSession::Finish()
{
    if (m_state != State::Running)
        return;
    ++m_generation;
    m_clock.stop();
    m_state = State::Ended;
    emit sessionEnded();
}

void TrainingSession::Abandon()
{
    if (m_state != State::Running)
        return;
    ++m_generation;
    m_clock.stop();
    m_state = State::Idle;
}

} // namespace kx
