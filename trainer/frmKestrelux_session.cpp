// Session flow: Start, Next with the level filter, choosing a suite, the
// position panel's handlers, the checks on the two session settings, and
// what the window shows of each finished attempt and of the session's end.

#include "frmKestrelux.h"

#include "EventPump.h"
#include "FlexGrid.h"
#include "LastChoices.h"
#include "NqCBoard.h"
#include "NumberText.h"
#include "PositionTableModel.h"
#include "SessionKeeper.h"
#include "SessionReport.h"
#include "StatsKeys.h"
#include "StatsTable.h"
#include "SuiteFilterPanel.h"
#include "TrainingSession.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

namespace {

const QString kDefaultPositions = QStringLiteral("10");
const QString kDefaultSeconds = QStringLiteral("50");
const QString kAnalysedMessage = QStringLiteral("Gia analizzato: non contato");

// A setting box holds a number when its whole text (blanks aside) is one.
bool isNumber(const QString& text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    if (!ok)
        QLocale().toDouble(text.trimmed(), &ok);
    return ok;
}

} // namespace

void frmKestrelux::connectSession()
{
    connect(m_session, &kx::TrainingSession::clockTicked, this, [this](double elapsed) {
        m_view.lblTime->setText(kx::NumberToText(kx::RoundToInt32(elapsed)));
    });
    connect(m_session, &kx::TrainingSession::attemptJudged, this, &frmKestrelux::attemptJudged);
    connect(m_session, &kx::TrainingSession::nextPositionWanted, this, [this] {
        // Should the next position fail to come up (the suite file gone),
        // the session ends here rather than stay locked without a clock.
        if (!NextPosition())
            m_session->Finish();
    });
    connect(m_session, &kx::TrainingSession::sessionEnded, this, &frmKestrelux::EndSession);
}

kx::Result<> frmKestrelux::suiteReady()
{
    const QString path = suitePath();
    if (const kx::Result<> opened = m_suite.Open(path); !opened) {
        // A file that is there says in its own words why it cannot be used.
        if (QFileInfo(path).isReadable())
            return opened;
        return kx::Fail(
            tr("The suite file %1 cannot be read.\nChoose another suite, or put the file in %2.")
                .arg(QFileInfo(path).fileName(), QFileInfo(path).absolutePath()));
    }
    noticeSkippedLines();
    return m_suite.CanDraw(m_suiteSize);
}

void frmKestrelux::noticeSkippedLines()
{
    const QString notice = m_suite.TakeSkippedNotice();
    if (!notice.isEmpty())
        showMessage(notice);
}

void frmKestrelux::cmdNew_Click()
{
    // Settings typed but not yet left are checked before the session locks them.
    txtPositionsForSession_Validate();
    txtTimeForPosition_Validate();
    const kx::Result<> ready = suiteReady();
    if (!ready) {
        showMessage(ready.error());
        return;
    }

    keepChoices();

    m_random.SeedFromClock();
    if (!NextPosition())
        return; // nothing could be shown; the message has been given

    m_session->Start(kx::RoundToInt32(kx::NumericValue(m_view.txtPositionsForSession->text())));
    m_view.txtCommento->hide();
    m_view.Grid->hide();
    m_view.chkTimer->setChecked(true);
    m_report->Reset();
    showTotals();
    // The whole session can be played from the keyboard: moves are typed on the board.
    m_view.CBoard->setFocus();
}

void frmKestrelux::keepChoices()
{
    // A convenience: when the file cannot be written the next start has the defaults.
    kx::LastChoices choices;
    choices.suite = suiteName();
    choices.positions = m_view.txtPositionsForSession->text();
    choices.seconds = m_view.txtTimeForPosition->text();
    m_view.fraSuiteFilter->Keep(choices);
    (void)kx::WriteLastChoices(m_dataFolder, choices);
}

void frmKestrelux::cmdNext_Click()
{
    NextPosition();
}

bool frmKestrelux::NextPosition()
{
    const kx::Result<> ready = suiteReady();
    if (!ready) {
        showMessage(ready.error());
        return false;
    }
    if (!statsMode) {
        // suiteReady has seen a record among the positions drawn from.
        const std::optional<qint32> p = m_suite.Draw(m_random, m_suiteSize);
        return p && ShowPosition(*p);
    }

    const QString limitText = m_view.txtLivello->text();
    m_session->setLevelTag(QStringLiteral("[Liv<=") + limitText + QStringLiteral("]"));
    const PositionTableModel& table = m_stats->model();
    // The limit is read at each draw, and events run between draws, so the
    // window stays closable and the limit can be raised meanwhile.
    const QPointer<frmKestrelux> self(this);
    const std::optional<qint32> p = m_suite.Draw(
        m_random, m_suiteSize,
        [&](qint32 n) { return table.level(n) <= kx::NumericValue(m_view.txtLivello->text()); },
        [&] {
            QCoreApplication::processEvents();
            return self && !m_closing;
        });
    if (!self || m_closing)
        return false;
    if (!p) {
        showMessage(tr("No position of %1 has a level of %2 or less.").arg(suiteName(), limitText));
        return false;
    }
    return ShowPosition(*p);
}

void frmKestrelux::cmbEPDFile_Click()
{
    if (sessionRunning())
        return;
    if (statsMode && !SwitchStatsSuite())
        return;
    m_shown.LeaveSuite();
    m_view.txtPos->clear();
    m_view.txtCommento->clear();
    if (statsMode)
        LoadStats();
    else
        SetSuiteSize();
    noticeSkippedLines();
}

void frmKestrelux::txtPos_DblClick()
{
    if (sessionRunning())
        return;
    ShowPosition(kx::RoundToInt32(kx::NumericValue(m_view.txtPos->text())));
}

void frmKestrelux::txtFen_Click()
{
    if (sessionRunning())
        return;
    showMessage(m_view.txtFen->text());
}

void frmKestrelux::txtDifficolta_KeyDown(int keyCode)
{
    if (keyCode == kx::kVkDown)
        cmdNext_Click();
}

void frmKestrelux::txtPositionsForSession_Validate()
{
    QLineEdit* box = m_view.txtPositionsForSession;
    const QString text = box->text();
    const double value = kx::NumericValue(text);
    if (value > 1000 || value < 10 || !isNumber(text)) {
        box->setText(kDefaultPositions);
        return;
    }
    // A session ends when its count of positions is reached, so the count is whole.
    if (value != std::floor(value))
        box->setText(kx::NumberToText(kx::RoundToInt32(value)));
}

void frmKestrelux::txtTimeForPosition_Validate()
{
    QLineEdit* box = m_view.txtTimeForPosition;
    const QString text = box->text();
    const double value = kx::NumericValue(text);
    if (value > 1000 || value == 0 || !isNumber(text))
        box->setText(kDefaultSeconds);
}

void frmKestrelux::tmrTime_Timer()
{
    m_session->Tick();
}

void frmKestrelux::showTotals()
{
    const kx::SessionTally& tally = m_session->tally();
    m_view.lblPunti->setText(tally.pointsText());
    m_view.lblTotTime->setText(tally.secondsUsedText());
    m_view.lblTotSaved->setText(tally.savedText());
    m_view.lblSolved->setText(tally.solvedText());
}

void frmKestrelux::attemptJudged(const kx::Attempt& attempt)
{
    m_stats->CountAttempt(attempt.solved);
    QApplication::clipboard()->setText(attempt.record);
    if (attempt.matched && !attempt.solved)
        showMessage(kAnalysedMessage);
    // A half-entered move is dropped with its mark.
    m_moves->DropPick();
    if (attempt.solved)
        QApplication::beep();
    showTotals();
    m_report->AddAttempt(attempt);
    if (m_view.chkAnalyze->isChecked() && !m_session->positionAnalysed())
        analyseFinishedPosition();
}

void frmKestrelux::EndSession()
{
    // A session cut short by closing the window is abandoned, not logged.
    if (m_closing)
        return;
    const kx::SessionTally& tally = m_session->tally();
    m_view.lblPunti->setText(tally.finalPointsText());
    kx::SummaryLineInput summary = tally.summary();
    summary.timeForPosition = m_view.txtTimeForPosition->text();
    summary.when = QDateTime::currentDateTime();
    summary.suiteName = suiteName();
    summary.levelTag = m_session->levelTag();
    m_report->AddSummary(kx::SummaryLine(summary));
    m_view.chkTimer->setChecked(false);
    m_sessionKeeper->Finished(m_report->Text());
}
