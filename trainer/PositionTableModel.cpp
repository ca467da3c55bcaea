#include "PositionTableModel.h"

#include "NumberText.h"
#include "Ranking.h"

PositionTableModel::PositionTableModel(QObject* parent) : FlexGridModel(parent)
{
    setCols(kx::TableCol::Count);
}

double PositionTableModel::number(qint32 n, int column) const
{
    return kx::NumericValue(cell(n, column));
}

double PositionTableModel::level(qint32 n) const
{
    return number(n, kx::TableCol::Difficulty);
}

double PositionTableModel::attempts(qint32 n) const
{
    return number(n, kx::TableCol::Attempts);
}

double PositionTableModel::solved(qint32 n) const
{
    return number(n, kx::TableCol::Solved);
}

QList<qint16> PositionTableModel::badness(qint32 count) const
{
    QList<qint16> scores(qMax(0, count));
    for (qint32 n = 1; n <= count; ++n)
        scores[n - 1] = kx::Badness(attempts(n), solved(n), level(n));
    return scores;
}

QStringList PositionTableModel::statistics(qint32 n) const
{
    QStringList values;
    for (int c = kFirstStatistic; c < kx::TableCol::Count; ++c)
        values << cell(n, c);
    return values;
}

void PositionTableModel::setStatistics(qint32 n, const QStringList& values)
{
    for (int i = 0; i < kStatistics && i < values.size(); ++i)
        setCell(n, kFirstStatistic + i, values.at(i));
}
