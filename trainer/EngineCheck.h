#pragma once

#include "EngineEvaluation.h"
#include "EngineSettings.h"
#include "EngineVerdict.h"
#include "SessionTally.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <optional>

/*
 * The engine's word on each missed move of a session, given without holding
 * the session up: the misses wait in turn, and for each the position after
 * the user's move and the one after the move wanted (the position itself
 * when any move but the avoided ones would do) are evaluated for a short,
 * fixed time each by engines of its own, one after the other, the second
 * engine started while the first searches. The two scores make the verdict. It owns no widget and
 * never uses the window's engine; every step is bounded, and a check that
 * fails, or runs past its deadline, gives "no engine verdict". Its state is
 * checked again after every signal, since a receiver may clear it.
 */
class EngineCheck : public QObject
{
    Q_OBJECT

public:
    enum class State { Idle, Checking };
    Q_ENUM(State)

    struct Timing
    {
        EngineEvaluation::Timing engine;
        std::chrono::milliseconds deadlineSlack{2000}; // beyond the waits each step may take
    };

    /// How long each position is searched unless the caller says otherwise.
    static constexpr std::chrono::milliseconds kSearchTime{1000};

    explicit EngineCheck(QObject* parent = nullptr);
    ~EngineCheck() override;

    void setTiming(const Timing& timing);
    State state() const { return m_state; }
    /// True while a check runs or waits its turn.
    bool busy() const { return m_state != State::Idle || !m_waiting.isEmpty(); }

    /// Queues the check of a missed attempt, searching each position for the
    /// default time, at most analysisSeconds when that is above zero; false
    /// (nothing queued) when the attempt has no missed move to check.
    bool Check(const kx::Attempt& missed, const kx::EngineSettings& engine,
               double analysisSeconds = 0);
    /// Drops every check, the one under way included, without a verdict.
    void Clear();

signals:
    /// The verdict on the attempt's missed move.
    void verdictReady(const kx::Attempt& attempt, const kx::EngineVerdict& verdict);
    /// The last check waiting has given its verdict.
    void idle();

private:
    struct Job
    {
        kx::Attempt attempt;
        kx::EngineSettings engine;
        std::chrono::milliseconds searchTime;
    };

    void next();
    void startBest();
    void evaluated();
    void conclude(const kx::EngineVerdict& verdict);

    Timing m_timing;
    State m_state = State::Idle;
    QList<Job> m_waiting;
    std::optional<Job> m_job;
    // Changes with every check begun or cleared, so a step that raised a
    // signal can tell that its check is over.
    quint64 m_generation = 0;
    EngineEvaluation m_user;
    EngineEvaluation m_best;
    // Scores known without an engine (a position with no move left), and
    // whether the best's position is the mover's own.
    std::optional<kx::EngineScore> m_userFixed;
    std::optional<kx::EngineScore> m_bestFixed;
    bool m_bestIsBefore = false;
    std::optional<kx::ChessPosition> m_afterUser;
    QString m_bestFen;
    QTimer m_nextTimer;
    QTimer m_deadline;
};
