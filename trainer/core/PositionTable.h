#pragma once

#include <QList>
#include <QStringList>

#include <functional>

/*
 * The position table kept in statistics mode: one row per position of a suite
 * (row n is position n, row 0 the header), every cell a text. The columns are
 * named here once; code that reads or writes a cell uses these names.
 */
namespace kx {

namespace TableCol {
enum Column : int {
    Number = 0,     // the position number
    BestText = 1,   // the best-move text as the record has it
    Best1 = 2,      // normalised best moves, one per column ...
    Best2 = 3,      //
    BestRest = 4,   // ... the third and any further ones together
    Difficulty = 5, // the level the draw filters on
    Evaluation = 6,
    Depth = 7,
    Attempts = 8, // times finished in a session
    Solved = 9,   // times solved
    Comment = 10, // free text, may span several lines
    Count = 11
};
} // namespace TableCol

/// Rows of cell texts, header row 0 included; a row may hold fewer cells
/// than there are columns (the missing ones are empty).
using TableRows = QList<QStringList>;

/// Asked now and then by a long loop; false asks it to stop.
using KeepGoing = std::function<bool()>;

} // namespace kx
