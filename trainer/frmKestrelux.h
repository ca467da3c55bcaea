#pragma once

#include "DialogRunner.h"
#include "EngineSettings.h"
#include "Epd.h"
#include "NqCBoard.h"
#include "OutputWindow.h"
#include "Paths.h"
#include "RandomSource.h"

#include <QChar>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class AnalysisDriver;
class ExternalLauncher;
class FlexGrid;
class MoveTyping;
class SessionKeeper;
class StatsTable;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace Ostravin {
class NqIEngine;
}

/*
 * The trainer's main window: the board, the position panel, the session
 * settings and report, and the buttons that drive a session. Its handlers
 * share the window's state below; they are split over several source files
 * by subsystem (window and start-up, session flow and clock, positions, moves).
 * Elements carry the names other code and tests find them by (objectName).
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
    using PromotionChooser = std::function<QChar(Pellomar::Column col, short row)>;
    void setPromotionChooser(PromotionChooser chooser);

    /// Where modal dialogs run; exec() unless replaced (tests answer them).
    void setDialogRunner(DialogRunner runner);

    kx::RandomSource& randomSource() { return m_random; }
    QString programFolder() const { return m_programFolder; }
    QString dataFolder() const { return m_dataFolder; }

    // Window-wide switches and helpers.
    void EnableAll(bool f);
    void ShowStatsControls(bool f);
    void SetSuiteSize();
    /// Lets window events run for n clock seconds (the first one partial); n ends at 0.
    static void WaitSeconds(qint32& n);

    // Session flow.
    void cmdNew_Click();
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
    bool ShowPosition(qint16 iShowP);
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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createElements();
    /// Places everything for a board of that side (twips): the panel keeps
    /// its places from the board's right edge, the statistics area from its
    /// bottom.
    void placeElements(int boardSide);
    /// The board's side (twips) for the window's size: the height it leaves,
    /// within the room the screen (or a maximised window) has beside the panel.
    int boardSideForWindow() const;
    /// Tab goes in reading order: board, settings, buttons, then the grids.
    void orderTabs();
    void connectElements();
    void Form_Load();
    void chkTimer_Click();
    void LayoutReport();

    void showMessage(const QString& text);
    /// Kestrelux.ini: in the program folder while it holds one that can be
    /// rewritten, else in the data folder.
    QString settingsFile() const;
    /// The chosen suite's file, looked up over the suite folders; in the data
    /// folder, where a user adds suites, when no folder holds it.
    QString suitePath() const;
    bool sessionRunning() const;
    /// True when a position can be drawn from the chosen suite, else false
    /// with why; holdsRecord, when given, gets which of its lines hold one.
    bool suiteReady(QString* why, QList<bool>* holdsRecord = nullptr) const;
    /// Next's draw and show; false when no position could be shown.
    bool NextPosition();

    // Move entry.
    /// Finishes the move from the picked square; promotion is the piece
    /// letter when already known, else the user is asked. False when no move
    /// was made.
    bool completeMove(Pellomar::Column col, short row, QChar promotion = QChar());
    /// Makes a typed move as two clicks would; empty when made, else why not.
    QString makeTypedMove(const QString& text);
    void moveRookWhenCastling(Pellomar::Column fromCol, short fromRow, Pellomar::Column toCol,
                              Pellomar::Material piece);
    void removePawnTakenEnPassant(Pellomar::Column fromCol, short fromRow, Pellomar::Column toCol,
                                  short row, Pellomar::Material piece, Pellomar::Material target);
    void flipSideToMove();
    void setSideToMove(bool black);

    // Session report and log.
    void AddReportLine(const QString& line, int lineBreaks);
    void WriteReportGridRow(bool solved, double positionPoints, double n,
                            const QString& solutionText);
    void EndSession();
    /// Keeps the suite and the two session settings for the next start.
    void keepChoices();

    // Engine analysis.
    void StartAnalysis(const QString& fen, const QString& bestMoves);
    /// The Stop action: output to the clipboard, output window closed, engine
    /// ended, button reset, and with withAuto the next position when "Auto" is ticked.
    void StopAnalysis(bool withAuto);
    /// The first part of Stop: output to the clipboard, window closed, engine ended.
    void leaveAnalysis();
    /// The clock's analysis of the position just finished.
    void analyseFinishedPosition();
    void connectAnalysis();

    // Records and statistics.
    void connectRecords();
    /// Copies the panel's statistics into the table row of the position shown.
    void StorePanelStats();
    /// Saves the table of the suite being left; false, with the suite box back
    /// on that suite, when it cannot be saved.
    bool SwitchStatsSuite();
    /// The table holds the statistics of the suite now chosen.
    bool tableIsForSuite() const;
    /// The position panel's boxes with the table columns they show.
    QList<std::pair<QWidget*, int>> panelColumns() const;
    /// Sets the height statistics mode needs and runs the resize layout.
    void FitWindowToMode();

    QString m_programFolder;
    QString m_dataFolder;
    MessageHandler m_messageHandler;
    PromotionChooser m_promotionChooser;
    kx::RandomSource m_random;
    /// Counts shown positions, so a move finished after events ran (the
    /// promotion menu) is dropped when another position came up meanwhile.
    quint64 m_positionSerial = 0;
    bool m_closing = false;
    bool m_inLayout = false;
    DialogRunner m_dialogRunner;
    std::unique_ptr<AnalysisDriver> m_analysis;
    OutputWindow m_output{this};
    std::unique_ptr<ExternalLauncher> m_launcher;

    StatsTable* m_stats = nullptr;  // owned as a child
    MoveTyping* m_typing = nullptr; // owned as a child

    // Session reports the log could not take.
    std::unique_ptr<SessionKeeper> m_sessionKeeper;

    // Elements.
    Pellomar::NqCBoard* CBoard = nullptr;
    Ostravin::NqIEngine* ENGINE = nullptr;
    FlexGrid* grdReport = nullptr;
    FlexGrid* Grid = nullptr;
    QTimer* tmrTime = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdRecords = nullptr;
    QPushButton* cmdWorst = nullptr;
    QPushButton* cmdWB = nullptr;
    QPushButton* cmdEngRestart = nullptr;
    QPushButton* cmdStopEng = nullptr;
    QPushButton* cmdSetEngine = nullptr;
    QPushButton* cmdScanBM = nullptr;
    QPushButton* cmdAnalyze = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* CmdSolution = nullptr;
    QPushButton* cmdNext = nullptr;
    QLineEdit* txtAnalyzeTime = nullptr;
    QLineEdit* txtLivello = nullptr;
    QLineEdit* txtRisolto = nullptr;
    QLineEdit* txtUscito = nullptr;
    QLineEdit* txtDepth = nullptr;
    QLineEdit* txtValutazione = nullptr;
    QLineEdit* txtDifficolta = nullptr;
    QLineEdit* txtPositionsForSession = nullptr;
    QLineEdit* txtWaitTime = nullptr;
    QLineEdit* txtPos = nullptr;
    QLineEdit* txtTimeForPosition = nullptr;
    QLineEdit* txtFen = nullptr;
    QPlainTextEdit* txtReport = nullptr;
    QPlainTextEdit* txtCommento = nullptr;
    QCheckBox* chkTimer = nullptr;
    QCheckBox* chkAuto = nullptr;
    QCheckBox* mnEngineStart = nullptr;
    QCheckBox* chkAnalyze = nullptr;
    QComboBox* cmbEPDFile = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* lblSideToMove = nullptr;
    QLabel* lblPunti = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* lblLivello = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblPositionsForSession = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblTotSaved = nullptr;
    QLabel* lblSolved = nullptr;
    QLabel* lblTotTime = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblTimeForPosition = nullptr;
    QLabel* lblWaitTime = nullptr;

    // State shared by the handlers.
    // Engine program, arguments and protocol from the settings file.
    kx::EngineSettings engineSettings;
    bool statsMode = false; // statistics mode
    QString levelTag;       // "[Liv<=" + level limit + "]", statistics mode only
    double timePerPosition = 0.0;
    double elapsedTime = 0.0;
    QString userMove; // "" until the user moves: "Ng1f3", "Pe7e8=Q"
    qint32 solvedCount = 0;
    qint32 attemptCount = 0;
    qint32 currentPosition = 0; // 0 = none
    qint32 totalSaved = 0;
    bool defaultEngineFound = false;
    bool defaultEngineMissing = false;
    bool positionAnalysed = false; // opened elsewhere: a matching move does not count
    qint16 suiteSize = 0;
    qint16 selRow = 0; // rank of the square picked first; 0 = none
    kx::BestMoves bestMoves;
    qint32 moveCols[2] = {0, 0}; // files of the picked square and the target
    qint16 toRow = 0;

    friend struct KestreluxTestAccess;
};
