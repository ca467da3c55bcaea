#pragma once

#include "Result.h"
#include "ReviewBoxes.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The per-suite history file: one line per position met, in the order of the
// positions' numbers, each line ended by LF:
//   number key attempts solved last-seen box due
// with the record key as 16 hexadecimal digits, the days as yyyy-MM-dd and
// "-" for the due day of a position in no box. Lines starting with "#" are
// comments (the file starts with two). A line that is cut short, holds
// anything else or an entry the review rules could not have written by today
// is dropped with its entry alone; of two lines of one number the first counts.
namespace kx {

struct HistoryReading
{
    std::vector<HistoryEntry> entries; // sorted by number, each number once
    qsizetype dropped = 0;             // lines that held no usable entry
};

/// The name of a suite's history file in the data folder.
QString HistoryFileName(const QString& suiteName);

/// The file's text for entries sorted by number.
QByteArray HistoryText(const std::vector<HistoryEntry>& entries);

/// The entries of a file's text, as far as they hold up on today.
HistoryReading ParseHistory(const QByteArray& data, QDate today);

/// Reads a history file; a missing or unreadable file holds no entries.
HistoryReading ReadHistoryFile(const QString& path, QDate today);

/// Replaces the file with the entries as a whole (the old file stays as it
/// was should that fail); a failure, naming the file, when it cannot be written.
Result<> WriteHistoryFile(const QString& path, const std::vector<HistoryEntry>& entries);

} // namespace kx
