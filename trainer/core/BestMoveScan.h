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

/// The table row for record n: its number, the best-move text ("a3" when the
/// record has no usable bm operation) and up to three normalised best moves,
/// the third column taking the rest when there are more.
QStringList ScanRow(qint32 n, const QString& record);

} // namespace kx
