#pragma once

#include "ChessMove.h"
#include "SessionTally.h"

#include <QObject>
#include <QTimer>

#include <optional>

namespace kx {

class ShownPosition;
struct Verdict;

/*
 * A training session: a run of positions, each timed by the clock from the
 * moment it is shown until the user has moved or its time has run out, then
 * judged, scored and counted, and followed by the next position or the end
 * of the session. It owns the clock and the running totals but no widget:
 * the window shows the positions it asks for and what its signals carry.
 * Trained as whole lines, a right move that the record's line goes on from
 * is answered on the board by the line's next move a moment later, and the
 * attempt runs on, on the same clock, until the line is played through or
 * goes wrong. Since a receiver may let events run (a message box, an
 * analysis, the level filter), the session checks after every signal that
 * it is still the same session, running.
 */
class TrainingSession : public QObject
{
    Q_OBJECT

public:
    enum class State { Idle, Running, Ended };
    Q_ENUM(State)

    static constexpr int kTickMs = 100;
    /// Ticks from a right move to the line's reply on the board.
    static constexpr int kReplyTicks = 5;

    /// shown is the position on the board, whose moves the clock watches and
    /// on which the line's replies are played.
    explicit TrainingSession(ShownPosition& shown, QObject* parent = nullptr);

    /// The clock (the element "tmrTime"): ticks every 100 ms while a position is up.
    QTimer* clock() { return &m_clock; }
    State state() const { return m_state; }
    bool isRunning() const { return m_state == State::Running; }
    const SessionTally& tally() const { return m_tally; }
    double elapsedTime() const { return m_elapsed; }
    double timePerPosition() const { return m_timePerPosition; }
    qint32 positions() const { return m_positions; }

    /// The position was opened elsewhere: a right move on it does not count.
    bool positionAnalysed() const { return m_positionAnalysed; }
    void setPositionAnalysed(bool analysed) { m_positionAnalysed = analysed; }
    /// The level limit the positions were drawn with, for the summary line.
    QString levelTag() const { return m_levelTag; }
    void setLevelTag(const QString& tag) { m_levelTag = tag; }
    /// Whether records with a line are trained along it, from the next attempt on.
    bool wholeLine() const { return m_wholeLine; }
    void setWholeLine(bool on) { m_wholeLine = on; }

    /// A position is on the board: its time starts from zero and the clock runs.
    void PositionShown(double timePerPosition);
    /// Begins a session of that many positions on the position shown.
    void Start(qint32 positions);
    /// One tick of the clock: counts the time and ends the attempt on the
    /// first tick after a move or when the time is up.
    void Tick();
    /// Ends the running session, which is then reported and logged.
    void Finish();
    /// Ends the running session without reporting it (the window closes).
    void Abandon();
    /// Counts a missed attempt of this session as solved after all (the
    /// engine found the move as good), with the points of its time; false when
    /// it is no uncounted attempt of a session that is still running or just ended.
    bool CountAsSolved(const kx::Attempt& missed);

signals:
    /// The time used on the position, at each tick of a running attempt.
    void clockTicked(double elapsed);
    /// An attempt has ended; its values, and the totals in tally(), are final
    /// unless it is later counted as solved after all.
    void attemptJudged(const kx::Attempt& attempt);
    /// A missed attempt now counts as solved; the totals in tally() include it.
    void attemptRevised(const kx::Attempt& attempt);
    /// The line's reply has been played on the position shown (as the board writes it).
    void replyPlayed(const QString& move);
    /// The next position is due: show one, or Finish when none can be shown.
    void nextPositionWanted();
    /// The session has ended with the totals in tally().
    void sessionEnded();

private:
    /// Ends the attempt on what the judge made of its last move.
    void endAttempt(const Verdict& verdict);
    void playReply();
    void openBoard(bool oneMoveAtATime);

    ShownPosition& m_shown;
    QTimer m_clock;
    State m_state = State::Idle;
    // Changes with every start and end, so a step that raised a signal can
    // tell that its session is over.
    quint64 m_generation = 0;
    SessionTally m_tally;
    qint32 m_positions = 0;
    double m_elapsed = 0.0;
    double m_timePerPosition = 0.0;
    bool m_positionAnalysed = false;
    QString m_levelTag;
    bool m_wholeLine = false;
    // The line under way: the moves judged so far, the reply waiting to be
    // played and the ticks until it is, and the user's moves that were right.
    qsizetype m_judgedMoves = 0;
    std::optional<ChessMove> m_reply;
    int m_replyTicks = 0;
    qint32 m_rightMoves = 0;
};

} // namespace kx
