// Records and statistics: the scores window over the session log, the
// position table's statistics file, the best-move scan, the ranking of the
// worst-solved positions, the clicks on both grids, and the typed key
// sequence that switches statistics mode.

#include "frmKestrelux.h"

#include "BoardMarks.h"
#include "EventPump.h"
#include "FlexGrid.h"
#include "NumberText.h"
#include "PositionTable.h"
#include "Ranking.h"
#include "ScoreLines.h"
#include "StatsTable.h"
#include "SuiteFile.h"
#include "frmRecords.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <limits>

namespace {
const QString kSortingCaption = QStringLiteral("SORTING... ");
const QColor kStatsModeTextColor(255, 0, 0);
constexpr int kReportMoveColumn = 2;
constexpr int kReportPositionColumn = 5;
constexpr qint32 kMaxPositions = std::numeric_limits<qint16>::max();
} // namespace

void frmKestrelux::connectRecords()
{
    connect(cmdRecords, &QPushButton::clicked, this, &frmKestrelux::cmdRecords_Click);
    connect(cmdScanBM, &QPushButton::clicked, this, &frmKestrelux::cmdScanBM_Click);
    connect(cmdWorst, &QPushButton::clicked, this, &frmKestrelux::cmdWorst_Click);
    connect(Grid, &QAbstractItemView::clicked, this, &frmKestrelux::Grid_Click);
    connect(grdReport, &QAbstractItemView::clicked, this, &frmKestrelux::grdReport_Click);
}

bool frmKestrelux::tableIsForSuite() const
{
    return m_stats->BelongsTo(cmbEPDFile->currentText());
}

void frmKestrelux::cmdRecords_Click()
{
    kx::ScoresQuery query;
    query.suite = cmbEPDFile->currentText();
    query.statsMode = statsMode;
    query.levelLimit = kx::NumericValue(txtLivello->text());
    const QStringList log =
        kx::ReadLogLines(QDir(m_dataFolder).filePath(QLatin1String(kx::kLogFileName)));

    frmRecords view(this);
    view.ShowRecords(kx::ScoreRecords(log, query), kx::kScoreKeyWidth);
    RunDialog(m_dialogRunner, view);
}

void frmKestrelux::SaveStats()
{
    StorePanelStats();
    QString error;
    if (!m_stats->Save(m_dataFolder, &error))
        showMessage(error);
}

bool frmKestrelux::SwitchStatsSuite()
{
    StorePanelStats();
    QString error;
    if (m_stats->Save(m_dataFolder, &error))
        return true;
    // Loading the next suite would drop what could not be saved.
    const QString kept = m_stats->Suite();
    cmbEPDFile->setEditText(kept);
    showMessage(error + QLatin1Char('\n') +
                tr("%1 stays chosen, so its statistics are not lost.").arg(kept));
    return false;
}

void frmKestrelux::LoadStats()
{
    const QPointer<frmKestrelux> self(this);
    EventPump pump([this, self] { return !self || m_closing; });
    // Another suite chosen meanwhile has been taken care of by its own choice.
    const QString suite = cmbEPDFile->currentText();
    const StatsTable::Outcome outcome = m_stats->Load(
        m_dataFolder, suite, [&] { return pump() && cmbEPDFile->currentText() == suite; });
    if (!self || !outcome.finished)
        return;
    if (!outcome.error.isEmpty())
        showMessage(outcome.error);
    // The table's positions can be drawn at once, as far as the suite file
    // reaches; a table saved earlier needs no new scan, which would clear it.
    const qint32 lines = qMax(0, kx::CountSuiteLines(suitePath()));
    suiteSize = static_cast<qint16>(qBound(0, qMin(outcome.positions, lines), kMaxPositions));
}

void frmKestrelux::Grid_Click()
{
    const int row = Grid->Row();
    if (row > 0)
        ShowPosition(static_cast<qint16>(qMin(row, kMaxPositions)));
}

void frmKestrelux::grdReport_Click()
{
    if (sessionRunning())
        return;
    const double position =
        kx::NumericValue(grdReport->TextMatrix(grdReport->Row(), kReportPositionColumn));
    // The position comes up with the best move and the user's own marked.
    if (position > 0 && ShowPosition(kx::RoundToInt16(position))) {
        kx::MarkBestMove(*CBoard, txtFen->text());
        kx::MarkMoveText(*CBoard, grdReport->TextMatrix(grdReport->Row(), kReportMoveColumn),
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
    // Red marks statistics mode; otherwise the side's own colour, so the label
    // stays readable when Black is to move.
    QColor text = lblSideToMove->text() == QLatin1String("black") ? Qt::white : Qt::black;
    if (statsMode)
        text = kStatsModeTextColor;
    QPalette palette = lblSideToMove->palette();
    palette.setColor(QPalette::WindowText, text);
    lblSideToMove->setPalette(palette);
}

void frmKestrelux::cmdScanBM_Click()
{
    const QPointer<frmKestrelux> self(this);
    EventPump pump([this, self] { return !self || m_closing; });
    // A suite chosen meanwhile brings its own table; the scan then stops.
    const QString suite = cmbEPDFile->currentText();
    const StatsTable::Outcome outcome = m_stats->Scan(
        suitePath(), suite, [&] { return pump() && cmbEPDFile->currentText() == suite; });
    if (!self || !outcome.finished)
        return;
    if (!outcome.error.isEmpty())
        showMessage(outcome.error);
    if (outcome.replaced)
        suiteSize = static_cast<qint16>(outcome.positions);
}

void frmKestrelux::cmdWorst_Click()
{
    kx::WorstRanking& worst = m_stats->Worst();
    if (worst.state() == kx::WorstRanking::State::Sorting)
        return; // a click while the ranking runs starts nothing
    if (worst.state() == kx::WorstRanking::State::NotRanked) {
        // Only positions the table holds are ranked.
        const qint32 count = qMin<qint32>(suiteSize, Grid->Rows() - 1);
        if (count < 1) {
            showMessage(tr("The position table of %1 holds no positions to rank; scan the suite "
                           "with ScanBm first.")
                            .arg(cmbEPDFile->currentText()));
            return;
        }
        QList<qint16> scores(count);
        for (qint32 n = 1; n <= count; ++n) {
            auto cell = [this, n](int column) {
                return kx::NumericValue(Grid->TextMatrix(n, column));
            };
            scores[n - 1] = kx::Badness(cell(kx::TableCol::Attempts), cell(kx::TableCol::Solved),
                                        cell(kx::TableCol::Difficulty));
        }
        worst.Begin(scores);

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
        ShowPosition(static_cast<qint16>(position));
}
