#include "EngineCheck.h"

#include "MoveNotation.h"

#include <algorithm>
#include <cmath>

namespace {

// The position after a legal move, or the position itself when move is "".
std::optional<kx::ChessPosition> after(const kx::ChessPosition& before, const QString& move)
{
    if (move.isEmpty())
        return before;
    const std::optional<kx::ChessMove> made = kx::ParseMove(before, move);
    if (!made)
        return std::nullopt;
    kx::ChessPosition position = before;
    position.MakeMove(*made);
    return position;
}

// A position without legal moves is scored without an engine: a mate (for the
// side that moved into it) or a draw.
std::optional<kx::EngineScore> fixedScore(const kx::ChessPosition& position, bool mover)
{
    if (position.LegalMoves().size() > 0)
        return std::nullopt;
    if (!position.inCheck())
        return kx::EngineScore::Draw();
    kx::EngineScore mate = kx::EngineScore::Draw();
    mate.mate = mover ? -1 : 1;
    return mate;
}

} // namespace

EngineCheck::EngineCheck(QObject* parent)
    : QObject(parent), m_user(m_timing.engine), m_best(m_timing.engine)
{
    m_nextTimer.setSingleShot(true);
    m_nextTimer.setInterval(0);
    m_deadline.setSingleShot(true);
    // A check starts once the events waiting have run: the next position
    // comes up and its clock starts before any engine is started.
    connect(&m_nextTimer, &QTimer::timeout, this, &EngineCheck::next);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_state == State::Checking)
            conclude(kx::EngineVerdict::none());
    });
    connect(&m_user, &EngineEvaluation::ready, this, &EngineCheck::startBest);
    connect(&m_user, &EngineEvaluation::finished, this, &EngineCheck::evaluated);
    connect(&m_best, &EngineEvaluation::finished, this, &EngineCheck::evaluated);
}

EngineCheck::~EngineCheck() = default;

void EngineCheck::setTiming(const Timing& timing)
{
    m_timing = timing;
    m_user.setTiming(timing.engine);
    m_best.setTiming(timing.engine);
}

bool EngineCheck::Check(const kx::Attempt& missed, const kx::EngineSettings& engine,
                        double analysisSeconds)
{
    if (missed.missedMove.isEmpty() || missed.dueFen.isEmpty())
        return false;
    std::chrono::milliseconds searchTime = kSearchTime;
    if (analysisSeconds > 0)
        searchTime = std::min(searchTime,
                              std::chrono::milliseconds(qint64(std::ceil(analysisSeconds * 1000))));
    m_waiting.append({missed, engine, searchTime});
    if (m_state == State::Idle)
        m_nextTimer.start();
    return true;
}

void EngineCheck::Clear()
{
    ++m_generation;
    m_waiting.clear();
    m_job.reset();
    m_nextTimer.stop();
    m_deadline.stop();
    m_user.Stop();
    m_best.Stop();
    m_state = State::Idle;
}

void EngineCheck::next()
{
    if (m_state != State::Idle || m_waiting.isEmpty())
        return;
    ++m_generation;
    m_job = m_waiting.takeFirst();
    m_state = State::Checking;
    const kx::Attempt& attempt = m_job->attempt;
    const std::optional<kx::ChessPosition> before = kx::ChessPosition::FromFen(attempt.dueFen);
    m_afterUser = before ? after(*before, attempt.missedMove) : std::nullopt;
    const std::optional<kx::ChessPosition> afterBest =
        before ? after(*before, attempt.wanted) : std::nullopt;
    if (!m_afterUser || !afterBest || attempt.missedMove.isEmpty()) {
        conclude(kx::EngineVerdict::none());
        return;
    }
    m_bestIsBefore = attempt.wanted.isEmpty();
    m_userFixed = fixedScore(*m_afterUser, false);
    m_bestFixed = fixedScore(*afterBest, m_bestIsBefore);
    if (m_userFixed && m_bestFixed) {
        conclude(kx::CompareScores(*m_userFixed, *m_bestFixed, QString()));
        return;
    }
    // The user's position first; the second engine starts once the first is
    // ready (so they do not compete in starting) and searches after it.
    const auto search = m_job->searchTime;
    const auto& t = m_timing.engine;
    m_deadline.start(2 * (t.readyWait + search + t.lineGrace) + m_timing.deadlineSlack);
    m_bestFen = afterBest->ToFen();
    if (m_userFixed) {
        startBest();
        return;
    }
    m_user.Start(m_job->engine, m_afterUser->ToFen());
    if (m_state == State::Checking && m_user.state() == EngineEvaluation::State::Starting)
        m_user.Analyse(search);
}

void EngineCheck::startBest()
{
    if (m_state != State::Checking || !m_job || m_bestFixed ||
        m_best.state() != EngineEvaluation::State::Idle)
        return;
    const quint64 generation = m_generation;
    m_best.Start(m_job->engine, m_bestFen);
    if (generation == m_generation && m_userFixed)
        m_best.Analyse(m_job->searchTime);
}

void EngineCheck::evaluated()
{
    if (m_state != State::Checking || !m_job)
        return;
    using S = EngineEvaluation::State;
    if (m_user.state() == S::Failed || m_best.state() == S::Failed) {
        conclude(kx::EngineVerdict::none());
        return;
    }
    const bool userDone = m_userFixed || m_user.state() == S::Done;
    const bool bestDone = m_bestFixed || m_best.state() == S::Done;
    if (userDone && !bestDone) {
        const quint64 generation = m_generation;
        startBest(); // unless it has started already
        if (generation == m_generation && m_state == State::Checking)
            m_best.Analyse(m_job->searchTime);
        return;
    }
    if (!userDone || !bestDone)
        return;
    const kx::EngineScore user =
        m_userFixed ? *m_userFixed : kx::EngineScore::FromLine(m_user.line().score, false);
    const kx::EngineScore best =
        m_bestFixed ? *m_bestFixed : kx::EngineScore::FromLine(m_best.line().score, m_bestIsBefore);
    // The engine's reply to the user's move, in standard SAN.
    QString refutation;
    if (!m_userFixed) {
        if (const auto reply = kx::ParseMove(*m_afterUser, m_user.line().firstMove))
            refutation = kx::SanOf(*m_afterUser, *reply);
    }
    conclude(kx::CompareScores(user, best, refutation));
}

void EngineCheck::conclude(const kx::EngineVerdict& verdict)
{
    m_deadline.stop();
    m_user.Stop();
    m_best.Stop();
    const kx::Attempt attempt = m_job ? m_job->attempt : kx::Attempt();
    m_job.reset();
    m_state = State::Idle;
    const quint64 generation = m_generation;
    emit verdictReady(attempt, verdict);
    if (generation != m_generation || m_state != State::Idle)
        return;
    if (m_waiting.isEmpty())
        emit idle();
    else
        m_nextTimer.start();
}
