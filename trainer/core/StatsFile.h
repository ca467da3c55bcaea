#pragma once

#include "PositionTable.h"
#include "Result.h"

#include <QByteArray>
#include <QString>

// The per-suite statistics file: one record per table row, header row first.
// A record is a line "/*", one line per cell (a multi-line comment takes as
// many lines as it has), and a line "*/"; lines end in CR LF, LF alone is read
// too. A cell line that would read as one of the two boundary lines is
// written with a backslash in front (and one more for each it already has),
// so a comment can never end its record early; files without such lines read
// as they always did.
namespace kx {

struct StatsReading
{
    TableRows rows;       // never empty: at least the header row
    bool complete = true; // false when keepGoing stopped the reading
    QString error;        // set when the file exists but cannot be read
};

/// The file's text for rows of cells (columns cells per record).
QByteArray StatsText(const TableRows& rows, int columns = TableCol::Count);

/// The rows of a file's text. A record cut short keeps what it has; lines
/// between records are passed over; keepGoing is asked every few hundred lines.
StatsReading ParseStats(const QByteArray& data, const KeepGoing& keepGoing = {});

/// Reads a statistics file; a missing file gives just the header row.
StatsReading ReadStatsFile(const QString& path, const KeepGoing& keepGoing = {});

/// Replaces the file with the rows as a whole: the new text goes to a new file
/// that then takes the old one's place, so a failed save leaves the old file
/// as it was. False, with a message naming the file, on failure.
Result<> WriteStatsFile(const QString& path, const TableRows& rows);

} // namespace kx
