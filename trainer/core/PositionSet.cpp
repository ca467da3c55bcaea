#include "PositionSet.h"

#include <QtEndian>

#include <bit>
#include <cstring>

namespace kx {

PositionSet::PositionSet(qint32 size)
    : m_bits(size_t((qMax(0, size) + 63) / 64)), m_size(qMax(0, size))
{
    recount();
}

void PositionSet::insert(qint32 n)
{
    if (n < 1 || n > m_size || contains(n))
        return;
    m_bits[size_t((n - 1) / 64)] |= quint64(1) << ((n - 1) % 64);
    ++m_count;
    m_counted = false;
}

bool PositionSet::contains(qint32 n) const
{
    return n >= 1 && n <= m_size && (m_bits[size_t((n - 1) / 64)] >> ((n - 1) % 64) & 1);
}

void PositionSet::recount() const
{
    m_before.assign((m_bits.size() + kWordsPerCount - 1) / kWordsPerCount, 0);
    qint32 running = 0;
    for (size_t w = 0; w < m_bits.size(); ++w) {
        if (w % kWordsPerCount == 0)
            m_before[w / kWordsPerCount] = running;
        running += std::popcount(m_bits[w]);
    }
    m_counted = true;
}

qint32 PositionSet::countUpTo(qint32 last) const
{
    if (last < 1)
        return 0;
    if (last >= m_size)
        return m_count;
    if (!m_counted)
        recount();
    const size_t word = size_t((last - 1) / 64);
    qint32 count = m_before[word / kWordsPerCount];
    for (size_t w = word / kWordsPerCount * kWordsPerCount; w < word; ++w)
        count += std::popcount(m_bits[w]);
    const int bits = (last - 1) % 64 + 1;
    const quint64 mask = bits == 64 ? ~quint64(0) : (quint64(1) << bits) - 1;
    return count + std::popcount(m_bits[word] & mask);
}

qint32 PositionSet::nth(qint32 k) const
{
    if (k < 1 || k > m_count)
        return 0;
    if (!m_counted)
        recount();
    // The last group with fewer than k members before it holds the k-th.
    size_t lo = 0;
    size_t hi = m_before.size();
    while (hi - lo > 1) {
        const size_t mid = (lo + hi) / 2;
        (m_before[mid] < k ? lo : hi) = mid;
    }
    qint32 left = k - m_before[lo];
    for (size_t w = lo * kWordsPerCount; w < m_bits.size(); ++w) {
        quint64 bits = m_bits[w];
        const int here = std::popcount(bits);
        if (left > here) {
            left -= here;
            continue;
        }
        for (; left > 1; --left)
            bits &= bits - 1; // drop the lowest member
        return qint32(w * 64) + std::countr_zero(bits) + 1;
    }
    return 0;
}

qint64 PositionSet::bytes() const
{
    return qint64(m_bits.capacity() * sizeof(quint64) + m_before.capacity() * sizeof(qint32));
}

QByteArray PositionSet::Save() const
{
    QByteArray bytes(qsizetype(m_bits.size() * sizeof(quint64)), Qt::Uninitialized);
    for (size_t w = 0; w < m_bits.size(); ++w) {
        const quint64 word = qToLittleEndian(m_bits[w]);
        std::memcpy(bytes.data() + w * sizeof(quint64), &word, sizeof word);
    }
    return bytes;
}

std::optional<PositionSet> PositionSet::Load(QByteArrayView bytes, qint32 size)
{
    PositionSet set(size);
    if (bytes.size() != qsizetype(set.m_bits.size() * sizeof(quint64)))
        return std::nullopt;
    for (size_t w = 0; w < set.m_bits.size(); ++w) {
        quint64 word = 0;
        std::memcpy(&word, bytes.data() + w * sizeof(quint64), sizeof word);
        set.m_bits[w] = qFromLittleEndian(word);
        set.m_count += std::popcount(set.m_bits[w]);
    }
    // Bits past the last position would be members that are not there.
    if (size % 64 != 0 && !set.m_bits.empty() && (set.m_bits.back() >> (size % 64)) != 0)
        return std::nullopt;
    set.recount();
    return set;
}

} // namespace kx
