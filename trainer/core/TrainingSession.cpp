#include "TrainingSession.h"

#include "Epd.h"
#include "Judging.h"
#include "MoveNotation.h"
#include "Scoring.h"
#include "ShownPosition.h"

#include <utility>

namespace kx {

namespace {

// The user's moves among the moves made: the first, third, fifth ...
QString userMoves(const QStringList& moves)
{
    QStringList own;
    for (qsizetype i = 0; i < moves.size(); i += 2)
        own << moves.at(i);
    return own.join(u' ');
}

} // namespace

TrainingSession::TrainingSession(ShownPosition& shown, QObject* parent)
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
    m_judgedMoves = 0;
    m_reply.reset();
    m_rightMoves = 0;
    m_clock.start();
}

void TrainingSession::openBoard(bool oneMoveAtATime)
{
    m_shown.setOneMoveAtATime(oneMoveAtATime);
    m_reply.reset();
}

void TrainingSession::Start(qint32 positions)
{
    ++m_generation;
    m_tally = SessionTally();
    m_positions = positions;
    m_positionAnalysed = false;
    m_state = State::Running;
    openBoard(true);
    m_clock.start();
}

void TrainingSession::Tick()
{
    if (m_state != State::Running)
        return;
    m_elapsed += m_clock.interval() / 1000.0;
    if (m_reply && --m_replyTicks <= 0) {
        const quint64 generation = m_generation;
        playReply();
        if (generation != m_generation || m_state != State::Running)
            return;
    }
    const QStringList& moves = m_shown.moves();
    const bool moved = moves.size() > m_judgedMoves;
    const bool timeUp = m_elapsed > m_timePerPosition;
    if (!moved && !timeUp) {
        emit clockTicked(m_elapsed);
        return;
    }
    const LineMode mode = m_wholeLine ? LineMode::WholeLine : LineMode::FirstMove;
    if (moved) {
        const Verdict verdict = JudgeMove(m_shown.record(), moves, mode);
        if (verdict.right())
            ++m_rightMoves;
        if (!verdict.reply) {
            endAttempt(verdict);
            return;
        }
        // Right, and the line goes on: its reply comes a moment later.
        m_judgedMoves = moves.size();
        m_reply = verdict.reply;
        m_replyTicks = kReplyTicks;
        if (!timeUp) {
            emit clockTicked(m_elapsed);
            return;
        }
    }
    // Time is up: judged as the move due, with a reply still waiting counted as played.
    QStringList due = moves;
    if (m_reply && m_shown.position())
        due << BoardMoveText(*m_shown.position(), *m_reply);
    due << QString();
    endAttempt(JudgeMove(m_shown.record(), due, mode));
}

void TrainingSession::playReply()
{
    const ChessMove reply = *std::exchange(m_reply, std::nullopt);
    const QString played = m_shown.PlayReply(reply);
    m_judgedMoves = m_shown.moves().size();
    if (!played.isEmpty())
        emit replyPlayed(played);
}

void TrainingSession::endAttempt(const Verdict& verdict)
{
    // Off before anything below can let events run, so ticks never nest.
    m_clock.stop();
    m_reply.reset();

    Attempt attempt;
    attempt.number = m_tally.attempts() + 1;
    attempt.position = m_shown.number();
    attempt.record = m_shown.record();
    attempt.userMove = userMoves(m_shown.moves());
    attempt.solution = verdict.solution;
    attempt.answer = verdict.answer;
    attempt.movesRight = m_rightMoves;
    attempt.matched = verdict.right();
    attempt.solved = attempt.matched && !m_positionAnalysed;
    if (verdict.answer == Verdict::Answer::Wrong || verdict.answer == Verdict::Answer::Avoided) {
        attempt.dueFen = verdict.dueFen;
        attempt.missedMove = m_shown.moves().value(m_shown.moves().size() - 1);
        attempt.wanted = verdict.wanted;
    }
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

bool TrainingSession::CountAsSolved(const Attempt& missed)
{
    if (m_state == State::Idle || missed.solved || missed.number < 1 ||
        missed.number > m_tally.attempts())
        return false;
    Attempt solved = missed;
    solved.solved = true;
    solved.solvedCount = missed.solvedCount + 1;
    solved.positionPoints =
        PositionPoints(missed.timePerPosition, missed.elapsed, missed.positions);
    m_tally.Revise(missed, solved);
    emit attemptRevised(solved);
    return true;
}

void TrainingSession::Finish()
{
    if (m_state != State::Running)
        return;
    ++m_generation;
    m_clock.stop();
    m_state = State::Ended;
    openBoard(false);
    emit sessionEnded();
}

void TrainingSession::Abandon()
{
    if (m_state != State::Running)
        return;
    ++m_generation;
    m_clock.stop();
    m_state = State::Idle;
    openBoard(false);
}

} // namespace kx
