#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <vector>

/*
 * The review boxes, as pure rules over one position's history. A missed
 * position goes to box 1 and is due at once; solving it in a review moves it
 * up a box, due again after the days that box waits, and solving it in the
 * last box takes it out of review; missing it again puts it back in box 1. An
 * ordinary session counts the attempt and a miss, but only a review moves a
 * position up. Days are calendar days, so "tomorrow" is tomorrow morning.
 */
namespace kx {

inline constexpr int kNoBox = 0; // not in review: never missed, or solved out of the last box
inline constexpr int kFirstBox = 1;
inline constexpr int kLastBox = 6;

/// What the history knows of one position of a suite.
struct HistoryEntry
{
    qint32 number = 0; // the position's line in the suite
    qint32 attempts = 0;
    qint32 solves = 0;
    int box = kNoBox;
    quint64 key = 0; // RecordKey of the record it had when last met
    QDate lastSeen;
    QDate due; // valid only in a box

    bool operator==(const HistoryEntry&) const = default;
};

/// The days a position waits in box before it is due: 0 in box 1, then 1,
/// 3, 7, 14 and 30 in boxes 2 to 6; 0 outside the boxes.
int DaysInBox(int box);

/// The entry after an attempt made today, in a review or not.
HistoryEntry AfterAttempt(HistoryEntry entry, bool solved, bool review, QDate today);

/// True when the entry is in a box and its day has come.
bool IsDue(const HistoryEntry& entry, QDate today);

/// True when the entry could have been written by these rules by today:
/// counts that add up, a box that exists, a last-seen day not in the future
/// and a due day no further from it than its box waits.
bool IsPlausible(const HistoryEntry& entry, QDate today);

/// The key of a record's text; the same text gives the same key in every run.
quint64 RecordKey(const QString& record);

/// Whether an entry still belongs to the suite's record of its number.
using EntryCheck = std::function<bool(const HistoryEntry&)>;

/// The numbers of entries (sorted by number, each number once) that are due
/// today, most overdue first (then the lower box, then the lower number), at
/// most `most` of them. Each is checked in that order before it is taken; the
/// numbers of those refused go to stale.
std::vector<qint32> DueOrder(const std::vector<HistoryEntry>& entries, QDate today, qsizetype most,
                             const EntryCheck& stillMatches, std::vector<qint32>& stale);

} // namespace kx
