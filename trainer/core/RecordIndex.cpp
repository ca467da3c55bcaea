#include "RecordIndex.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <bit>

namespace kx {

namespace {
constexpr quint32 kSaveMagic = 0x4b585831; // "KXX1"
} // namespace

void RecordIndex::clear()
{
    *this = RecordIndex();
}

void RecordIndex::Add(qint64 start, bool position)
{
    const int within = m_count % kBlock;
    if (within == 0)
        m_blocks.push_back(quint64(start) & kOffsetMask);
    ++m_count;
    if (!position)
        return;
    m_blocks.back() |= quint64(1) << (kOffsetBits + within);
    ++m_positions;
    if (m_firstPosition == 0)
        m_firstPosition = m_count;
    if (within > 0 && start - qint64(m_blocks.back() & kOffsetMask) > kNear)
        m_far.emplace_back(m_count, start);
}

bool RecordIndex::holds(qint32 n) const
{
    if (n < 1 || n > m_count)
        return false;
    return m_blocks[size_t((n - 1) / kBlock)] >> (kOffsetBits + (n - 1) % kBlock) & 1;
}

void RecordIndex::Squeeze()
{
    m_blocks.shrink_to_fit();
    m_far.shrink_to_fit();
}

qint32 RecordIndex::positionsUpTo(qint32 last) const
{
    if (last >= m_count)
        return m_positions;
    qint32 positions = 0;
    const qint32 blocks = qMax(0, last) / kBlock;
    for (qint32 b = 0; b < blocks; ++b)
        positions += std::popcount(m_blocks[size_t(b)] >> kOffsetBits);
    if (const int rest = qMax(0, last) % kBlock; rest > 0)
        positions += std::popcount(m_blocks[size_t(blocks)] >> kOffsetBits & ((1u << rest) - 1));
    return positions;
}

RecordIndex::Seek RecordIndex::seekFor(qint32 n) const
{
    const auto far = std::lower_bound(m_far.begin(), m_far.end(), n,
                                      [](const auto& entry, qint32 m) { return entry.first < m; });
    if (far != m_far.end() && far->first == n)
        return {far->second, 0};
    const qint32 i = n - 1;
    return {qint64(m_blocks[size_t(i / kBlock)] & kOffsetMask), i % kBlock};
}

qint64 RecordIndex::bytes() const
{
    return qint64(m_blocks.capacity() * sizeof(quint64) +
                  m_far.capacity() * sizeof(std::pair<qint32, qint64>));
}

QByteArray RecordIndex::Save() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kSaveMagic << m_count << quint64(m_far.size());
    for (const quint64 block : m_blocks)
        out << block;
    for (const auto& [record, start] : m_far)
        out << record << start;
    return bytes;
}

std::optional<RecordIndex> RecordIndex::Load(QByteArrayView bytes)
{
    const QByteArray copy = bytes.toByteArray();
    QDataStream in(copy);
    quint32 magic = 0;
    RecordIndex index;
    quint64 farCount = 0;
    in >> magic >> index.m_count >> farCount;
    // The sizes must agree with the bytes there are before anything is allocated.
    const qint64 blocks = (qint64(index.m_count) + kBlock - 1) / kBlock;
    if (in.status() != QDataStream::Ok || magic != kSaveMagic || index.m_count < 0 ||
        farCount > quint64(bytes.size()) ||
        qint64(bytes.size()) != 16 + blocks * 8 + qint64(farCount) * 12)
        return std::nullopt;
    index.m_blocks.resize(size_t(blocks));
    for (quint64& block : index.m_blocks)
        in >> block;
    index.m_far.resize(size_t(farCount));
    for (auto& [record, start] : index.m_far)
        in >> record >> start;
    if (in.status() != QDataStream::Ok || !std::is_sorted(index.m_far.begin(), index.m_far.end()))
        return std::nullopt;
    for (qint32 n = 1; n <= index.m_count; n += kBlock) {
        const quint64 block = index.m_blocks[size_t((n - 1) / kBlock)];
        index.m_positions += std::popcount(block >> kOffsetBits);
        if (index.m_firstPosition == 0 && (block >> kOffsetBits) != 0)
            index.m_firstPosition = n + std::countr_zero(block >> kOffsetBits);
    }
    // Bits past the last record would be positions that are not there.
    if (index.m_count % kBlock != 0 &&
        (index.m_blocks.back() >> (kOffsetBits + index.m_count % kBlock)) != 0)
        return std::nullopt;
    return index;
}

} // namespace kx
