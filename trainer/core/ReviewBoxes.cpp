#include "ReviewBoxes.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace kx {

namespace {

constexpr std::array<int, kLastBox + 1> kDaysInBox = {0, 0, 1, 3, 7, 14, 30};
constexpr qint32 kMostCount = std::numeric_limits<qint32>::max();
// Nothing this program wrote can be older.
const QDate kFirstDay(2000, 1, 1);

// The order of due entries packed into one integer, smallest first: the due
// day, then the box, then the index (entries are sorted by number, so the
// index orders as the number does).
constexpr int kBoxShift = 32;
constexpr int kDayShift = 40;
constexpr qint64 kMostDays = (qint64(1) << (64 - kDayShift)) - 1;
constexpr quint64 kIndexMask = (quint64(1) << kBoxShift) - 1;

// The order keys of the first count entries due today whose keys come after
// `after` (all, when none), in order.
std::vector<quint64> nextDue(const std::vector<HistoryEntry>& entries, QDate today,
                             std::optional<quint64> after, qsizetype count)
{
    const qint64 lastDay = today.toJulianDay();
    const qint64 firstDay = kFirstDay.toJulianDay();
    std::vector<quint64> heap; // the largest of those kept on top
    heap.reserve(std::size_t(count));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const HistoryEntry& entry = entries[i];
        const qint64 day = entry.due.toJulianDay(); // far below firstDay when not valid
        if (entry.box < kFirstBox || day > lastDay || day < firstDay)
            continue;
        const quint64 key = quint64(std::min(day - firstDay, kMostDays)) << kDayShift |
                            quint64(entry.box) << kBoxShift | quint64(i);
        if (after && key <= *after)
            continue;
        if (qsizetype(heap.size()) < count) {
            heap.push_back(key);
            std::push_heap(heap.begin(), heap.end());
        } else if (key < heap.front()) {
            std::pop_heap(heap.begin(), heap.end());
            heap.back() = key;
            std::push_heap(heap.begin(), heap.end());
        }
    }
    std::sort_heap(heap.begin(), heap.end());
    return heap;
}

} // namespace

int DaysInBox(int box)
{
    return box >= kFirstBox && box <= kLastBox ? kDaysInBox[std::size_t(box)] : 0;
}

HistoryEntry AfterAttempt(HistoryEntry entry, bool solved, bool review, QDate today)
{
    // Counts stop at their largest value rather than wrap.
    if (entry.attempts < kMostCount)
        ++entry.attempts;
    if (solved && entry.solves < entry.attempts)
        ++entry.solves;
    entry.lastSeen = today;
    if (!solved) {
        entry.box = kFirstBox;
        entry.due = today;
    } else if (review && entry.box >= kFirstBox) {
        entry.box = entry.box == kLastBox ? kNoBox : entry.box + 1;
        entry.due = entry.box == kNoBox ? QDate() : today.addDays(DaysInBox(entry.box));
    }
    return entry;
}

bool IsDue(const HistoryEntry& entry, QDate today)
{
    return entry.box >= kFirstBox && entry.due.isValid() && entry.due <= today;
}

bool IsPlausible(const HistoryEntry& entry, QDate today)
{
    if (entry.number < 1 || entry.attempts < 1 || entry.solves < 0 || entry.solves > entry.attempts)
        return false;
    if (!entry.lastSeen.isValid() || entry.lastSeen < kFirstDay || entry.lastSeen > today)
        return false;
    if (entry.box == kNoBox)
        return !entry.due.isValid();
    if (entry.box < kFirstBox || entry.box > kLastBox || !entry.due.isValid())
        return false;
    // In a box it was missed once at least, and solved once for every box it rose.
    if (entry.solves >= entry.attempts || entry.solves < entry.box - kFirstBox)
        return false;
    return entry.due >= kFirstDay && entry.due <= entry.lastSeen.addDays(DaysInBox(entry.box));
}

quint64 RecordKey(const QString& record)
{
    // FNV-1a, 64 bits, over the record's UTF-8.
    constexpr quint64 kOffsetBasis = 14695981039346656037ull;
    constexpr quint64 kPrime = 1099511628211ull;
    quint64 key = kOffsetBasis;
    for (const char byte : record.toUtf8()) {
        key ^= quint8(byte);
        key *= kPrime;
    }
    return key;
}

std::vector<qint32> DueOrder(const std::vector<HistoryEntry>& entries, QDate today, qsizetype most,
                             const EntryCheck& stillMatches, std::vector<qint32>& stale)
{
    // A review takes a few of possibly a million due entries: each round
    // keeps the next few in order in a heap, looking once at every entry.
    // Rounds after the first are needed only when some of the first no
    // longer match the suite, and take twice as many each time.
    std::vector<qint32> taken;
    std::optional<quint64> after;
    for (qsizetype round = most; qsizetype(taken.size()) < most; round *= 2) {
        const std::vector<quint64> next = nextDue(entries, today, after, round);
        for (const quint64 key : next) {
            const HistoryEntry& entry = entries[std::size_t(key & kIndexMask)];
            (stillMatches(entry) ? taken : stale).push_back(entry.number);
            if (qsizetype(taken.size()) == most)
                break;
        }
        if (qsizetype(next.size()) < round)
            break; // no more are due
        after = next.back();
    }
    return taken;
}

} // namespace kx
