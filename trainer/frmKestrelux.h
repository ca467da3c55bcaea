#pragma once

#include "DialogRunner.h"
#include "EngineSettings.h"
#include "KestreluxView.h"
#include "MoveEntry.h"
#include "OutputWindow.h"
#include "Paths.h"
#include "RandomSource.h"
#include "Result.h"
#include "ShownPosition.h"
#include "Suite.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class AnalysisDriver;
class EngineCheck;
class ExternalLauncher;
class MoveTyping;
class SessionKeeper;
class SessionReport;
class StatsTable;
class SuiteChooser;

namespace kx {
class HistoryKeeper;
class TrainingSession;
struct Attempt;
struct EngineVerdict;
} // namespace kx

/*
 * The trainer's main window: the board, the position panel, the session
 * settings and report, and the buttons that drive a session. It builds its
 * elements (KestreluxView), connects them to the classes that do the work
 * (the suite, the position shown, the training session, the move entry, the
 * statistics table, the report, the analysis driver) and keeps the
 * handlers' names as short forwarders to them. Its handlers are split over a
 * few source files by subsystem (window and start-up, session flow and
 * clock, positions and moves, analysis, records).
 */
class frmKestrelux : public QWidget
{
    Q_OBJECT

public:
    explicit frmKestrelux(const QString& programFolder = kx::ProgramFolder(),
                          const QString& dataFolder = kx::DataFolder(), QWidget* parent = nullptr);
    ~frmKestrelux() override;

    /// Where messages go; a modal message box unless replaced (tests collect them).
    using MessageHandler = std::function<void(const QString& text)>;
    void setMessageHandler(MessageHandler handler);

    /// Asks which piece a pawn promotes to: 'Q', 'R', 'B' or 'N', or a null
    /// QChar when the user cancels. A menu at the square unless replaced.
    using PromotionChooser = MoveEntry::PromotionChooser;
    void setPromotionChooser(PromotionChooser chooser);

    /// Where modal dialogs run; exec() unless replaced (tests answer them).
    void setDialogRunner(DialogRunner runner);

    kx::RandomSource& randomSource() { return m_random; }
    QString programFolder() const { return m_programFolder; }
    QString dataFolder() const { return m_dataFolder; }
    /// The session, with its clock and totals.
    kx::TrainingSession& trainingSession() { return *m_session; }
    /// The position on the board, with the move entered on it.
    const kx::ShownPosition& shownPosition() const { return m_shown; }
    /// How many of the suite's positions are drawn from.
    qint32 suiteSize() const { return m_suiteSize; }
    /// The engine's check of missed moves.
    EngineCheck& engineCheck() { return *m_check; }

    // Window-wide switches.
    void EnableAll(bool f);
    void ShowStatsControls(bool f);
    void SetSuiteSize();

    // Session flow.
    void cmdNew_Click();
    /// Ends the running session now: the positions finished are reported and logged.
    void cmdEndSession_Click();
    /// Starts a session of the positions due for review.
    void cmdReview_Click();
    void cmdNext_Click();
    void cmbEPDFile_Click();
    void txtPos_DblClick();
    void txtFen_Click();
    void txtDifficolta_KeyDown(int keyCode);
    void txtPositionsForSession_Validate();
    void txtTimeForPosition_Validate();
    void cmdExit_Click();

    // The training clock.
    void tmrTime_Timer();

    // Positions.
    /// Shows position iShowP of the chosen suite; false (with a message) when it cannot.
    bool ShowPosition(qint32 iShowP);
    void CalcFen();
    QString BoardToFen() const;

    // Moves.
    void CBoard_Click(Pellomar::Column col, short row);
    void CmdSolution_Click();
    void cmdAnalyze_Click();

    // Engine analysis, settings and the external chess program.
    void cmdEngRestart_Click();
    void cmdStopEng_Click();
    void cmdSetEngine_Click();
    void cmdWB_Click();
    AnalysisDriver& analysisDriver();
    ExternalLauncher& externalLauncher();

    // Records and statistics.
    void cmdRecords_Click();
    void SaveStats();
    void LoadStats();
    void Grid_Click();
    void grdReport_Click();
    void grdReport_KeyDown(qint16 KeyCode, qint16 Shift);
    void cmdScanBM_Click();
    void cmdWorst_Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectElements();
    void connectSession();
    void connectRecords();
    void connectAnalysis();
    void Form_Load();
    void chkTimer_Click();
    void layOut(int boardSide);
    /// Sets the height statistics mode needs and runs the resize layout.
    void FitWindowToMode();

    void showMessage(const QString& text);
    /// Kestrelux.ini: in the program folder while it holds one that can be
    /// rewritten, else in the data folder.
    QString settingsFile() const;
    /// The chosen suite's file.
    QString suitePath() const;
    QString suiteName() const;
    bool sessionRunning() const;
    /// Opens the chosen suite; a failure says why no position can be drawn from it.
    kx::Result<> suiteReady();
    /// Tells, once for each reading of the suite, of lines that are no positions.
    void noticeSkippedLines();
    /// Start and Review: a session of positions drawn at random, or of those due.
    void startSession(bool review);
    /// Next's draw and show; false when no position could be shown.
    bool NextPosition();
    /// Keeps the suite and the two session settings for the next start.
    void keepChoices();

    // The session's reports.
    void attemptJudged(const kx::Attempt& attempt);
    /// The engine's verdict on a miss: on its row, and counted when so chosen.
    void engineVerdict(const kx::Attempt& missed, const kx::EngineVerdict& verdict);
    void showTotals();
    /// The position box: the whole record, or during a training session the
    /// record without its solution.
    void showRecord();
    void EndSession();

    // Engine analysis.
    void StartAnalysis(const QString& fen, const QString& bestMoves);
    /// The Stop action: output to the clipboard, output window closed, engine
    /// ended, button reset, and with withAuto the next position when "Auto" is ticked.
    void StopAnalysis(bool withAuto);
    /// The first part of Stop: output to the clipboard, window closed, engine ended.
    void leaveAnalysis();
    /// The clock's analysis of the position just finished.
    void analyseFinishedPosition();

    // Records and statistics.
    /// Saves the table of the suite being left; false, with the suite box back
    /// on that suite, when it cannot be saved.
    bool SwitchStatsSuite();
    /// The table holds the statistics of the suite now chosen.
    bool tableIsForSuite() const;

    QString m_programFolder;
    QString m_dataFolder;
    MessageHandler m_messageHandler;
    DialogRunner m_dialogRunner;
    kx::RandomSource m_random;
    kx::Suite m_suite;
    kx::ShownPosition m_shown;
    KestreluxView m_view;
    kx::TrainingSession* m_session = nullptr; // owned as a child
    MoveEntry* m_moves = nullptr;             // owned as a child
    SuiteChooser* m_suites = nullptr;         // owned as a child
    MoveTyping* m_typing = nullptr;           // owned as a child
    StatsTable* m_stats = nullptr;            // owned as a child
    kx::HistoryKeeper* m_history = nullptr;   // owned as a child
    EngineCheck* m_check = nullptr;           // owned as a child
    std::unique_ptr<SessionReport> m_report;
    std::unique_ptr<AnalysisDriver> m_analysis;
    OutputWindow m_output{this};
    std::unique_ptr<ExternalLauncher> m_launcher;
    // Session reports the log could not take.
    std::unique_ptr<SessionKeeper> m_sessionKeeper;

    kx::EngineSettings engineSettings; // the engine, its arguments and protocol
    bool statsMode = false;
    bool defaultEngineFound = false; // the external program's command line depends on it
    qint32 m_suiteSize = 0;          // positions drawn from
    bool m_closing = false;
    bool m_inLayout = false;
};
