#include "BestMoveScan.h"

#include "Epd.h"

namespace kx {

namespace {
const QString kBmPrefix = QStringLiteral("bm ");
const QString kNot = QStringLiteral("not ");
constexpr qsizetype kMinBmFieldLength = 5;

// Columns 2 to 4 from the moves text, one normalised move each, the last
// column taking the rest; each cell starts with prefix.
void fillMoves(QStringList& row, QString rest, const QString& prefix)
{
    int c = TableCol::Best1;
    while (c < TableCol::BestRest && rest.contains(u' '))
        row[c++] = prefix + CleanMove(PopToken(rest));
    row[c] = prefix + CleanMove(rest);
}
} // namespace

QStringList ScanRow(qint32 n, const QString& record)
{
    QStringList row(TableCol::Count);
    row[TableCol::Number] = QString::number(n);
    const QString field = GetBmField(record);
    if (field.startsWith(kBmPrefix) && field.size() >= kMinBmFieldLength) {
        row[TableCol::BestText] = field.mid(kBmPrefix.size());
        fillMoves(row, row[TableCol::BestText], QString());
        return row;
    }
    // Without best moves, what the judge takes instead: any move but the
    // avoided ones, or the line's first move.
    if (const QStringList avoid = GetAvoidMoveWords(record); !avoid.isEmpty()) {
        row[TableCol::BestText] = kNot + avoid.join(u' ');
        fillMoves(row, avoid.join(u' '), kNot);
        return row;
    }
    const QString first = GetLineMoveWords(record).value(0, QStringLiteral("a3"));
    row[TableCol::BestText] = first;
    row[TableCol::Best1] = CleanMove(first);
    return row;
}

} // namespace kx
