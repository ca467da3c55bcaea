// Session flow: Start, Next with the level filter, choosing a suite, the
// position panel's handlers, the checks on the two session settings, and
// what the window shows of each finished attempt and of the session's end.

#include "frmKestrelux.h"

#include "EngineCheck.h"
#include "Epd.h"
#include "EventPump.h"
#include "FlexGrid.h"
#include "HistoryKeeper.h"
#include "LastChoices.h"
#include "NqCBoard.h"
#include "NumberText.h"
#include "PositionTableModel.h"
#include "ScoreLines.h"
#include "SessionKeeper.h"
#include "SessionReport.h"
#include "SessionSettings.h"
#include "StatsKeys.h"
#include "StatsTable.h"
#include "SuiteChooser.h"
#include "SuiteFilterPanel.h"
#include "TrainingSession.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

namespace {

const QString kAnalysedMessage = QStringLiteral("Gia analizzato: non contato");

} // namespace

void frmKestrelux::connectSession()
{
    connect(m_session, &kx::TrainingSession::clockTicked, this,
            [this](double elapsed) { m_view.ShowClock(elapsed, m_session->timePerPosition()); });
    connect(m_session, &kx::TrainingSession::attemptJudged, this, &frmKestrelux::attemptJudged);
    connect(m_session, &kx::TrainingSession::nextPositionWanted, this, [this] {
        // Should the next position fail to come up (the suite file gone),
        // the session ends here rather than stay locked without a clock.
        if (!NextPosition())
            m_session->Finish();
    });
    connect(m_session, &kx::TrainingSession::sessionEnded, this, &frmKestrelux::EndSession);
    connect(m_history, &kx::HistoryKeeper::saveFailed, this, &frmKestrelux::showMessage);
    connect(m_session, &kx::TrainingSession::replyPlayed, m_moves, &MoveEntry::ShowReply);
    connect(m_check, &EngineCheck::verdictReady, this, &frmKestrelux::engineVerdict);
    connect(m_session, &kx::TrainingSession::attemptRevised, this, [this](const kx::Attempt& a) {
        m_report->ReviseAttempt(a);
        m_report->ShowBox(a.number, m_history->BoxNote(a)); // counted again by the keeper
        m_stats->CountLateSolve(a.position);
        showTotals();
    });
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
    startSession(false);
}

void frmKestrelux::cmdReview_Click()
{
    startSession(true);
}

void frmKestrelux::startSession(bool review)
{
    // Settings typed but not yet left are checked before the session locks them.
    txtPositionsForSession_Validate();
    txtTimeForPosition_Validate();
    const kx::Result<> ready = suiteReady();
    if (!ready) {
        showMessage(ready.error());
        return;
    }
    m_history->UseSuite(suiteName());
    qint32 positions = kx::RoundToInt32(kx::NumericValue(m_view.txtPositionsForSession->text()));
    if (review) {
        positions = m_history->BeginReview(m_suite, positions);
        if (positions == 0) {
            showMessage(tr("Nothing to review in %1").arg(suiteName()));
            return;
        }
    }

    keepChoices();

    m_random.SeedFromClock();
    m_check->Clear(); // the last session's checks have no rows left to go to
    m_session->setWholeLine(m_view.chkWholeLine->isChecked());
    // Running before the first position comes up, so its answer is hidden.
    m_session->Start(positions);
    if (!NextPosition()) {
        m_session->Abandon(); // nothing could be shown; the message has been given
        m_history->review().Close();
        return;
    }
    m_view.ShowVerdict(QString(), true);
    m_view.txtCommento->hide();
    m_view.Grid->hide();
    m_view.chkTimer->setChecked(true);
    m_report->Reset();
    showTotals();
    // The whole session can be played from the keyboard: moves are typed on the board.
    m_view.CBoard->setFocus();
}

void frmKestrelux::cmdEndSession_Click()
{
    m_session->Finish();
}

void frmKestrelux::keyPressEvent(QKeyEvent* event)
{
    // Escape ends a session, unless it clears a move being typed (the move
    // line takes it first).
    if (event->key() == Qt::Key_Escape && sessionRunning()) {
        cmdEndSession_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmKestrelux::showRecord()
{
    const bool hidden = sessionRunning() && !statsMode;
    m_view.txtFen->setText(hidden ? kx::WithoutSolution(m_shown.record()) : m_shown.record());
    m_view.txtFen->setCursorPosition(0);
}

void frmKestrelux::keepChoices()
{
    // A convenience: when the file cannot be written the next start has the defaults.
    kx::LastChoices choices;
    choices.suite = m_suites->Remembered();
    choices.positions = m_view.txtPositionsForSession->text();
    choices.seconds = m_view.txtTimeForPosition->text();
    m_view.TakeJudging(choices);
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
    if (m_history->review().isActive()) {
        const std::optional<qint32> p = m_history->review().Next();
        return p && ShowPosition(*p);
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
    if (const QString kept = kx::CheckedPositions(box->text()); kept != box->text())
        box->setText(kept);
}

void frmKestrelux::txtTimeForPosition_Validate()
{
    QLineEdit* box = m_view.txtTimeForPosition;
    if (const QString kept = kx::CheckedSeconds(box->text()); kept != box->text())
        box->setText(kept);
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
    m_view.ShowVerdict(attempt.verdict(), attempt.solved);
    m_report->ShowBox(attempt.number, m_history->BoxNote(attempt));
    if (m_view.chkEngineCheck->isChecked() &&
        m_check->Check(attempt, engineSettings, kx::NumericValue(m_view.txtAnalyzeTime->text())))
        m_report->AddEngineWord(attempt, kx::EngineVerdict::pending());
    if (m_view.chkAnalyze->isChecked() && !m_session->positionAnalysed())
        analyseFinishedPosition();
}

void frmKestrelux::engineVerdict(const kx::Attempt& missed, const kx::EngineVerdict& verdict)
{
    m_report->AddEngineWord(missed, verdict);
    // In a session not yet reported, the last attempt's line says it too, and it may count.
    const bool open = m_view.chkTimer->isChecked(), good = verdict.isEqual();
    if (open && m_session->tally().attempts() == missed.number)
        m_view.ShowVerdict(missed.verdict() + tr(" - engine: ") + verdict.text, good);
    if (open && good && m_view.chkCountEqual->isChecked())
        m_session->CountAsSolved(missed);
}

void frmKestrelux::EndSession()
{
    // A session cut short by closing the window is abandoned, not logged.
    if (m_closing)
        return;
    // An equal move may still count: the report waits for the engine's verdicts.
    if (m_view.chkCountEqual->isChecked() && m_check->busy()) {
        m_view.ShowVerdict(tr("Waiting for the engine's verdicts..."), true);
        connect(m_check, &EngineCheck::idle, this, &frmKestrelux::EndSession,
                Qt::SingleShotConnection);
        return;
    }
    const kx::SessionTally& tally = m_session->tally();
    m_view.chkTimer->setChecked(false);
    m_moves->DropPick();
    showRecord();
    if (tally.attempts() == 0) {
        // Ended before a position was finished: there is nothing to log.
        m_view.ShowVerdict(tally.verdict(false), false);
        return;
    }
    m_view.lblPunti->setText(tally.finalPointsText());
    kx::SummaryLineInput summary = tally.summary();
    summary.timeForPosition = m_view.txtTimeForPosition->text();
    summary.when = QDateTime::currentDateTime();
    summary.suiteName = suiteName();
    // A review is marked where a level tag goes, so the scores window tells it apart.
    summary.levelTag =
        m_history->review().isActive() ? QLatin1String(kx::kReviewMark) : m_session->levelTag();
    m_history->review().Close();
    m_report->AddSummary(kx::SummaryLine(summary));
    m_sessionKeeper->Finished(m_report->Text());
    m_view.ShowVerdict(tally.verdict(m_sessionKeeper->Kept().isEmpty()), true);
}
