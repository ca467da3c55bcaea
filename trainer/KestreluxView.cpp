#include "KestreluxView.h"

#include "FlexGrid.h"
#include "LastChoices.h"
#include "NqCBoard.h"
#include "NqIEngine.h"
#include "NumberText.h"
#include "SuiteFilterPanel.h"
#include "Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <limits>

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("frmKestrelux", text);
}

// The panel keeps the places it has beside the smallest board, shifted with
// the board's right edge.
constexpr int kPanelLeft = 6000;      // the panel's left edge beside the smallest board
constexpr int kPanelGap = 120;        // from the board's right edge to the panel
constexpr int kPanelWidth = 7500;     // from the panel's left edge to the window's right edge
constexpr int kStatsAreaTop = 6060;   // the statistics area below the smallest board
constexpr int kTypedMoveHeight = 330; // the typed move's line below the report
constexpr int kButtonRowWidth = 7440; // the session buttons' row, as wide as the FEN box reaches
constexpr int kButtonGap = 60;
constexpr int kButtonPadding = 300; // twips around a button's caption
// Rows under the verdict: the suite's count and filter, then how answers are
// judged, then the report.
constexpr int kRowsTop = 2430;         // under the verdict line
constexpr int kStatsRowsTop = 3750;    // the same under the statistics rows
constexpr int kSuiteRowHeight = 390;   // the suite's row and the gap below it
constexpr int kJudgingRowHeight = 360; // the judging row and the gap below it
const QString kBlack = QStringLiteral("black");
const QString kWhite = QStringLiteral("WHITE");
const QColor kStatsModeTextColor(255, 0, 0);
constexpr double kWarningSeconds = 5; // the clock warns in a position's last seconds
const QColor kWarningBack(255, 220, 120);
const QColor kWarningText(150, 0, 0);
const QColor kRightText(0, 110, 0);
const QColor kWrongText(170, 0, 0);

// Places a widget at a rectangle given in twips. A caption never gets cut:
// a label whose text needs more room than its twips (our font is wider than
// the one the layout was drawn for) takes that room.
void place(QWidget* w, int left, int top, int width, int height)
{
    int pixels = width / kTwipsPerPixel;
    if (const auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap())
        pixels = qMax(pixels, label->sizeHint().width());
    w->setGeometry(left / kTwipsPerPixel, top / kTwipsPerPixel, pixels, height / kTwipsPerPixel);
}

int twips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

} // namespace

int KestreluxView::FitBoardSide(int wanted, int roomWidth)
{
    const int side = std::max(kMinBoardSide,
                              std::min(wanted, roomWidth - kBoardMargin - kPanelGap - kPanelWidth));
    return side / kTwipsPerPixel * kTwipsPerPixel;
}

int KestreluxView::WindowWidthFor(int boardSide)
{
    return kBoardMargin + boardSide + kPanelGap + kPanelWidth;
}

int KestreluxView::FitWindow(QWidget& window, bool statsMode)
{
    const int below = statsMode ? kStatsBelowBoard : kBelowBoard;
    // A window of its own size may grow to the screen's width (or keeps its
    // own, when wider); a maximised one has the width it has.
    const Qt::WindowStates state = window.windowState();
    const bool sized = !(state & (Qt::WindowMaximized | Qt::WindowFullScreen));
    const QScreen* s = window.screen();
    const int width = twips(window.width());
    const int room = sized && s ? twips(s->availableGeometry().width()) : width;
    const int side =
        FitBoardSide(twips(window.height()) - kBoardMargin - below, std::max(room, width));
    const QSize smallest(WindowWidthFor(side) / kTwipsPerPixel,
                         (kBoardMargin + kMinBoardSide + kBelowBoard) / kTwipsPerPixel);
    if (window.minimumSize() != smallest)
        window.setMinimumSize(smallest);
    if (!statsMode &&
        !(state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        const int fitted = (kBoardMargin + side + kBelowBoard) / kTwipsPerPixel;
        if (window.height() != fitted)
            window.resize(window.width(), fitted);
    }
    return side;
}

void KestreluxView::Create(QWidget* window)
{
    auto button = [window](QPushButton*& b, const char* name, const QString& caption) {
        b = new QPushButton(caption, window);
        b->setObjectName(QLatin1String(name));
    };
    auto label = [window](QLabel*& l, const char* name, const QString& caption) {
        l = new QLabel(caption, window);
        l->setObjectName(QLatin1String(name));
    };
    auto text = [window](QLineEdit*& t, const char* name, const QString& initial) {
        t = new QLineEdit(initial, window);
        t->setObjectName(QLatin1String(name));
    };
    auto check = [window](QCheckBox*& c, const char* name, const QString& caption) {
        c = new QCheckBox(caption, window);
        c->setObjectName(QLatin1String(name));
    };
    auto grid = [window](FlexGrid*& g, const char* name, int cols) {
        g = new FlexGrid(window);
        g->setObjectName(QLatin1String(name));
        g->setCols(cols);
    };
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto memo = [window, &fixed](QPlainTextEdit*& m, const char* name) {
        m = new QPlainTextEdit(window);
        m->setObjectName(QLatin1String(name));
        m->setFont(fixed); // report lines rely on character columns
        m->setLineWrapMode(QPlainTextEdit::NoWrap);
    };

    button(cmdExit, "cmdExit", tr("Exit"));
    text(txtAnalyzeTime, "txtAnalyzeTime", QStringLiteral("30"));
    button(cmdRecords, "cmdRecords", tr("Scores"));
    button(cmdWorst, "cmdWorst", tr("worst"));
    grid(grdReport, "grdReport", 10);
    text(txtLivello, "txtLivello", QStringLiteral("10"));
    memo(txtReport, "txtReport");
    button(cmdWB, "cmdWB", tr("wb"));
    check(chkTimer, "chkTimer", tr("Timer"));
    check(chkAuto, "chkAuto", tr("Auto"));
    button(cmdEngRestart, "cmdEngRestart", tr("restart"));
    button(cmdStopEng, "cmdStopEng", tr("StopEng"));
    check(mnEngineStart, "mnEngineStart", tr("engine start"));
    button(cmdSetEngine, "cmdSetEngine", tr("Set Eng"));
    ENGINE = new Ostravin::NqIEngine(window);
    ENGINE->setObjectName(QStringLiteral("ENGINE"));
    text(txtRisolto, "txtRisolto", QString());
    text(txtUscito, "txtUscito", QString());
    text(txtDepth, "txtDepth", QString());
    cmbEPDFile = new QComboBox(window);
    cmbEPDFile->setObjectName(QStringLiteral("cmbEPDFile"));
    cmbEPDFile->setEditable(true);
    cmbEPDFile->setInsertPolicy(QComboBox::NoInsert);
    cmbEPDFile->setEditText(QStringLiteral("WAC.EPD"));
    fraSuiteFilter = new SuiteFilterPanel(window);
    memo(txtCommento, "txtCommento");
    text(txtValutazione, "txtValutazione", QString());
    text(txtDifficolta, "txtDifficolta", QString());
    text(txtPositionsForSession, "txtPositionsForSession", QStringLiteral("10"));
    button(cmdScanBM, "cmdScanBM", tr("ScanBm"));
    grid(Grid, "Grid", 11);
    text(txtWaitTime, "txtWaitTime", QStringLiteral("1"));
    text(txtPos, "txtPos", QString());
    check(chkAnalyze, "chkAnalyze", tr("Analyze"));
    check(chkWholeLine, "chkWholeLine", tr("Whole line"));
    check(chkEngineCheck, "chkEngineCheck", tr("Engine check"));
    check(chkCountEqual, "chkCountEqual", tr("count equal moves as solved"));
    button(cmdAnalyze, "cmdAnalyze", tr("Analyze"));
    text(txtTimeForPosition, "txtTimeForPosition", QStringLiteral("50"));
    button(cmdNew, "cmdNew", tr("Start"));
    button(cmdReview, "cmdReview", tr("Review"));
    button(cmdEndSession, "cmdEndSession", tr("End"));
    cmdEndSession->setEnabled(false);
    button(CmdSolution, "CmdSolution", tr("Solution"));
    text(txtFen, "txtFen", QString());
    CBoard = new Pellomar::NqCBoard(window);
    CBoard->setObjectName(QStringLiteral("CBoard"));
    button(cmdNext, "cmdNext", tr("Next"));
    label(Label13, "Label13", QStringLiteral("  Side       To Move"));
    label(lblSideToMove, "lblSideToMove", QStringLiteral(" WHITE"));
    label(lblPunti, "lblPunti", QStringLiteral("0"));
    label(Label12, "Label12", tr("aTime"));
    label(lblLivello, "lblLivello", tr("Livello"));
    label(Label11, "Label11", tr("Risolto"));
    label(Label10, "Label10", tr("Uscito"));
    label(Label5, "Label5", tr("Commento"));
    label(Label9, "Label9", tr("Depth"));
    label(Label8, "Label8", tr("Pos/solv."));
    label(Label7, "Label7", tr("Elap. Sav"));
    label(Label6, "Label6", tr("Time"));
    label(Label4, "Label4", tr("Valutaz."));
    label(Label3, "Label3", tr("Difficolta"));
    label(lblPositionsForSession, "lblPositionsForSession", tr("Pos/Sess"));
    label(Label2, "Label2", tr("Fen"));
    label(Label1, "Label1", tr("Pos N"));
    label(lblTotSaved, "lblTotSaved", QStringLiteral("0"));
    label(lblSolved, "lblSolved", QStringLiteral("0"));
    label(lblTotTime, "lblTotTime", QStringLiteral("0"));
    label(lblTime, "lblTime", QStringLiteral("0"));
    label(lblTimeForPosition, "lblTimeForPosition", tr("Time/Pos"));
    label(lblWaitTime, "lblWaitTime", tr("Wait"));
    label(lblVerdict, "lblVerdict", QString());
    lblVerdict->setTextFormat(Qt::PlainText);

    // The board's saved properties as this window keeps them; the engine's
    // polling stays off until an analysis sets an interval.
    NqPropertyBag boardProps;
    boardProps.WriteProperty(QStringLiteral("coordinate"), true);
    boardProps.WriteProperty(QStringLiteral("enabled"), true);
    boardProps.WriteProperty(QStringLiteral("reverseboard"), false);
    boardProps.WriteProperty(QStringLiteral("squarestyle"), int(Pellomar::NoStyle));
    CBoard->ReadProperties(boardProps);
    NqPropertyBag engineProps;
    engineProps.WriteProperty(QStringLiteral("TimePolling"), 0);
    ENGINE->ReadProperties(engineProps);

    Label13->setWordWrap(true);
    lblSideToMove->setAlignment(Qt::AlignCenter);
    lblSideToMove->setAutoFillBackground(true);
    ShowSideToMove(false);
    lblSideToMove->setText(QStringLiteral(" WHITE")); // the caption before any position
    QFont big = lblPunti->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    lblPunti->setFont(big);
    lblPunti->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* l : {lblTime, lblTotTime, lblTotSaved, lblSolved}) {
        l->setFrameShape(QFrame::StyledPanel);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    QFont verdict = lblVerdict->font();
    verdict.setBold(true);
    lblVerdict->setFont(verdict);
    txtFen->setCursorPosition(0);
    // A record with a long comment must not be cut at the default 32767 characters.
    txtFen->setMaxLength(std::numeric_limits<int>::max());

    orderTabs(window);
}

void KestreluxView::orderTabs(QWidget* window)
{
    // The board takes the keyboard too, for typed moves; Tab leaves the
    // grids and the report boxes instead of moving inside them.
    CBoard->setFocusPolicy(Qt::StrongFocus);
    for (FlexGrid* g : {grdReport, Grid})
        g->setTabKeyNavigation(false);
    for (QPlainTextEdit* m : {txtCommento, txtReport})
        m->setTabChangesFocus(true);
    // Board and settings, buttons, statistics rows, grids and the boxes below.
    const QList<QPushButton*> buttons = sessionButtons();
    const QList<QWidget*> order =
        QList<QWidget*>{CBoard,    txtPos, txtFen, txtPositionsForSession, txtTimeForPosition,
                        cmbEPDFile} +
        QList<QWidget*>(buttons.begin(), buttons.end()) + fraSuiteFilter->boxes() +
        QList<QWidget*>{chkWholeLine, chkEngineCheck, chkCountEqual} +
        QList<QWidget*>{txtDifficolta,  txtValutazione, txtDepth, txtUscito, txtRisolto, txtLivello,
                        txtAnalyzeTime, txtWaitTime,    chkTimer, chkAuto,   chkAnalyze} +
        QList<QWidget*>{cmdScanBM, cmdStopEng, cmdEngRestart, cmdWorst, cmdWB, mnEngineStart} +
        QList<QWidget*>{grdReport, Grid, txtCommento, txtReport};
    for (qsizetype i = 1; i < order.size(); ++i)
        window->setTabOrder(order.at(i - 1), order.at(i));
}

void KestreluxView::Place(int boardSide, bool statsMode, int windowHeight)
{
    place(CBoard, kBoardMargin, kBoardMargin, boardSide, boardSide);
    const int dx = kBoardMargin + boardSide + kPanelGap - kPanelLeft;
    const int dy = boardSide - kMinBoardSide;
    // Beside the board: the places beside the smallest board, moved along.
    const auto place = [dx](QWidget* w, int left, int top, int width, int height) {
        ::place(w, left + dx, top, width, height);
    };
    place(ENGINE, 13020, 5700 + dy, 435, 435);

    place(Label1, 6000, 165, 600, 240);
    place(txtPos, 6600, 120, 840, 330);
    place(Label2, 7560, 165, 420, 240);
    place(txtFen, 8040, 120, 5400, 330);

    place(lblPositionsForSession, 6000, 585, 840, 240);
    place(txtPositionsForSession, 6840, 540, 660, 330);
    place(lblTimeForPosition, 7620, 585, 840, 240);
    place(txtTimeForPosition, 8460, 540, 660, 330);
    place(cmbEPDFile, 9300, 540, 2160, 330);
    place(Label13, 11520, 480, 960, 450);
    place(lblSideToMove, 12540, 540, 900, 330);

    // The session's buttons share the panel's width.
    // The session's buttons share the row out by the room their captions
    // need, so a long caption is not cut while a short one has room to spare.
    const QList<QPushButton*> buttons = sessionButtons();
    QList<int> needs;
    int needed = 0;
    for (QPushButton* b : buttons) {
        needs << twips(b->fontMetrics().horizontalAdvance(b->text())) + kButtonPadding;
        needed += needs.last();
    }
    for (int i = 0, left = 6000; i < buttons.size(); ++i) {
        const int width = int(qint64(kButtonRowWidth) * needs.at(i) / needed);
        place(buttons.at(i), left, 1020, width - kButtonGap, 390);
        left += width;
    }

    place(Label6, 6000, 1590, 480, 240);
    place(lblTime, 6480, 1545, 600, 330);
    place(Label7, 7200, 1590, 840, 240);
    place(lblTotTime, 8040, 1545, 720, 330);
    place(lblTotSaved, 8820, 1545, 720, 330);
    place(Label8, 9660, 1590, 840, 240);
    place(lblSolved, 10500, 1545, 1320, 330);
    place(lblPunti, 11940, 1500, 1500, 450);
    // What the last attempt came to, in words, under the score.
    place(lblVerdict, 6000, 2010, 7440, 330);
    // The suite's row: below the statistics rows when they show.
    place(fraSuiteFilter, 6000, statsMode ? kStatsRowsTop : kRowsTop, 7440, 330);

    // Statistics rows, shown only in statistics mode.
    place(Label3, 6000, 2475, 840, 240);
    place(txtDifficolta, 6840, 2430, 540, 330);
    place(Label4, 7500, 2475, 720, 240);
    place(txtValutazione, 8220, 2430, 720, 330);
    place(Label9, 9060, 2475, 540, 240);
    place(txtDepth, 9600, 2430, 540, 330);
    place(Label10, 10260, 2475, 600, 240);
    place(txtUscito, 10860, 2430, 540, 330);
    place(Label11, 11520, 2475, 660, 240);
    place(txtRisolto, 12180, 2430, 540, 330);

    place(lblLivello, 6000, 2895, 720, 240);
    place(txtLivello, 6720, 2850, 540, 330);
    place(Label12, 7380, 2895, 600, 240);
    place(txtAnalyzeTime, 7980, 2850, 540, 330);
    place(lblWaitTime, 8640, 2895, 480, 240);
    place(txtWaitTime, 9120, 2850, 420, 330);
    place(chkTimer, 9660, 2850, 900, 330);
    place(chkAuto, 10620, 2850, 840, 330);
    place(chkAnalyze, 11520, 2850, 1020, 330);

    const QList<QPushButton*> statsButtons = {cmdScanBM, cmdStopEng, cmdEngRestart, cmdWorst,
                                              cmdWB};
    for (int i = 0; i < statsButtons.size(); ++i)
        place(statsButtons.at(i), 6000 + i * 1050, 3270, 990, 390);
    place(mnEngineStart, 11340, 3270, 1500, 330);

    // How answers are judged, in a row above the report, each box as wide as its caption.
    int left = 6000;
    for (QCheckBox* c : {chkWholeLine, chkEngineCheck, chkCountEqual}) {
        const int width = twips(c->sizeHint().width());
        place(c, left, (statsMode ? kStatsRowsTop : kRowsTop) + kSuiteRowHeight, width, 330);
        left += width + 180;
    }

    // Below the board: seen only in the taller statistics-mode window. In
    // normal mode they start below the window's bottom edge, so that shown
    // after a session they still stay out of sight.
    const int down = statsMode ? dy : std::max(dy, twips(windowHeight) - kStatsAreaTop);
    // Out of sight, they take no keyboard either.
    for (QWidget* w : {static_cast<QWidget*>(Grid), static_cast<QWidget*>(txtCommento)})
        w->setFocusPolicy(statsMode ? Qt::StrongFocus : Qt::NoFocus);
    ::place(Grid, kBoardMargin, kStatsAreaTop + down, boardSide + 2040, 2460);
    place(Label5, 8040, kStatsAreaTop + down, 900, 240);
    place(txtCommento, 8040, 6300 + down, 5340, 900);
    place(txtReport, 8040, 7260 + down, 5340, 1260);
}

void KestreluxView::LayoutReport(bool statsMode, int windowWidth, QWidget* typedMove)
{
    // The report grid fills the right-hand column down to the board's bottom;
    // in statistics mode it starts below the statistics rows.
    const int top = (statsMode ? kStatsRowsTop : kRowsTop) + kSuiteRowHeight + kJudgingRowHeight;
    const int left = twips(CBoard->x() + CBoard->width()) + kPanelGap;
    const int boardBottom = twips(CBoard->y() + CBoard->height());
    const int width = std::abs(twips(windowWidth) - 300 - twips(CBoard->width()));
    // The typed move's line closes the column at the board's bottom edge.
    const int gridBottom = boardBottom - kTypedMoveHeight - 60;
    place(grdReport, left, top, width, qMax(600, gridBottom - top));
    place(typedMove, left, gridBottom + 60, width, kTypedMoveHeight);

    // Column 6 shows the review box a position went to.
    static constexpr double kColumnShare[] = {0.08, 0.17, 0.18, 0.14, 0.01, 0.11, 0.06};
    const int gridWidth = twips(grdReport->width());
    for (int k = 0; k < grdReport->Cols(); ++k) {
        double share = 0.125;
        if (k < 7)
            share = kColumnShare[k];
        int w = kx::RoundToInt32(std::abs(gridWidth * share - 16));
        if (k == 7)
            w = 0; // the solved count is kept but not shown
        grdReport->setColWidth(k, w);
    }
}

QList<QPushButton*> KestreluxView::sessionButtons() const
{
    return {cmdNew,     cmdReview,  cmdEndSession, cmdNext, CmdSolution,
            cmdAnalyze, cmdRecords, cmdSetEngine,  cmdExit};
}

void KestreluxView::ShowClock(double elapsed, double allowed)
{
    lblTime->setText(kx::NumberToText(kx::RoundToInt32(elapsed)));
    // The last seconds of a position stand out.
    const bool late = allowed - elapsed <= kWarningSeconds && elapsed > 0;
    QPalette palette = lblTime->palette();
    palette.setColor(QPalette::Window, late ? kWarningBack : QPalette().color(QPalette::Window));
    palette.setColor(QPalette::WindowText,
                     late ? kWarningText : QPalette().color(QPalette::WindowText));
    lblTime->setAutoFillBackground(late);
    lblTime->setPalette(palette);
}

void KestreluxView::ShowVerdict(const QString& text, bool good)
{
    lblVerdict->setText(text);
    QPalette palette = lblVerdict->palette();
    palette.setColor(QPalette::WindowText, good ? kRightText : kWrongText);
    lblVerdict->setPalette(palette);
}

void KestreluxView::EnableAll(bool f)
{
    for (QWidget* w : std::initializer_list<QWidget*>{
             txtTimeForPosition, txtPositionsForSession, txtFen, txtPos, cmbEPDFile, cmdRecords,
             cmdSetEngine, cmdAnalyze, cmdExit, cmdNew, cmdReview, cmdNext, CmdSolution,
             chkWholeLine, chkEngineCheck, chkCountEqual, fraSuiteFilter})
        w->setEnabled(f);
    cmdEndSession->setEnabled(!f);
    txtCommento->setVisible(f);
    Grid->setVisible(f);
}

void KestreluxView::ShowStatsControls(bool f)
{
    for (QWidget* w : std::initializer_list<QWidget*>{
             cmdScanBM,   cmdStopEng,    cmdEngRestart,  cmdWorst,       cmdWB,     Label3,
             Label4,      Label5,        Label9,         Label10,        Label11,   Label12,
             lblLivello,  lblWaitTime,   txtDifficolta,  txtValutazione, txtDepth,  txtUscito,
             txtRisolto,  txtLivello,    txtAnalyzeTime, txtWaitTime,    Grid,      txtReport,
             txtCommento, mnEngineStart, chkTimer,       chkAuto,        chkAnalyze})
        w->setVisible(f);
}

void KestreluxView::ShowJudging(const kx::LastChoices& choices)
{
    chkWholeLine->setChecked(choices.wholeLine);
    chkEngineCheck->setChecked(choices.engineCheck);
    chkCountEqual->setChecked(choices.countEqual);
}

void KestreluxView::TakeJudging(kx::LastChoices& choices) const
{
    choices.wholeLine = chkWholeLine->isChecked();
    choices.engineCheck = chkEngineCheck->isChecked();
    choices.countEqual = chkCountEqual->isChecked();
}

void KestreluxView::ShowSideToMove(bool black)
{
    lblSideToMove->setText(black ? kBlack : kWhite);
    ColourSideLabel(black, false);
}

void KestreluxView::ColourSideLabel(bool black, bool statsModeMark)
{
    QPalette palette = lblSideToMove->palette();
    palette.setColor(QPalette::Window, black ? Qt::black : Qt::white);
    // Red marks statistics mode; otherwise the side's own colour, so the
    // label stays readable when Black is to move.
    palette.setColor(QPalette::WindowText, statsModeMark ? kStatsModeTextColor
                                           : black       ? Qt::white
                                                         : Qt::black);
    lblSideToMove->setPalette(palette);
}
