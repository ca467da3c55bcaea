#include "frmKestrelux.h"

#include "AnalysisDriver.h"
#include "ExternalLauncher.h"
#include "FlexGrid.h"
#include "IniFile.h"
#include "LastChoices.h"
#include "MoveTyping.h"
#include "NqIEngine.h"
#include "NumberText.h"
#include "SessionKeeper.h"
#include "StatsKeys.h"
#include "StatsTable.h"
#include "SuiteFile.h"
#include "WindowToolTips.h"
#include "frmOutput.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>

#include <limits>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 0;
constexpr int kRevision = 1;
constexpr int kClockIntervalMs = 100;
constexpr int kStatsWindowHeight = 8700; // twips
// The board's frame and the panel beside it, in twips. The panel keeps the
// places it has beside the smallest board, shifted with the board's right edge.
constexpr int kBoardMargin = 120;      // left of and above the board
constexpr int kMinBoardSide = 5760;    // the smallest board: 42-pixel squares
constexpr int kPanelLeft = 6000;       // the panel's left edge beside the smallest board
constexpr int kPanelGap = 120;         // from the board's right edge to the panel
constexpr int kPanelWidth = 7500;      // from the panel's left edge to the window's right edge
constexpr int kBelowBoard = 480;       // a fitted window ends this far below the board
constexpr int kStatsAreaTop = 6060;    // the statistics area below the smallest board
constexpr int kStatsBelowBoard = 2820; // room kept below the board for that area
constexpr double kScreenShare = 0.6;   // of the screen's height, for the board at start
constexpr int kTypedMoveHeight = 330;  // the typed move's line below the report
constexpr const char* kDefaultEngineProgram = "/usr/games/stockfish";

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

// A board side (twips) at most as large as the room left beside the panel,
// never smaller than the smallest board, in whole pixels.
int fitBoardSide(int wanted, int roomWidth)
{
    const int side = std::max(kMinBoardSide,
                              std::min(wanted, roomWidth - kBoardMargin - kPanelGap - kPanelWidth));
    return side / kTwipsPerPixel * kTwipsPerPixel;
}

int windowWidthFor(int boardSide)
{
    return kBoardMargin + boardSide + kPanelGap + kPanelWidth;
}

} // namespace

frmKestrelux::frmKestrelux(const QString& programFolder, const QString& dataFolder, QWidget* parent)
    : QWidget(parent), m_programFolder(programFolder), m_dataFolder(dataFolder)
{
    setObjectName(QStringLiteral("frmKestrelux"));
    createElements();
    // The board starts at a good part of the screen's height, and the window
    // fitted around it.
    int side = kMinBoardSide;
    if (const QScreen* s = screen()) {
        const QRect room = s->availableGeometry();
        side = fitBoardSide(twips(int(room.height() * kScreenShare)), twips(room.width()));
    }
    resize(windowWidthFor(side) / kTwipsPerPixel,
           (kBoardMargin + side + kBelowBoard) / kTwipsPerPixel);
    placeElements(side);
    connectElements();
    Form_Load();
    m_sessionKeeper = std::make_unique<SessionKeeper>(
        this, QDir(m_dataFolder).filePath(QLatin1String(kx::kLogFileName)),
        [this](const QString& text) { showMessage(text); },
        [this](QDialog& dialog) { return RunDialog(m_dialogRunner, dialog); });
}

frmKestrelux::~frmKestrelux() = default;

void frmKestrelux::setMessageHandler(MessageHandler handler)
{
    m_messageHandler = std::move(handler);
}

void frmKestrelux::setPromotionChooser(PromotionChooser chooser)
{
    m_promotionChooser = std::move(chooser);
}

void frmKestrelux::showMessage(const QString& text)
{
    if (m_messageHandler) {
        m_messageHandler(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, this);
    box.exec();
}

QString frmKestrelux::settingsFile() const
{
    return kx::SettingsFile(m_programFolder, m_dataFolder);
}

QString frmKestrelux::suitePath() const
{
    const QString name = cmbEPDFile->currentText();
    const QString found = kx::FindSuite(kx::SuiteFolders(m_programFolder, m_dataFolder), name);
    return found.isEmpty() ? QDir(m_dataFolder).filePath(name) : found;
}

bool frmKestrelux::sessionRunning() const
{
    return chkTimer->isChecked();
}

void frmKestrelux::createElements()
{
    auto button = [this](QPushButton*& b, const char* name, const QString& caption) {
        b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
    };
    auto label = [this](QLabel*& l, const char* name, const QString& caption) {
        l = new QLabel(caption, this);
        l->setObjectName(QLatin1String(name));
    };
    auto text = [this](QLineEdit*& t, const char* name, const QString& initial) {
        t = new QLineEdit(initial, this);
        t->setObjectName(QLatin1String(name));
    };
    auto check = [this](QCheckBox*& c, const char* name, const QString& caption) {
        c = new QCheckBox(caption, this);
        c->setObjectName(QLatin1String(name));
    };
    auto grid = [this](FlexGrid*& g, const char* name, int cols) {
        g = new FlexGrid(this);
        g->setObjectName(QLatin1String(name));
        g->setCols(cols);
    };
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto memo = [this, &fixed](QPlainTextEdit*& m, const char* name) {
        m = new QPlainTextEdit(this);
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
    ENGINE = new Ostravin::NqIEngine(this);
    ENGINE->setObjectName(QStringLiteral("ENGINE"));
    text(txtRisolto, "txtRisolto", QString());
    text(txtUscito, "txtUscito", QString());
    text(txtDepth, "txtDepth", QString());
    cmbEPDFile = new QComboBox(this);
    cmbEPDFile->setObjectName(QStringLiteral("cmbEPDFile"));
    cmbEPDFile->setEditable(true);
    cmbEPDFile->setInsertPolicy(QComboBox::NoInsert);
    cmbEPDFile->setEditText(QStringLiteral("WAC.EPD"));
    memo(txtCommento, "txtCommento");
    text(txtValutazione, "txtValutazione", QString());
    text(txtDifficolta, "txtDifficolta", QString());
    text(txtPositionsForSession, "txtPositionsForSession", QStringLiteral("10"));
    button(cmdScanBM, "cmdScanBM", tr("ScanBm"));
    grid(Grid, "Grid", 11);
    text(txtWaitTime, "txtWaitTime", QStringLiteral("1"));
    text(txtPos, "txtPos", QString());
    check(chkAnalyze, "chkAnalyze", tr("Analyze"));
    button(cmdAnalyze, "cmdAnalyze", tr("Analyze"));
    text(txtTimeForPosition, "txtTimeForPosition", QStringLiteral("50"));
    tmrTime = new QTimer(this);
    tmrTime->setObjectName(QStringLiteral("tmrTime"));
    tmrTime->setInterval(kClockIntervalMs);
    button(cmdNew, "cmdNew", tr("Start"));
    button(CmdSolution, "CmdSolution", tr("Solution"));
    text(txtFen, "txtFen", QString());
    CBoard = new Pellomar::NqCBoard(this);
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
    setSideToMove(false);
    lblSideToMove->setText(QStringLiteral(" WHITE"));
    QFont big = lblPunti->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    lblPunti->setFont(big);
    lblPunti->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* l : {lblTime, lblTotTime, lblTotSaved, lblSolved}) {
        l->setFrameShape(QFrame::StyledPanel);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    txtFen->setCursorPosition(0);
    // A record with a long comment must not be cut at the default 32767 characters.
    txtFen->setMaxLength(std::numeric_limits<int>::max());

    for (QWidget* w : {static_cast<QWidget*>(txtPos), static_cast<QWidget*>(txtFen),
                       static_cast<QWidget*>(txtDifficolta)})
        w->installEventFilter(this);
    grdReport->installEventFilter(this);
    m_stats = new StatsTable(Grid, this);
    m_typing = new MoveTyping(this, [this](const QString& text) { return makeTypedMove(text); });
    SetWindowToolTips(*this);
    orderTabs();
}

void frmKestrelux::orderTabs()
{
    // The board takes the keyboard too, for typed moves; Tab leaves the
    // grids and the report boxes instead of moving inside them.
    CBoard->setFocusPolicy(Qt::StrongFocus);
    for (FlexGrid* g : {grdReport, Grid})
        g->setTabKeyNavigation(false);
    for (QPlainTextEdit* m : {txtCommento, txtReport})
        m->setTabChangesFocus(true);
    // Board and settings, buttons, statistics rows, grids and the boxes below.
    const QList<QWidget*> order =
        QList<QWidget*>{CBoard,    txtPos, txtFen, txtPositionsForSession, txtTimeForPosition,
                        cmbEPDFile} +
        QList<QWidget*>{cmdNew,     cmdNext,      CmdSolution, cmdAnalyze,
                        cmdRecords, cmdSetEngine, cmdExit} +
        QList<QWidget*>{txtDifficolta,  txtValutazione, txtDepth, txtUscito, txtRisolto, txtLivello,
                        txtAnalyzeTime, txtWaitTime,    chkTimer, chkAuto,   chkAnalyze} +
        QList<QWidget*>{cmdScanBM, cmdStopEng, cmdEngRestart, cmdWorst, cmdWB, mnEngineStart} +
        QList<QWidget*>{grdReport, Grid, txtCommento, txtReport};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

void frmKestrelux::placeElements(int boardSide)
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

    const QList<QPushButton*> buttons = {cmdNew,     cmdNext,      CmdSolution, cmdAnalyze,
                                         cmdRecords, cmdSetEngine, cmdExit};
    for (int i = 0; i < buttons.size(); ++i)
        place(buttons.at(i), 6000 + i * 1050, 1020, 990, 390);

    place(Label6, 6000, 1590, 480, 240);
    place(lblTime, 6480, 1545, 600, 330);
    place(Label7, 7200, 1590, 840, 240);
    place(lblTotTime, 8040, 1545, 720, 330);
    place(lblTotSaved, 8820, 1545, 720, 330);
    place(Label8, 9660, 1590, 840, 240);
    place(lblSolved, 10500, 1545, 1320, 330);
    place(lblPunti, 11940, 1500, 1500, 450);

    // Statistics rows, shown only in statistics mode.
    place(Label3, 6000, 2145, 840, 240);
    place(txtDifficolta, 6840, 2100, 540, 330);
    place(Label4, 7500, 2145, 720, 240);
    place(txtValutazione, 8220, 2100, 720, 330);
    place(Label9, 9060, 2145, 540, 240);
    place(txtDepth, 9600, 2100, 540, 330);
    place(Label10, 10260, 2145, 600, 240);
    place(txtUscito, 10860, 2100, 540, 330);
    place(Label11, 11520, 2145, 660, 240);
    place(txtRisolto, 12180, 2100, 540, 330);

    place(lblLivello, 6000, 2565, 720, 240);
    place(txtLivello, 6720, 2520, 540, 330);
    place(Label12, 7380, 2565, 600, 240);
    place(txtAnalyzeTime, 7980, 2520, 540, 330);
    place(lblWaitTime, 8640, 2565, 480, 240);
    place(txtWaitTime, 9120, 2520, 420, 330);
    place(chkTimer, 9660, 2520, 900, 330);
    place(chkAuto, 10620, 2520, 840, 330);
    place(chkAnalyze, 11520, 2520, 1020, 330);

    const QList<QPushButton*> statsButtons = {cmdScanBM, cmdStopEng, cmdEngRestart, cmdWorst,
                                              cmdWB};
    for (int i = 0; i < statsButtons.size(); ++i)
        place(statsButtons.at(i), 6000 + i * 1050, 2940, 990, 390);
    place(mnEngineStart, 11340, 2940, 1500, 330);

    // Below the board: seen only in the taller statistics-mode window. In
    // normal mode they start below the window's bottom edge, so that shown
    // after a session they still stay out of sight.
    const int down = statsMode ? dy : std::max(dy, twips(height()) - kStatsAreaTop);
    // Out of sight, they take no keyboard either.
    for (QWidget* w : {static_cast<QWidget*>(Grid), static_cast<QWidget*>(txtCommento)})
        w->setFocusPolicy(statsMode ? Qt::StrongFocus : Qt::NoFocus);
    ::place(Grid, kBoardMargin, kStatsAreaTop + down, boardSide + 2040, 2460);
    place(Label5, 8040, kStatsAreaTop + down, 900, 240);
    place(txtCommento, 8040, 6300 + down, 5340, 900);
    place(txtReport, 8040, 7260 + down, 5340, 1260);

    LayoutReport();
}

void frmKestrelux::LayoutReport()
{
    // The report grid fills the right-hand column down to the board's bottom;
    // in statistics mode it starts below the statistics rows.
    const int top = statsMode ? 3420 : 2100;
    const int left = twips(CBoard->x() + CBoard->width()) + kPanelGap;
    const int boardBottom = twips(CBoard->y() + CBoard->height());
    const int width = std::abs(twips(this->width()) - 300 - twips(CBoard->width()));
    // The typed move's line closes the column at the board's bottom edge.
    const int gridBottom = boardBottom - kTypedMoveHeight - 60;
    place(grdReport, left, top, width, qMax(600, gridBottom - top));
    place(m_typing->display(), left, gridBottom + 60, width, kTypedMoveHeight);

    static constexpr double kColumnShare[] = {0.08, 0.17, 0.18, 0.14, 0.01, 0.13, 0.01};
    const int gridWidth = twips(grdReport->width());
    for (int k = 0; k < grdReport->Cols(); ++k) {
        double share = 0.14;
        if (k < 7)
            share = kColumnShare[k];
        int w = kx::RoundToInt32(std::abs(gridWidth * share - 16));
        if (k == 7)
            w = 0; // the solved count is kept but not shown
        grdReport->setColWidth(k, w);
    }
}

void frmKestrelux::connectElements()
{
    connect(cmdExit, &QPushButton::clicked, this, &frmKestrelux::cmdExit_Click);
    connect(cmdNew, &QPushButton::clicked, this, &frmKestrelux::cmdNew_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmKestrelux::cmdNext_Click);
    connect(CmdSolution, &QPushButton::clicked, this, &frmKestrelux::CmdSolution_Click);
    connect(cmdAnalyze, &QPushButton::clicked, this, &frmKestrelux::cmdAnalyze_Click);
    connect(cmdEngRestart, &QPushButton::clicked, this, &frmKestrelux::cmdEngRestart_Click);
    connect(cmdStopEng, &QPushButton::clicked, this, &frmKestrelux::cmdStopEng_Click);
    connect(cmdSetEngine, &QPushButton::clicked, this, &frmKestrelux::cmdSetEngine_Click);
    connect(cmdWB, &QPushButton::clicked, this, &frmKestrelux::cmdWB_Click);
    connect(chkTimer, &QCheckBox::toggled, this, &frmKestrelux::chkTimer_Click);
    connect(tmrTime, &QTimer::timeout, this, &frmKestrelux::tmrTime_Timer);
    connect(CBoard, &Pellomar::NqCBoard::Click, this, &frmKestrelux::CBoard_Click);
    connect(cmbEPDFile, &QComboBox::activated, this, [this](int) { cmbEPDFile_Click(); });
    // A typed suite name is taken up like one chosen from the list, so the
    // draw always knows the size of the file it reads.
    connect(cmbEPDFile->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (cmbEPDFile->lineEdit()->isModified()) {
            cmbEPDFile->lineEdit()->setModified(false);
            cmbEPDFile_Click();
        }
    });
    connect(txtPos, &QLineEdit::returnPressed, this, &frmKestrelux::txtPos_DblClick);
    connect(txtPositionsForSession, &QLineEdit::editingFinished, this,
            &frmKestrelux::txtPositionsForSession_Validate);
    connect(txtTimeForPosition, &QLineEdit::editingFinished, this,
            &frmKestrelux::txtTimeForPosition_Validate);
    connectRecords();
}

void frmKestrelux::Form_Load()
{
    // An installed program gets its own settings file in the data folder on
    // first start; if that fails, the engine settings simply start empty.
    kx::SeedSettingsFile(m_programFolder, m_dataFolder);
    const QString settings = settingsFile();
    engineSettings = kx::EngineSettings::Read(settings);

    setWindowTitle(QStringLiteral("Kestrelux Ver.%1.%2 rev.%3")
                       .arg(kVersionMajor)
                       .arg(kVersionMinor)
                       .arg(kRevision));

    statsMode = QFile::exists(QDir(m_dataFolder).filePath(QLatin1String(kx::kMarkerFileName)));
    ShowStatsControls(statsMode);

    defaultEngineFound = QFile::exists(QLatin1String(kDefaultEngineProgram));
    defaultEngineMissing = !defaultEngineFound;
    if (defaultEngineFound)
        txtWaitTime->setText(QStringLiteral("4"));

    // The session settings chosen last, checked as if typed.
    const kx::LastChoices last = kx::ReadLastChoices(m_dataFolder);
    if (!last.positions.isEmpty()) {
        txtPositionsForSession->setText(last.positions);
        txtPositionsForSession_Validate();
    }
    if (!last.seconds.isEmpty()) {
        txtTimeForPosition->setText(last.seconds);
        txtTimeForPosition_Validate();
    }

    timePerPosition = kx::NumericValue(txtTimeForPosition->text());
    tmrTime->stop();

    static constexpr double kGridShare[] = {0.35, 0.15, 0.15, 0.15, 0.1, 0.1, 0.1, 0.1, 0.1, 0.4};
    // The position number must show whole, up to the largest suite.
    constexpr int kCellPadding = 10; // pixels around a cell's text
    const int numberWidth =
        twips(Grid->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + kCellPadding);
    Grid->setColWidth(0, qMax(400, numberWidth));
    for (int k = 1; k <= 10; ++k)
        Grid->setColWidth(k, kx::RoundToInt32((twips(Grid->width()) - 900) * kGridShare[k - 1]));

    grdReport->setCols(10);
    grdReport->setRows(2);
    const QStringList headers = {QStringLiteral("n."),
                                 QStringLiteral("p.ti"),
                                 QStringLiteral("move"),
                                 QStringLiteral("bm"),
                                 QString(),
                                 QStringLiteral("Pos"),
                                 QString(),
                                 QStringLiteral("solv"),
                                 QStringLiteral("Elap"),
                                 QStringLiteral("Sav")};
    for (int c = 0; c < headers.size(); ++c)
        grdReport->setTextMatrix(0, c, headers.at(c));
    grdReport->setFixedRows(1);

    // The statistics area needs the height; the board keeps its smallest size.
    if (statsMode)
        resize(windowWidthFor(kMinBoardSide) / kTwipsPerPixel, kStatsWindowHeight / kTwipsPerPixel);

    // The three classic suites head the list; when WAC.EPD is not installed
    // the box starts with the first suite that is, so Start works at once.
    const QStringList folders = kx::SuiteFolders(m_programFolder, m_dataFolder);
    const QStringList suites = kx::SuiteList(folders);
    cmbEPDFile->clear();
    cmbEPDFile->addItems(suites);
    QString first = QStringLiteral("WAC.EPD");
    if (!last.suite.isEmpty() && !kx::FindSuite(folders, last.suite).isEmpty())
        first = last.suite;
    else if (kx::FindSuite(folders, first).isEmpty()) {
        for (const QString& name : suites) {
            if (!kx::FindSuite(folders, name).isEmpty()) {
                first = name;
                break;
            }
        }
    }
    cmbEPDFile->setEditText(first);

    QCoreApplication::processEvents();
    if (statsMode)
        LoadStats();
    else
        SetSuiteSize();
}

void frmKestrelux::EnableAll(bool f)
{
    for (QWidget* w : std::initializer_list<QWidget*>{
             txtTimeForPosition, txtPositionsForSession, txtFen, txtPos, cmbEPDFile, cmdRecords,
             cmdSetEngine, cmdAnalyze, cmdExit, cmdNew, cmdNext, CmdSolution})
        w->setEnabled(f);
    txtCommento->setVisible(f);
    Grid->setVisible(f);
}

void frmKestrelux::ShowStatsControls(bool f)
{
    for (QWidget* w : std::initializer_list<QWidget*>{
             cmdScanBM,   cmdStopEng,    cmdEngRestart,  cmdWorst,       cmdWB,     Label3,
             Label4,      Label5,        Label9,         Label10,        Label11,   Label12,
             lblLivello,  lblWaitTime,   txtDifficolta,  txtValutazione, txtDepth,  txtUscito,
             txtRisolto,  txtLivello,    txtAnalyzeTime, txtWaitTime,    Grid,      txtReport,
             txtCommento, mnEngineStart, chkTimer,       chkAuto,        chkAnalyze})
        w->setVisible(f);
    LayoutReport();
}

void frmKestrelux::FitWindowToMode()
{
    if (statsMode)
        resize(width(), kStatsWindowHeight / kTwipsPerPixel);
    QResizeEvent relayout(size(), size());
    resizeEvent(&relayout);
}

void frmKestrelux::chkTimer_Click()
{
    EnableAll(!chkTimer->isChecked());
}

void frmKestrelux::SetSuiteSize()
{
    const QString name = cmbEPDFile->currentText();
    const qint32 lines = kx::CountSuiteLines(suitePath());
    qint32 size = lines;
    if (name == QLatin1String("WAC.EPD"))
        size = 300;
    else if (name == QLatin1String("BWTC.EPD") || name == QLatin1String("WCSAC.EPD"))
        size = 1001;
    // Never draw beyond the file: a shorter (or missing) file caps the size.
    size = qBound(0, qMin(size, lines), 32767);
    suiteSize = static_cast<qint16>(size);
}

void frmKestrelux::WaitSeconds(qint32& n)
{
    while (n > 0) {
        const qint64 taken = QDateTime::currentSecsSinceEpoch();
        while (QDateTime::currentSecsSinceEpoch() == taken) {
            // Sleep in the event loop until the next whole second, waking for events.
            const qint64 msLeft = 1000 - QDateTime::currentMSecsSinceEpoch() % 1000;
            QEventLoop loop;
            QTimer::singleShot(int(msLeft) + 1, &loop, &QEventLoop::quit);
            loop.exec();
        }
        --n;
    }
}

void frmKestrelux::cmdExit_Click()
{
    close();
}

int frmKestrelux::boardSideForWindow() const
{
    const int below = statsMode ? kStatsBelowBoard : kBelowBoard;
    // A window of its own size may grow to the screen's width (or keeps its
    // own, when wider); a maximised one has the width it has.
    const bool sized = !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
    const QScreen* s = screen();
    const int room = sized && s ? twips(s->availableGeometry().width()) : twips(width());
    return fitBoardSide(twips(height()) - kBoardMargin - below, std::max(room, twips(width())));
}

void frmKestrelux::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_inLayout)
        return;
    m_inLayout = true;
    // The board takes the height the window has; the window is never too
    // narrow for the panel beside it.
    const int side = boardSideForWindow();
    const QSize smallest(windowWidthFor(side) / kTwipsPerPixel,
                         (kBoardMargin + kMinBoardSide + kBelowBoard) / kTwipsPerPixel);
    if (minimumSize() != smallest)
        setMinimumSize(smallest);
    const Qt::WindowStates state = windowState();
    if (!statsMode &&
        !(state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        // The window ends just below the board.
        const int fitted = std::abs(kBoardMargin + side + kBelowBoard);
        if (height() != fitted / kTwipsPerPixel)
            resize(width(), fitted / kTwipsPerPixel);
    }
    placeElements(side);
    LayoutReport();
    m_inLayout = false;
}

void frmKestrelux::closeEvent(QCloseEvent* event)
{
    // A running session ends only when the user says so, and is then
    // abandoned and not logged; the statistics, the last position's panel
    // included, are kept.
    if (sessionRunning() && !m_closing) {
        // The clock waits while the user makes up their mind.
        const bool ticking = tmrTime->isActive();
        tmrTime->stop();
        QMessageBox ask(QMessageBox::Question, QApplication::applicationDisplayName(),
                        tr("A session is running. Close Kestrelux anyway?\nThe session is "
                           "abandoned and not logged."),
                        QMessageBox::Yes | QMessageBox::No, this);
        ask.setDefaultButton(QMessageBox::No);
        const int answer = RunDialog(m_dialogRunner, ask);
        if (answer != QMessageBox::Yes) {
            if (ticking)
                tmrTime->start();
            event->ignore();
            return;
        }
    }
    m_closing = true;
    tmrTime->stop();
    keepChoices();
    if (statsMode)
        SaveStats();
    m_sessionKeeper->Flush();
    event->accept();
}

bool frmKestrelux::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtPos && event->type() == QEvent::MouseButtonDblClick) {
        txtPos_DblClick();
        return true;
    }
    if (watched == txtFen && event->type() == QEvent::MouseButtonPress) {
        txtFen_Click();
        return false;
    }
    if (watched == txtDifficolta && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        txtDifficolta_KeyDown(kx::VirtualKeyCode(key->key()));
        return false;
    }
    if (watched == grdReport && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        grdReport_KeyDown(kx::VirtualKeyCode(key->key()),
                          key->modifiers().testFlag(Qt::ShiftModifier) ? 1 : 0);
        return false;
    }
    return QWidget::eventFilter(watched, event);
}
