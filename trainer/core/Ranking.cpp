#include "Ranking.h"

#include "NumberText.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace kx {

qint16 Badness(double attempts, double solved, double difficulty)
{
    const double rate = std::floor(20.0 - solved / (attempts + 0.001) * 20.0);
    // The logarithms need positive arguments: more solves than attempts
    // leave no failures, and a count below zero is no attempt.
    const double failed = attempts - solved + 1.0;
    const double failure = failed > 0.0 ? 3.0 * std::log(failed) : 0.0;
    const double ease = (10.0 - difficulty) * 0.5;
    const double weight = attempts > 0.0 ? 10.0 * std::log(attempts + 1.0) : 0.0;
    return RoundToInt16((rate + failure + ease) * weight);
}

QList<qint32> RankByBadness(const QList<qint16>& scores)
{
    QList<qint32> order(scores.size());
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(),
                     [&scores](qint32 a, qint32 b) { return scores.at(a - 1) > scores.at(b - 1); });
    return order;
}

qint32 BubblePasses(const QList<qint16>& scores)
{
    if (scores.isEmpty())
        return 0;
    // A pass moves each score at most one place towards the front, past a
    // lower one, so the sort needs as many swapping passes as the largest
    // number of lower scores standing before any one score, plus the quiet
    // pass that ends it. Counted with a Fenwick tree over the score values.
    // Scores shift by 32768 to the values 0 to 65535, kept at tree[value + 1].
    constexpr qint32 kValues = 1 << 16;
    constexpr qint32 kOffset = 1 << 15;
    QList<qint32> tree(kValues + 1, 0);
    auto add = [&tree](qint32 i) {
        for (++i; i <= kValues; i += i & -i)
            ++tree[i];
    };
    auto countBelow = [&tree](qint32 i) { // how many values < i have been added
        qint32 n = 0;
        for (; i > 0; i -= i & -i)
            n += tree[i];
        return n;
    };
    qint32 most = 0;
    for (const qint16 score : scores) {
        const qint32 value = qint32(score) + kOffset;
        most = std::max(most, countBelow(value));
        add(value);
    }
    return std::min<qint32>(most + 1, qint32(scores.size()));
}

void WorstRanking::Begin(const QList<qint16>& scores)
{
    m_state = State::Sorting;
    m_order = RankByBadness(scores);
    m_passes = BubblePasses(scores);
    m_cursor = 0;
}

void WorstRanking::Finish()
{
    m_state = State::Ranked;
}

qint32 WorstRanking::Next()
{
    if (m_state != State::Ranked || m_order.isEmpty())
        return 0;
    m_cursor = std::min<qint32>(m_cursor + 1, qint32(m_order.size()));
    return m_order.at(m_cursor - 1);
}

} // namespace kx
