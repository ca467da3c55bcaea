#include "BestMoveScan.h"

#include "Epd.h"

namespace kx {

namespace {
const QString kBmPrefix = QStringLiteral("bm ");
constexpr qsizetype kMinBmFieldLength = 5;
} // namespace

QStringList ScanRow(qint32 n, const QString& record)
{
    QStringList row(TableCol::Count);
    row[TableCol::Number] = QString::number(n);
    QString field = GetBmField(record);
    if (!field.startsWith(kBmPrefix) || field.size() < kMinBmFieldLength)
        field = QStringLiteral("bm a3");
    QString rest = field.mid(kBmPrefix.size());
    row[TableCol::BestText] = rest;
    int c = TableCol::Best1;
    while (c < TableCol::BestRest && rest.contains(u' '))
        row[c++] = CleanMove(PopToken(rest));
    row[c] = CleanMove(rest);
    return row;
}

} // namespace kx
