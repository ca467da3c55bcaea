#pragma once

#include "PositionTable.h"

#include <QString>
#include <QStringList>

/*
 * Building the position table from a suite: one row per line of the suite
 * file, holding the position number and the record's best moves, with every
 * statistics column empty.
 */
namespace kx {

/// The table row for record n: its number, the best-move text ("a3" when the
/// record has no usable bm operation) and up to three normalised best moves,
/// the third column taking the rest when there are more.
QStringList ScanRow(qint32 n, const QString& record);

struct SuiteLines
{
    bool ok = false;
    QStringList lines; // every line, an empty one included, without line ends
    QString error;     // a message naming the file when !ok
};

/// All lines of a suite file; a last line without line end counts too.
SuiteLines ReadWholeSuite(const QString& path);

} // namespace kx
