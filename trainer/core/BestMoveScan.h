#pragma once

#include "PositionTable.h"

#include <QString>
#include <QStringList>

/*
 * Building the position table from a suite: one row per line of the suite
 * file (as ReadSuiteLines reads it), holding the position number and the
 * record's best moves, with every statistics column empty.
 */
namespace kx {

/// The table row for record n: its number, the best-move text and up to three
/// normalised best moves, the third column taking the rest when there are
/// more. A record without a usable bm operation gets its am moves instead,
/// each after "not " ("not Bxh7" and "not Bh7"), or else its line's first
/// move, or else "a3".
QStringList ScanRow(qint32 n, const QString& record);

} // namespace kx
