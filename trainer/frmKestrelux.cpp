#include "frmKestrelux.h"

#include "AnalysisDriver.h"
#include "EngineCheck.h"
#include "ExternalLauncher.h"
#include "FlexGrid.h"
#include "HistoryKeeper.h"
#include "IniFile.h"
#include "LastChoices.h"
#include "MoveTyping.h"
#include "NqCBoard.h"
#include "NumberText.h"
#include "SessionKeeper.h"
#include "SessionReport.h"
#include "StatsKeys.h"
#include "StatsTable.h"
#include "SuiteChooser.h"
#include "SuiteFilterPanel.h"
#include "TrainingSession.h"
#include "Twips.h"
#include "Version.h"
#include "WindowToolTips.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>

namespace {

constexpr const char* kDefaultEngineProgram = "/usr/games/stockfish";

int twips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

} // namespace

frmKestrelux::frmKestrelux(const QString& programFolder, const QString& dataFolder, QWidget* parent)
    : QWidget(parent), m_programFolder(programFolder), m_dataFolder(dataFolder)
{
    setObjectName(QStringLiteral("frmKestrelux"));
    m_view.Create(this);
    m_suite.setCacheFolder(QDir(m_dataFolder).filePath(QLatin1String(kx::kSuiteCacheFolderName)));
    m_view.fraSuiteFilter->Attach(m_suite);
    m_session = new kx::TrainingSession(m_shown, this);
    // Connected to the session ahead of the window, so a report row can say
    // which box its position went to.
    m_history = new kx::HistoryKeeper(*m_session, m_dataFolder, this);
    m_moves = new MoveEntry(m_view.CBoard, m_shown, this);
    m_suites =
        new SuiteChooser(m_view.cmbEPDFile, m_programFolder, m_dataFolder, m_dialogRunner, this);
    m_typing =
        new MoveTyping(this, [this](const QString& text) { return m_moves->TypeMove(text); });
    m_typing->setAccepting([this] { return m_moves->accepting(); });
    m_stats = new StatsTable(m_view.Grid,
                             {m_view.txtDifficolta, m_view.txtValutazione, m_view.txtDepth,
                              m_view.txtUscito, m_view.txtRisolto, m_view.txtCommento},
                             this);
    m_report = std::make_unique<SessionReport>(m_view.grdReport, m_view.txtReport);
    m_check = new EngineCheck(this);
    for (QWidget* w :
         {static_cast<QWidget*>(m_view.txtPos), static_cast<QWidget*>(m_view.txtFen),
          static_cast<QWidget*>(m_view.txtDifficolta), static_cast<QWidget*>(m_view.grdReport)})
        w->installEventFilter(this);
    SetWindowToolTips(*this);

    // The board starts at a good part of the screen's height, and the window
    // fitted around it.
    int side = KestreluxView::kMinBoardSide;
    if (const QScreen* s = screen()) {
        const QRect room = s->availableGeometry();
        side = KestreluxView::FitBoardSide(twips(int(room.height() * KestreluxView::kScreenShare)),
                                           twips(room.width()));
    }
    resize(KestreluxView::WindowWidthFor(side) / kTwipsPerPixel,
           (KestreluxView::kBoardMargin + side + KestreluxView::kBelowBoard) / kTwipsPerPixel);
    layOut(side);
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
    m_moves->setPromotionChooser(std::move(chooser));
}

void frmKestrelux::setDialogRunner(DialogRunner runner)
{
    m_dialogRunner = std::move(runner);
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

QString frmKestrelux::suiteName() const
{
    return m_suites->Name();
}

QString frmKestrelux::suitePath() const
{
    return m_suites->Path();
}

bool frmKestrelux::sessionRunning() const
{
    return m_session->isRunning();
}

void frmKestrelux::connectElements()
{
    const KestreluxView& v = m_view;
    connect(v.cmdExit, &QPushButton::clicked, this, &frmKestrelux::cmdExit_Click);
    connect(v.cmdNew, &QPushButton::clicked, this, &frmKestrelux::cmdNew_Click);
    connect(v.cmdReview, &QPushButton::clicked, this, &frmKestrelux::cmdReview_Click);
    connect(v.cmdNext, &QPushButton::clicked, this, &frmKestrelux::cmdNext_Click);
    connect(v.CmdSolution, &QPushButton::clicked, this, &frmKestrelux::CmdSolution_Click);
    connect(v.cmdAnalyze, &QPushButton::clicked, this, &frmKestrelux::cmdAnalyze_Click);
    connect(v.cmdEngRestart, &QPushButton::clicked, this, &frmKestrelux::cmdEngRestart_Click);
    connect(v.cmdStopEng, &QPushButton::clicked, this, &frmKestrelux::cmdStopEng_Click);
    connect(v.cmdSetEngine, &QPushButton::clicked, this, &frmKestrelux::cmdSetEngine_Click);
    connect(v.cmdWB, &QPushButton::clicked, this, &frmKestrelux::cmdWB_Click);
    connect(v.chkTimer, &QCheckBox::toggled, this, &frmKestrelux::chkTimer_Click);
    connect(v.CBoard, &Pellomar::NqCBoard::Click, this, &frmKestrelux::CBoard_Click);
    connect(m_moves, &MoveEntry::moved, this,
            [this] { m_view.ShowSideToMove(m_shown.blackToMove()); });
    connect(m_moves, &MoveEntry::refused, m_typing, &MoveTyping::Tell);
    connect(v.cmdEndSession, &QPushButton::clicked, this, &frmKestrelux::cmdEndSession_Click);
    connect(m_suites, &SuiteChooser::chosen, this, &frmKestrelux::cmbEPDFile_Click);
    connect(v.txtPos, &QLineEdit::returnPressed, this, &frmKestrelux::txtPos_DblClick);
    connect(v.txtPositionsForSession, &QLineEdit::editingFinished, this,
            &frmKestrelux::txtPositionsForSession_Validate);
    connect(v.txtTimeForPosition, &QLineEdit::editingFinished, this,
            &frmKestrelux::txtTimeForPosition_Validate);
    connectSession();
    connectRecords();
}

void frmKestrelux::Form_Load()
{
    // An installed program gets its own settings file in the data folder on
    // first start; if that fails, the engine settings simply start empty.
    (void)kx::SeedSettingsFile(m_programFolder, m_dataFolder);
    const QString settings = settingsFile();
    engineSettings = kx::EngineSettings::Read(settings);

    setWindowTitle(QStringLiteral("Kestrelux Ver.%1.%2 rev.%3")
                       .arg(kx::kVersionMajor)
                       .arg(kx::kVersionMinor)
                       .arg(kx::kRevision));

    statsMode = QFile::exists(QDir(m_dataFolder).filePath(QLatin1String(kx::kMarkerFileName)));
    ShowStatsControls(statsMode);

    defaultEngineFound = QFile::exists(QLatin1String(kDefaultEngineProgram));
    if (defaultEngineFound)
        m_view.txtWaitTime->setText(QStringLiteral("4"));

    // The session settings chosen last, checked as if typed.
    const kx::LastChoices last = kx::ReadLastChoices(m_dataFolder);
    if (!last.positions.isEmpty()) {
        m_view.txtPositionsForSession->setText(last.positions);
        txtPositionsForSession_Validate();
    }
    if (!last.seconds.isEmpty()) {
        m_view.txtTimeForPosition->setText(last.seconds);
        txtTimeForPosition_Validate();
    }
    m_view.ShowJudging(last);
    m_view.fraSuiteFilter->Restore(last);

    static constexpr double kGridShare[] = {0.35, 0.15, 0.15, 0.15, 0.1, 0.1, 0.1, 0.1, 0.1, 0.4};
    // The position number must show whole, up to the largest suite.
    constexpr int kCellPadding = 10; // pixels around a cell's text
    FlexGrid* grid = m_view.Grid;
    const int numberWidth = twips(
        grid->fontMetrics().horizontalAdvance(QString::number(kx::kMaxPositions)) + kCellPadding);
    grid->setColWidth(0, qMax(400, numberWidth));
    for (int k = 1; k <= 10; ++k)
        grid->setColWidth(k, kx::RoundToInt32((twips(grid->width()) - 900) * kGridShare[k - 1]));
    m_report->SetUp();

    // The statistics area needs the height; the board keeps its smallest size.
    if (statsMode)
        resize(KestreluxView::WindowWidthFor(KestreluxView::kMinBoardSide) / kTwipsPerPixel,
               KestreluxView::kStatsWindowHeight / kTwipsPerPixel);

    m_suites->Fill(last.suite);
    QCoreApplication::processEvents();
    if (statsMode)
        LoadStats();
    else
        SetSuiteSize();
}

void frmKestrelux::EnableAll(bool f)
{
    m_view.EnableAll(f);
}

void frmKestrelux::ShowStatsControls(bool f)
{
    m_view.ShowStatsControls(f);
    m_view.LayoutReport(statsMode, width(), m_typing->display());
}

void frmKestrelux::FitWindowToMode()
{
    if (statsMode)
        resize(width(), KestreluxView::kStatsWindowHeight / kTwipsPerPixel);
    QResizeEvent relayout(size(), size());
    resizeEvent(&relayout);
}

void frmKestrelux::chkTimer_Click()
{
    EnableAll(!m_view.chkTimer->isChecked());
}

void frmKestrelux::SetSuiteSize()
{
    const qint32 lines = m_suite.Open(suitePath()) ? m_suite.size() : 0;
    m_suiteSize = kx::DrawSize(suiteName(), lines);
    m_view.fraSuiteFilter->Refresh();
}

void frmKestrelux::cmdExit_Click()
{
    close();
}

void frmKestrelux::layOut(int boardSide)
{
    m_view.Place(boardSide, statsMode, height());
    m_view.LayoutReport(statsMode, width(), m_typing->display());
}

void frmKestrelux::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_inLayout)
        return;
    m_inLayout = true;
    layOut(KestreluxView::FitWindow(*this, statsMode));
    m_inLayout = false;
}

void frmKestrelux::closeEvent(QCloseEvent* event)
{
    // A running session ends only when the user says so, and is then
    // abandoned and not logged; the statistics, the last position's panel
    // included, are kept.
    if (sessionRunning() && !m_closing) {
        // The clock waits while the user makes up their mind.
        QTimer* clock = m_session->clock();
        const bool ticking = clock->isActive();
        clock->stop();
        QMessageBox ask(QMessageBox::Question, QApplication::applicationDisplayName(),
                        tr("A session is running. Close Kestrelux anyway?\nThe session is "
                           "abandoned and not logged."),
                        QMessageBox::Yes | QMessageBox::No, this);
        ask.setDefaultButton(QMessageBox::No);
        const int answer = RunDialog(m_dialogRunner, ask);
        if (answer != QMessageBox::Yes) {
            if (ticking)
                clock->start();
            event->ignore();
            return;
        }
    }
    m_closing = true;
    m_session->Abandon();
    m_session->clock()->stop();
    keepChoices();
    if (statsMode)
        SaveStats();
    m_sessionKeeper->Flush();
    event->accept();
}

bool frmKestrelux::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view.txtPos && event->type() == QEvent::MouseButtonDblClick) {
        txtPos_DblClick();
        return true;
    }
    if (watched == m_view.txtFen && event->type() == QEvent::MouseButtonPress) {
        txtFen_Click();
        return false;
    }
    if (watched == m_view.txtDifficolta && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        txtDifficolta_KeyDown(kx::VirtualKeyCode(key->key()));
        return false;
    }
    if (watched == m_view.grdReport && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        grdReport_KeyDown(kx::VirtualKeyCode(key->key()),
                          key->modifiers().testFlag(Qt::ShiftModifier) ? 1 : 0);
        return false;
    }
    return QWidget::eventFilter(watched, event);
}
