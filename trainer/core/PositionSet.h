#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>
#include <vector>

namespace kx {

/*
 * A set of position numbers out of a suite's 1 to size: one bit a position
 * and a running count every 512 of them, so the set of matching positions
 * of a suite of millions costs well under a byte a position, and the k-th
 * member (the draw's pick among them) is found without going through them
 * all.
 */
class PositionSet
{
public:
    explicit PositionSet(qint32 size = 0);

    void insert(qint32 n);
    bool contains(qint32 n) const;
    qint32 size() const { return m_size; }
    /// Members in all.
    qint32 count() const { return m_count; }
    /// Members from 1 to last.
    qint32 countUpTo(qint32 last) const;
    /// The k-th smallest member (1-based); 0 when there are fewer.
    qint32 nth(qint32 k) const;
    qint64 bytes() const;

    /// The bits as bytes, and read back; nothing when the bytes do not make
    /// a set of that size.
    QByteArray Save() const;
    static std::optional<PositionSet> Load(QByteArrayView bytes, qint32 size);

private:
    static constexpr int kWordsPerCount = 8; // a running count every 512 bits
    void recount() const;

    std::vector<quint64> m_bits;
    // Members in the words before each group of kWordsPerCount, counted
    // again when asked for after an insert.
    mutable std::vector<qint32> m_before;
    mutable bool m_counted = true;
    qint32 m_size = 0;
    qint32 m_count = 0;
};

} // namespace kx
