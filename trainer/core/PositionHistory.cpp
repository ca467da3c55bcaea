#include "PositionHistory.h"

#include <algorithm>

namespace kx {

PositionHistory::PositionHistory(std::vector<HistoryEntry> entries) : m_entries(std::move(entries))
{
}

std::vector<HistoryEntry>::iterator PositionHistory::lowerBound(qint32 number)
{
    return std::lower_bound(m_entries.begin(), m_entries.end(), number,
                            [](const HistoryEntry& entry, qint32 n) { return entry.number < n; });
}

const HistoryEntry* PositionHistory::Find(qint32 number) const
{
    const auto at = const_cast<PositionHistory*>(this)->lowerBound(number);
    return at != m_entries.end() && at->number == number ? &*at : nullptr;
}

const HistoryEntry& PositionHistory::Record(qint32 number, const QString& record, bool solved,
                                            bool review, QDate today)
{
    const quint64 key = RecordKey(record);
    auto at = lowerBound(number);
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
