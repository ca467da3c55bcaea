#pragma once

#include "PositionTable.h"
#include "Ranking.h"
#include "StatsKeys.h"

#include <QObject>
#include <QString>

class FlexGrid;

/*
 * The position table of statistics mode as a whole: which suite it belongs
 * to, loading it from that suite's statistics file, saving it back, and
 * rebuilding it from the suite's best moves; with the ranking of its worst
 * positions and the typed keys that switch the mode. A table belongs to the
 * suite it was last loaded or scanned for, and is only ever saved to that
 * suite's file, so a table that was never loaded cannot overwrite one.
 */
class StatsTable : public QObject
{
public:
    StatsTable(FlexGrid* grid, QObject* parent);

    /// The statistics file of suite: its name followed by "_KXI.txt", in dataFolder.
    static QString FilePath(const QString& dataFolder, const QString& suite);

    /// The suite the table belongs to; empty when none.
    QString Suite() const { return m_suite; }
    bool BelongsTo(const QString& suite) const;

    struct Outcome
    {
        bool finished = true;  // false when keepGoing stopped it
        bool replaced = false; // the table holds new rows
        QString error;         // for the user; the table may still have been replaced
        qint32 positions = 0;  // position rows in the table afterwards
    };

    /// Replaces the table with suite's statistics file. A missing file gives
    /// an empty table of the suite; one that cannot be read gives an empty
    /// table that belongs to no suite, so that file is never saved over.
    Outcome Load(const QString& dataFolder, const QString& suite, const kx::KeepGoing& keepGoing);

    /// Writes the table to its own suite's statistics file; true with nothing
    /// written when it belongs to no suite, or holds no positions and the
    /// suite has no file yet.
    bool Save(const QString& dataFolder, QString* error) const;

    /// Rebuilds the table from the suite file: one row per line with its best
    /// moves, statistics empty, the header row kept. A file that cannot be
    /// read leaves the table as it was.
    Outcome Scan(const QString& suitePath, const QString& suite, const kx::KeepGoing& keepGoing);

    /// The row whose statistics the position panel shows; 0 when the panel
    /// shows none of this table's rows (new rows always start so).
    qint32 PanelRow() const { return m_panelRow; }
    void setPanelRow(qint32 row) { m_panelRow = row; }

    kx::WorstRanking& Worst() { return m_worst; }

    /// A key typed on the report grid; true when it completes the sequence
    /// that switches statistics mode.
    bool TypeKey(qint16 keyCode) { return kx::TypeStatsKey(m_keyBuffer, keyCode); }

private:
    FlexGrid* m_grid;
    QString m_suite;
    qint32 m_panelRow = 0;
    kx::WorstRanking m_worst;
    QString m_keyBuffer;
};
