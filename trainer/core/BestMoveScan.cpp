#include "BestMoveScan.h"

#include "Epd.h"

#include <QFile>

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

SuiteLines ReadWholeSuite(const QString& path)
{
    SuiteLines result;
    QFile file(path);
    QByteArray data;
    if (file.open(QIODevice::ReadOnly))
        data = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        result.error =
            QStringLiteral("Cannot read the suite file %1: %2").arg(path, file.errorString());
        return result;
    }
    const QString text = QString::fromUtf8(data);
    result.lines = text.split(u'\n');
    // A line end closes its line; it does not open an empty one after it.
    if (text.endsWith(u'\n') || text.isEmpty())
        result.lines.removeLast();
    for (QString& line : result.lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    result.ok = true;
    return result;
}

} // namespace kx
