#pragma once

#include "FlexGridModel.h"

#include <QList>
#include <QStringList>

/*
 * The position table of statistics mode behind the grid "Grid": row n is
 * position n of the suite, its columns named by kx::TableCol. The session,
 * the level filter and the ranking read and count through the typed members
 * here; the cells keep the texts the user typed and the statistics file
 * holds, so a file reads and saves byte for byte.
 */
class PositionTableModel : public FlexGridModel
{
    Q_OBJECT

public:
    explicit PositionTableModel(QObject* parent = nullptr);

    /// The position rows, the header row aside.
    qint32 positions() const { return qMax(0, totalRows() - 1); }
    /// The level position n is drawn by (its difficulty); 0 when not given.
    double level(qint32 n) const;
    double attempts(qint32 n) const;
    double solved(qint32 n) const;
    /// The badness of positions 1 to count, for the ranking of the worst.
    QList<qint16> badness(qint32 count) const;

    /// Row n's statistics, difficulty to comment (kStatistics texts).
    QStringList statistics(qint32 n) const;
    void setStatistics(qint32 n, const QStringList& values);

    /// The statistics columns, Difficulty to Comment.
    static constexpr int kFirstStatistic = kx::TableCol::Difficulty;
    static constexpr int kStatistics = kx::TableCol::Count - kFirstStatistic;

private:
    double number(qint32 n, int column) const;
};
