#include "StatsTable.h"

#include "BestMoveScan.h"
#include "EngineLine.h"
#include "FlexGrid.h"
#include "NumberText.h"
#include "PositionTableModel.h"
#include "StatsFile.h"
#include "Suite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {
constexpr qint32 kLinesPerCheck = 256;
const QString kStatsSuffix = QStringLiteral("_KXI.txt");
const QColor kVisitedRowColor(224, 255, 255); // light cyan marks positions seen
} // namespace

StatsTable::StatsTable(FlexGrid* grid, const Panel& panel, QObject* parent)
    : QObject(parent), m_grid(grid), m_model(new PositionTableModel(this)), m_boxes(panel),
      m_panel(PositionTableModel::kStatistics)
{
    grid->setTableModel(m_model);
    // What the user types in the panel is the panel's value from then on.
    const QList<QLineEdit*> lines = {panel.difficulty, panel.evaluation, panel.depth,
                                     panel.attempts, panel.solved};
    for (int i = 0; i < lines.size(); ++i) {
        connect(lines.at(i), &QLineEdit::textChanged, this, [this, i](const QString& text) {
            if (!m_showing)
                m_panel[i] = text;
        });
    }
    connect(panel.comment, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            m_panel[Comment] = m_boxes.comment->toPlainText();
    });
}

QString StatsTable::FilePath(const QString& dataFolder, const QString& suite)
{
    // The file lies in the data folder whatever folder the suite came from.
    return QDir(dataFolder).filePath(QFileInfo(suite).fileName() + kStatsSuffix);
}

bool StatsTable::BelongsTo(const QString& suite) const
{
    return !m_suite.isEmpty() && m_suite == suite;
}

StatsTable::Outcome StatsTable::Load(const QString& dataFolder, const QString& suite,
                                     const kx::KeepGoing& keepGoing)
{
    // While the file is read the old rows are no suite's: a close meanwhile
    // must not save them anywhere (they were saved before the choice).
    m_suite.clear();
    m_panelRow = 0;
    Outcome outcome;
    const kx::StatsReading reading = kx::ReadStatsFile(FilePath(dataFolder, suite), keepGoing);
    if (!reading.complete) {
        outcome.finished = false;
        return outcome;
    }
    m_grid->setTable(reading.rows, 1);
    outcome.replaced = true;
    if (reading.error.isEmpty())
        m_suite = suite;
    else
        outcome.error = reading.error + QStringLiteral("\nThe table stays empty, and the file "
                                                       "will not be written over.");
    outcome.positions = m_model->positions();
    return outcome;
}

kx::Result<> StatsTable::Save(const QString& dataFolder)
{
    StorePanel();
    if (m_suite.isEmpty())
        return {};
    // A table without positions for a suite without a file keeps nothing: a
    // suite name typed by mistake leaves no file behind.
    const QString path = FilePath(dataFolder, m_suite);
    if (m_model->positions() == 0 && !QFile::exists(path))
        return {};
    return kx::WriteStatsFile(path, m_model->rows());
}

StatsTable::Outcome StatsTable::Scan(kx::Suite& suite, const QString& path, const QString& name,
                                     const kx::KeepGoing& keepGoing)
{
    Outcome outcome;
    // Read as positions are shown, so row n is always the position n on the board.
    const kx::Result<> opened = suite.Open(path);
    if (!opened) {
        outcome.error = opened.error();
        return outcome;
    }
    const qint32 count = qMin(suite.size(), kx::kMaxPositions);
    if (suite.size() > kx::kMaxPositions) {
        outcome.error = QStringLiteral("%1 has %2 lines; the table takes its first %3 positions.")
                            .arg(QFileInfo(path).fileName())
                            .arg(suite.size())
                            .arg(kx::kMaxPositions);
    }
    kx::TableRows rows;
    rows.reserve(count + 1);
    rows.append(m_model->totalRows() > 0 ? m_model->rows().first() : QStringList());
    for (qint32 n = 1; n <= count; ++n) {
        // A line that is no position gets a row too, so row n stays position n.
        kx::Result<QString> record = suite.holdsPosition(n) ? suite.record(n) : QString();
        if (!record) {
            outcome.error = record.error();
            return outcome;
        }
        rows.append(kx::ScanRow(n, *record));
        if (n % kLinesPerCheck == 0 && keepGoing && !keepGoing()) {
            outcome.finished = false;
            return outcome;
        }
    }
    m_grid->setTable(rows, 1);
    m_suite = name;
    m_panelRow = 0;
    outcome.replaced = true;
    outcome.positions = count;
    return outcome;
}

void StatsTable::StorePanel()
{
    // Only a panel filled from a row of this table goes back into it.
    if (m_panelRow > 0 && m_panelRow <= m_model->positions())
        m_model->setStatistics(m_panelRow, m_panel);
}

void StatsTable::ShowPosition(qint32 n, bool statsMode, bool inTable)
{
    StorePanel();
    inTable = statsMode && inTable && n >= 1 && n <= m_model->positions();
    m_panelRow = inTable ? n : 0;
    if (inTable) {
        m_grid->setRow(n);
        m_grid->setTopRow(n);
        for (int c = kx::TableCol::BestText; c <= kx::TableCol::BestRest; ++c)
            m_grid->setCellBackColor(n, c, kVisitedRowColor);
        m_grid->setCol(kx::TableCol::BestText);
        m_panel = m_model->statistics(n);
    } else if (statsMode) {
        m_panel = QStringList(PositionTableModel::kStatistics);
    }
    showPanel();
}

void StatsTable::CountAttempt(bool solved)
{
    m_panel[Attempts] = kx::NumberToText(kx::NumericValue(m_panel[Attempts]) + 1);
    if (solved)
        m_panel[Solved] = kx::NumberToText(kx::NumericValue(m_panel[Solved]) + 1);
    showPanel();
}

void StatsTable::CountLateSolve(qint32 n)
{
    if (n >= 1 && n == m_panelRow) {
        m_panel[Solved] = kx::NumberToText(kx::NumericValue(m_panel[Solved]) + 1);
        showPanel();
    } else if (n >= 1 && n <= m_model->positions()) {
        QStringList statistics = m_model->statistics(n);
        statistics[Solved] = kx::NumberToText(kx::NumericValue(statistics.value(Solved)) + 1);
        m_model->setStatistics(n, statistics);
    }
}

void StatsTable::Grade(const std::function<void(kx::PositionGrade&)>& change)
{
    kx::PositionGrade grade{m_panel[Comment], m_panel[Depth], m_panel[Difficulty],
                            m_panel[Evaluation]};
    change(grade);
    m_panel[Comment] = grade.comment;
    m_panel[Depth] = grade.depth;
    m_panel[Difficulty] = grade.difficulty;
    m_panel[Evaluation] = grade.evaluation;
    showPanel();
}

void StatsTable::showPanel()
{
    m_showing = true;
    const QList<QLineEdit*> lines = {m_boxes.difficulty, m_boxes.evaluation, m_boxes.depth,
                                     m_boxes.attempts, m_boxes.solved};
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i)->text() != m_panel.at(i))
            lines.at(i)->setText(m_panel.at(i));
    }
    // Set only when changed, so the caret stays where the user left it.
    if (m_boxes.comment->toPlainText() != m_panel.at(Comment))
        m_boxes.comment->setPlainText(m_panel.at(Comment));
    m_showing = false;
}
