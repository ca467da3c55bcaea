// Records and statistics: the scores window over the session log, the
// position table's statistics file, the best-move scan, the ranking of the
// worst-solved positions, the clicks on both grids, and the typed key
// sequence that switches statistics mode.

#include "frmKestrelux.h"

#include "BoardMarks.h"
#include "EventPump.h"
#include "FlexGrid.h"
#include "NumberText.h"
#include "PositionTableModel.h"
#include "Ranking.h"
#include "ScoreLines.h"
#include "StatsTable.h"
#include "SuiteChooser.h"
#include "SuiteFilterPanel.h"
#include "frmRecords.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace {
const QString kSortingCaption = QStringLiteral("SORTING... ");
constexpr int kReportMoveColumn = 2;
constexpr int kReportPositionColumn = 5;
} // namespace

void frmKestrelux::connectRecords()
{
    connect(m_view.cmdRecords, &QPushButton::clicked, this, &frmKestrelux::cmdRecords_Click);
    connect(m_view.cmdScanBM, &QPushButton::clicked, this, &frmKestrelux::cmdScanBM_Click);
    connect(m_view.cmdWorst, &QPushButton::clicked, this, &frmKestrelux::cmdWorst_Click);
    connect(m_view.Grid, &QAbstractItemView::clicked, this, &frmKestrelux::Grid_Click);
    connect(m_view.grdReport, &QAbstractItemView::clicked, this, &frmKestrelux::grdReport_Click);
}

bool frmKestrelux::tableIsForSuite() const
{
    return m_stats->BelongsTo(suiteName());
}

void frmKestrelux::cmdRecords_Click()
{
    kx::ScoresQuery query;
    query.suite = suiteName();
    query.statsMode = statsMode;
    query.levelLimit = kx::NumericValue(m_view.txtLivello->text());
    const QStringList log =
        kx::ReadLogLines(QDir(m_dataFolder).filePath(QLatin1String(kx::kLogFileName)));

    const QStringList records = kx::ScoreRecords(log, query);
    frmRecords view(this);
    view.ShowRecords(records, kx::kScoreKeyWidth);
    view.ShowProgress(kx::ScorePoints(records), query.suite);
    RunDialog(m_dialogRunner, view);
}

void frmKestrelux::SaveStats()
{
    const kx::Result<> saved = m_stats->Save(m_dataFolder);
    if (!saved)
        showMessage(saved.error());
}

bool frmKestrelux::SwitchStatsSuite()
{
    const kx::Result<> saved = m_stats->Save(m_dataFolder);
    if (saved)
        return true;
    // Loading the next suite would drop what could not be saved.
    const QString kept = m_stats->Suite();
    m_suites->setName(kept);
    showMessage(saved.error() + QLatin1Char('\n') +
                tr("%1 stays chosen, so its statistics are not lost.").arg(kept));
    return false;
}

void frmKestrelux::LoadStats()
{
    const QPointer<frmKestrelux> self(this);
    EventPump pump([this, self] { return !self || m_closing; });
    // Another suite chosen meanwhile has been taken care of by its own choice.
    const QString suite = suiteName();
    const StatsTable::Outcome outcome =
        m_stats->Load(m_dataFolder, suite, [&] { return pump() && suiteName() == suite; });
    if (!self || !outcome.finished)
        return;
    if (!outcome.error.isEmpty())
        showMessage(outcome.error);
    // The table's positions can be drawn at once, as far as the suite file
    // reaches; a table saved earlier needs no new scan, which would clear it.
    const qint32 lines = m_suite.Open(suitePath()) ? m_suite.size() : 0;
    m_suiteSize = qBound(0, qMin(outcome.positions, lines), kx::kMaxPositions);
    m_view.fraSuiteFilter->Refresh();
}

void frmKestrelux::Grid_Click()
{
    const int row = m_view.Grid->Row();
    if (row > 0)
        ShowPosition(row);
}

void frmKestrelux::grdReport_Click()
{
    if (sessionRunning())
        return;
    FlexGrid* report = m_view.grdReport;
    const double position =
        kx::NumericValue(report->TextMatrix(report->Row(), kReportPositionColumn));
    // The position comes up with the best move and the user's own marked.
    if (position > 0 && ShowPosition(kx::RoundToInt32(position))) {
        kx::MarkBestMove(*m_view.CBoard, m_shown.record());
        kx::MarkMoveText(*m_view.CBoard, report->TextMatrix(report->Row(), kReportMoveColumn),
                         kx::kUserMoveColor);
    }
}

void frmKestrelux::grdReport_KeyDown(qint16 KeyCode, [[maybe_unused]] qint16 Shift)
{
    if (m_stats->TypeKey(KeyCode)) {
        // Switched off, the table is saved now: closing saves it only in
        // statistics mode.
        if (statsMode)
            SaveStats();
        statsMode = !statsMode;
        ShowStatsControls(statsMode);
        FitWindowToMode();
        QApplication::beep();
    }
    m_view.ColourSideLabel(m_shown.blackToMove(), statsMode);
}

void frmKestrelux::cmdScanBM_Click()
{
    const QPointer<frmKestrelux> self(this);
    EventPump pump([this, self] { return !self || m_closing; });
    // A suite chosen meanwhile brings its own table; the scan then stops.
    const QString suite = suiteName();
    const StatsTable::Outcome outcome =
        m_stats->Scan(m_suite, suitePath(), suite, [&] { return pump() && suiteName() == suite; });
    if (!self || !outcome.finished)
        return;
    if (!outcome.error.isEmpty())
        showMessage(outcome.error);
    if (outcome.replaced)
        m_suiteSize = outcome.positions;
}

void frmKestrelux::cmdWorst_Click()
{
    kx::WorstRanking& worst = m_stats->Worst();
    if (worst.state() == kx::WorstRanking::State::Sorting)
        return; // a click while the ranking runs starts nothing
    if (worst.state() == kx::WorstRanking::State::NotRanked) {
        // Only positions the table holds are ranked.
        const qint32 count = qMin(m_suiteSize, m_stats->model().positions());
        if (count < 1) {
            showMessage(tr("The position table of %1 holds no positions to rank; scan the suite "
                           "with ScanBm first.")
                            .arg(suiteName()));
            return;
        }
        worst.Begin(m_stats->model().badness(count));

        // One caption per pass of the sort, as the ranking has always shown
        // its progress; events run only every few milliseconds.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const QPointer<frmKestrelux> self(this);
        EventPump pump([this, self] { return !self || m_closing; });
        bool stopped = false;
        for (qint32 pass = 1; pass <= worst.Passes() && !stopped; ++pass) {
            setWindowTitle(kSortingCaption + QString::number(pass));
            stopped = !pump();
        }
        QApplication::restoreOverrideCursor();
        if (!self)
            return;
        worst.Finish();
        setWindowTitle(QString());
        if (stopped)
            return;
    }
    const qint32 position = worst.Next();
    if (position > 0)
        ShowPosition(position);
}
