#pragma once

#include <QList>

/*
 * Ranking the positions of a suite from the worst solved to the best solved.
 * Each position gets a badness score from its attempts, solves and difficulty;
 * the ranking walks the positions from the highest score down, positions of
 * equal score in position order.
 */
namespace kx {

/// The badness of a position attempted A times, solved S times, of
/// difficulty D: (rate + failure + ease) x 10 ln(A + 1), rounded halves to
/// even and kept within 16 bits. Never attempted gives 0; more solves than
/// attempts give no failure term.
qint16 Badness(double attempts, double solved, double difficulty);

/// Position numbers (the 1-based index into scores) ordered by score, highest
/// first, equal scores in position order.
QList<qint32> RankByBadness(const QList<qint16>& scores);

/// How many passes a bubble sort of scores, highest first, makes before a
/// pass without swaps ends it (that pass counted); never more than the count.
qint32 BubblePasses(const QList<qint16>& scores);

/*
 * The ranking of one run of the program: computed once, then walked one
 * position per step; the walk stays on the last position once it is reached.
 */
class WorstRanking
{
public:
    enum class State { NotRanked, Sorting, Ranked };

    State state() const { return m_state; }
    /// Scores the positions and orders them; the ranking is sorting until Finish.
    void Begin(const QList<qint16>& scores);
    void Finish();
    /// Passes the bubble sort of the scores takes (one caption each).
    qint32 Passes() const { return m_passes; }
    /// The next position of the ranking (the first on the first call), 0 when
    /// there is none or the ranking is not finished.
    qint32 Next();

private:
    State m_state = State::NotRanked;
    QList<qint32> m_order;
    qint32 m_passes = 0;
    qint32 m_cursor = 0;
};

} // namespace kx
