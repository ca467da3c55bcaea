#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>
#include <utility>
#include <vector>

namespace kx {

/*
 * Where the records of a suite file start and which of them hold a position,
 * kept sparsely: one 64-bit word per block of 16 records, the start of the
 * block's first record in its low 48 bits and the position bits of its 16
 * records in the high 16, so a suite of millions of records costs half a
 * byte a record. A record inside a block is found by reading on from the
 * block's start; only a position that starts far into its block (behind
 * long lines that are no positions) has its own start noted, so a read never
 * goes through more than kNear bytes before its record.
 */
class RecordIndex
{
public:
    static constexpr int kBlock = 16;
    static constexpr qint64 kNear = 256 * 1024;

    /// Where to read record n from: the start of a record and how many
    /// records to pass over there.
    struct Seek
    {
        qint64 from = 0;
        int pass = 0;
    };

    void clear();
    /// Appends the next record: where it starts and whether it holds a position.
    void Add(qint64 start, bool position);
    /// After the last Add: gives back what the growing index held in reserve.
    void Squeeze();

    qint32 count() const { return m_count; }
    /// Records that hold positions.
    qint32 positions() const { return m_positions; }
    /// The first record that holds a position; 0 when none does.
    qint32 firstPosition() const { return m_firstPosition; }
    bool holds(qint32 n) const;
    /// Records from 1 to last that hold positions.
    qint32 positionsUpTo(qint32 last) const;
    /// Where record n (1 to count) is read from.
    Seek seekFor(qint32 n) const;
    /// The memory the index takes.
    qint64 bytes() const;

    /// The index as bytes, for keeping it between runs, and read back;
    /// nothing when the bytes are not such an index.
    QByteArray Save() const;
    static std::optional<RecordIndex> Load(QByteArrayView bytes);

private:
    static constexpr int kOffsetBits = 48;
    static constexpr quint64 kOffsetMask = (quint64(1) << kOffsetBits) - 1;

    std::vector<quint64> m_blocks;
    std::vector<std::pair<qint32, qint64>> m_far; // record, start; by record
    qint32 m_count = 0;
    qint32 m_positions = 0;
    qint32 m_firstPosition = 0;
};

} // namespace kx
