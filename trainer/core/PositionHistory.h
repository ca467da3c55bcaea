#pragma once

#include "ReviewBoxes.h"

#include <QString>

#include <vector>

namespace kx {

/*
 * The history of one suite's positions, as far as the player has met them:
 * one entry per position number, kept in number order so the file is written
 * straight from it and an entry is found by halving. An entry belongs to the
 * record it was met with; one whose number now holds another record (the
 * suite was edited) is started afresh when that number is met, and is never
 * taken for a review.
 */
class PositionHistory
{
public:
    PositionHistory() = default;
    /// entries sorted by number, each number once (as ParseHistory gives them).
    explicit PositionHistory(std::vector<HistoryEntry> entries);

    const std::vector<HistoryEntry>& entries() const { return m_entries; }

    /// Counts an attempt on position number, whose record is record, made today.
    const HistoryEntry& Record(qint32 number, const QString& record, bool solved, bool review,
                               QDate today);
    /// The entry of position number; null when it was never met.
    const HistoryEntry* Find(qint32 number) const;
    /// entry in the place of the one of its number.
    void Put(const HistoryEntry& entry);

    /// Up to most of the positions due today, most overdue first, each of them
    /// checked against the suite first; those that no longer match are dropped.
    /// dropped, when given, is set to whether any were.
    std::vector<qint32> TakeDue(QDate today, qsizetype most, const EntryCheck& stillMatches,
                                bool* dropped = nullptr);

private:
    std::vector<HistoryEntry> m_entries;
};

} // namespace kx
