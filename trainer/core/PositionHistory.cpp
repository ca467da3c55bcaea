#include "PositionHistory.h"

#include <algorithm>

namespace kx {

namespace {

// The first entry of that number or a higher one, in entries sorted by number.
template<typename Entries> auto lowerBound(Entries& entries, qint32 number)
{
    return std::lower_bound(entries.begin(), entries.end(), number,
                            [](const HistoryEntry& entry, qint32 n) { return entry.number < n; });
}

} // namespace

PositionHistory::PositionHistory(std::vector<HistoryEntry> entries) : m_entries(std::move(entries))
{
}

const HistoryEntry& PositionHistory::Record(qint32 number, const QString& record, bool solved,
                                            bool review, QDate today)
{
    const quint64 key = RecordKey(record);
    auto at = lowerBound(m_entries, number);
    HistoryEntry fresh;
    fresh.number = number;
    fresh.key = key;
    if (at == m_entries.end() || at->number != number)
        at = m_entries.insert(at, fresh);
    else if (at->key != key)
        *at = fresh; // another record under this number now: a history of its own
    *at = AfterAttempt(*at, solved, review, today);
    return *at;
}

const HistoryEntry* PositionHistory::Find(qint32 number) const
{
    const auto at = lowerBound(m_entries, number);
    return at != m_entries.end() && at->number == number ? &*at : nullptr;
}

void PositionHistory::Put(const HistoryEntry& entry)
{
    const auto at = lowerBound(m_entries, entry.number);
    if (at != m_entries.end() && at->number == entry.number)
        *at = entry;
    else
        m_entries.insert(at, entry);
}

std::vector<qint32> PositionHistory::TakeDue(QDate today, qsizetype most,
                                             const EntryCheck& stillMatches, bool* dropped)
{
    std::vector<qint32> stale;
    std::vector<qint32> due = DueOrder(m_entries, today, most, stillMatches, stale);
    if (dropped)
        *dropped = !stale.empty();
    if (!stale.empty()) {
        std::sort(stale.begin(), stale.end());
        std::erase_if(m_entries, [&](const HistoryEntry& entry) {
            return std::binary_search(stale.begin(), stale.end(), entry.number);
        });
    }
    return due;
}

} // namespace kx
