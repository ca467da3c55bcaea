#pragma once

#include "PositionTable.h"
#include "Ranking.h"
#include "Result.h"
#include "StatsKeys.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class FlexGrid;
class PositionTableModel;
class QLineEdit;
class QPlainTextEdit;

namespace kx {
class Suite;
struct PositionGrade;
} // namespace kx

/*
 * The position table of statistics mode as a whole: which suite it belongs
 * to, loading it from that suite's statistics file, saving it back, and
 * rebuilding it from the suite's best moves; the position panel that shows
 * and edits the statistics of the position on the board; with the ranking of
 * its worst positions and the typed keys that switch the mode. A table
 * belongs to the suite it was last loaded or scanned for, and is only ever
 * saved to that suite's file, so a table that was never loaded cannot
 * overwrite one.
 */
class StatsTable : public QObject
{
public:
    /// The panel's boxes, in the order of the table's statistics columns.
    struct Panel
    {
        QLineEdit* difficulty;
        QLineEdit* evaluation;
        QLineEdit* depth;
        QLineEdit* attempts;
        QLineEdit* solved;
        QPlainTextEdit* comment;
    };

    StatsTable(FlexGrid* grid, const Panel& panel, QObject* parent);

    PositionTableModel& model() { return *m_model; }
    const PositionTableModel& model() const { return *m_model; }

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

    /// Writes the table to its own suite's statistics file; nothing is
    /// written when it belongs to no suite, or holds no positions and the
    /// suite has no file yet.
    kx::Result<> Save(const QString& dataFolder);

    /// Rebuilds the table from the suite file at path: one row per line with
    /// its best moves, statistics empty, the header row kept. A file that
    /// cannot be read leaves the table as it was.
    Outcome Scan(kx::Suite& suite, const QString& path, const QString& name,
                 const kx::KeepGoing& keepGoing);

    /// Shows position n: in statistics mode with inTable (the table is the
    /// suite's own) and row n in the table, the row is selected and marked
    /// as seen and the panel shows its statistics; otherwise, in statistics
    /// mode, the panel starts empty. The panel's statistics of the position
    /// left go back into the table first.
    void ShowPosition(qint32 n, bool statsMode, bool inTable);
    /// The row whose statistics the panel shows; 0 when it shows none of
    /// this table's rows (new rows always start so).
    qint32 PanelRow() const { return m_panelRow; }
    /// Copies the panel's statistics into the table row it shows.
    void StorePanel();
    /// A finished attempt on the position shown: its count, and with solved
    /// its solve count, go up by one.
    void CountAttempt(bool solved);
    /// An attempt on position n, counted already, counts as solved after all:
    /// its solve count goes up by one, in the panel when it shows n.
    void CountLateSolve(qint32 n);
    /// Changes the panel's grade (comment, depth, difficulty, evaluation).
    void Grade(const std::function<void(kx::PositionGrade&)>& change);

    kx::WorstRanking& Worst() { return m_worst; }

    /// A key typed on the report grid; true when it completes the sequence
    /// that switches statistics mode.
    bool TypeKey(qint16 keyCode) { return kx::TypeStatsKey(m_keyBuffer, keyCode); }

private:
    enum PanelValue { Difficulty, Evaluation, Depth, Attempts, Solved, Comment };
    void showPanel();

    FlexGrid* m_grid;
    PositionTableModel* m_model;
    Panel m_boxes;
    QStringList m_panel; // what the panel shows, in the order of Panel
    bool m_showing = false;
    QString m_suite;
    qint32 m_panelRow = 0;
    kx::WorstRanking m_worst;
    QString m_keyBuffer;
};
