#pragma once

#include "Result.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>

#include <optional>

/*
 * Puzzle collections in CSV, as Lichess publishes its puzzle database: one
 * puzzle a row, the columns named in a header row (PuzzleId, FEN, Moves,
 * Rating, Themes and others, in any order) or, in older exports without a
 * header, in Lichess's order. The FEN is the position before the opponent's
 * move; Moves, in coordinates, starts with that move and goes on with the
 * solution. A row becomes an EPD record of the position the solver faces.
 */
namespace kx {

/// Where a puzzle file's columns are; -1 for a column it does not have.
struct PuzzleColumns
{
    qsizetype id = -1;
    qsizetype fen = -1;
    qsizetype moves = -1;
    qsizetype rating = -1;
    qsizetype themes = -1;
    QStringList names;   // every column, in order
    bool header = false; // the first row names the columns and is no puzzle

    bool operator==(const PuzzleColumns&) const = default;
};

/// The columns of Lichess's exports without a header row, in their order.
inline constexpr const char* kLichessColumns[] = {
    "PuzzleId",   "FEN",     "Moves",  "Rating", "RatingDeviation",
    "Popularity", "NbPlays", "Themes", "GameUrl"};

using CsvFields = QVarLengthArray<QByteArrayView, 16>;

/// The fields of a row, parted at its commas.
CsvFields SplitCsvRow(QByteArrayView row);

/// The columns, from the file's first row: its names (matched without regard
/// to case; a header may quote them), or Lichess's order when that row is
/// already a puzzle (its second field a FEN, its third coordinate moves). A
/// failure, naming what is missing, when the file has no FEN or no Moves column.
Result<PuzzleColumns> ReadPuzzleColumns(QByteArrayView firstRow);

/// The puzzle of a row as an EPD record: the position after the first move
/// of Moves (four FEN fields), bm the solver's first move in SAN, id the
/// PuzzleId, c0 "rating ...", c1 "themes ...", pv the solution in SAN (up
/// to a move that cannot be played) and the other columns, each as
/// c2 to c9 "Name value". A failure saying why the row is no puzzle: too few
/// columns, a quoted field, a FEN that is no legal position, a first move or
/// solution move that is not legal there.
Result<QString> PuzzleToEpd(QByteArrayView row, const PuzzleColumns& columns);

/// True when the row is a puzzle (PuzzleToEpd would succeed), found without
/// writing the record.
bool IsPuzzleRow(QByteArrayView row, const PuzzleColumns& columns);

/// The rating and themes of a row, for the filter.
struct PuzzleTraits
{
    std::optional<qint32> rating;
    QByteArrayView themes;
};
PuzzleTraits ReadPuzzleTraits(QByteArrayView row, const PuzzleColumns& columns);

} // namespace kx
