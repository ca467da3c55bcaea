#pragma once

#include <QList>

namespace kx {
struct LastChoices;
}

class FlexGrid;
class SuiteFilterPanel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace Ostravin {
class NqIEngine;
}
namespace Pellomar {
class NqCBoard;
}

/*
 * The main window's elements, the way a generated form class holds them:
 * created once as children of the window, each with the objectName the rest
 * of the program and the tests know it by, placed on the window's twips
 * layout, and put in reading order for Tab. The window connects them; this
 * struct knows only where things go.
 */
struct KestreluxView
{
    /// Creates every element as a child of window, with its caption.
    void Create(QWidget* window);
    /// Places everything for a board of that side (twips): the panel keeps
    /// its places from the board's right edge, the statistics area from its
    /// bottom, below the window's bottom edge outside statistics mode.
    void Place(int boardSide, bool statsMode, int windowHeight);
    /// The report grid fills the column beside the board down to its bottom,
    /// with the typed move's line below it.
    void LayoutReport(bool statsMode, int windowWidth, QWidget* typedMove);
    /// Shows or hides the statistics-mode elements.
    void ShowStatsControls(bool f);
    /// Locks the settings and session buttons (f false) while a session runs;
    /// End is enabled just then.
    void EnableAll(bool f);
    /// The clock's box: the whole seconds used, in a warning colour in the
    /// position's last seconds.
    void ShowClock(double elapsed, double allowed);
    /// The line under the score saying what the last attempt came to.
    void ShowVerdict(const QString& text, bool good);
    /// The side label's caption and colours.
    void ShowSideToMove(bool black);
    /// The three boxes of how answers are judged, as chosen last, and back.
    void ShowJudging(const kx::LastChoices& choices);
    void TakeJudging(kx::LastChoices& choices) const;
    /// The side label's colours; red text marks statistics mode.
    void ColourSideLabel(bool black, bool statsModeMark);

    /// The board side (twips) at most as large as the room left beside the
    /// panel, never smaller than the smallest board, in whole pixels.
    static int FitBoardSide(int wanted, int roomWidth);
    /// The window's width (twips) for a board of that side.
    static int WindowWidthFor(int boardSide);
    /// Fits window to its board after a resize and gives the board's side
    /// (twips): the board takes the height the window has, within the room
    /// the screen (or a maximised window) has beside the panel; the window is
    /// never too narrow for the panel, and outside statistics mode it ends
    /// just below the board.
    static int FitWindow(QWidget& window, bool statsMode);

    static constexpr int kBoardMargin = 120;      // left of and above the board
    static constexpr int kMinBoardSide = 5760;    // the smallest board: 42-pixel squares
    static constexpr int kBelowBoard = 480;       // a fitted window ends this far below the board
    static constexpr int kStatsBelowBoard = 2820; // room kept below the board for statistics
    static constexpr int kStatsWindowHeight = 8700;
    static constexpr double kScreenShare = 0.6; // of the screen's height, for the board at start

    Pellomar::NqCBoard* CBoard = nullptr;
    Ostravin::NqIEngine* ENGINE = nullptr;
    FlexGrid* grdReport = nullptr;
    FlexGrid* Grid = nullptr;
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
    QPushButton* cmdEndSession = nullptr;
    QPushButton* cmdReview = nullptr;
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
    QCheckBox* chkWholeLine = nullptr;
    QCheckBox* chkEngineCheck = nullptr;
    QCheckBox* chkCountEqual = nullptr;
    QComboBox* cmbEPDFile = nullptr;
    SuiteFilterPanel* fraSuiteFilter = nullptr; // the suite's count and filter
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
    QLabel* lblVerdict = nullptr;

private:
    void orderTabs(QWidget* window);
    /// Start, End and the rest of the row of session buttons, left to right.
    QList<QPushButton*> sessionButtons() const;
};
