// Engine analysis and its surroundings: the Analyze/Stop button, restart and
// StopEng, the clock's analysis of the position just finished, the engine
// settings dialog, and opening the position in the external chess program.
// The dialogue with the engine is AnalysisDriver's; this file shows what it reports.

#include "frmKestrelux.h"

#include "AnalysisDriver.h"
#include "EngineLine.h"
#include "Epd.h"
#include "ExternalLauncher.h"
#include "NqIEngine.h"
#include "NumberText.h"
#include "StatsTable.h"
#include "TrainingSession.h"
#include "frmOutput.h"
#include "frmSetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

const QString kAnalyzeCaption = QStringLiteral("Analyze");
const QString kStopCaption = QStringLiteral("Stop");
const QString kRestartMessage = QStringLiteral("Restart");
// A board written back has no move counters.
const QString kCounters = QStringLiteral(" 0 1");

} // namespace

AnalysisDriver& frmKestrelux::analysisDriver()
{
    if (!m_analysis) {
        m_analysis = std::make_unique<AnalysisDriver>(m_view.ENGINE);
        connectAnalysis();
    }
    return *m_analysis;
}

ExternalLauncher& frmKestrelux::externalLauncher()
{
    if (!m_launcher)
        m_launcher = std::make_unique<ExternalLauncher>();
    return *m_launcher;
}

void frmKestrelux::connectAnalysis()
{
    AnalysisDriver* driver = m_analysis.get();
    connect(driver, &AnalysisDriver::variationLine, this, [this](const QString& line) {
        if (frmOutput* output = m_output.Open())
            output->AddLine(line);
    });
    connect(driver, &AnalysisDriver::note, this, [this](const QString& line) {
        if (frmOutput* output = m_output.Open())
            output->AddLine(line);
    });
    connect(driver, &AnalysisDriver::statusLine, this, [this](const QString& line) {
        if (frmOutput* output = m_output.Open())
            output->setWindowTitle(line);
    });
    connect(driver, &AnalysisDriver::solutionFound, this, [this](const QString& line) {
        m_stats->Grade([&line](kx::PositionGrade& g) { kx::GradeBySolution(g, line); });
    });
    connect(driver, &AnalysisDriver::timeRanOut, this,
            [this] { m_stats->Grade([](kx::PositionGrade& g) { kx::GradeByTimeOut(g); }); });
    connect(driver, &AnalysisDriver::finishRequested, this, [this] { StopAnalysis(true); });
    connect(driver, &AnalysisDriver::failed, this, [this](const QString& message) {
        m_output.Show().AddLine(message);
        m_view.cmdAnalyze->setText(kAnalyzeCaption);
    });
}

void frmKestrelux::cmdAnalyze_Click()
{
    // Stop or start is decided by the engine alone, whatever the caption says.
    if (m_view.ENGINE->EngineStarted()) {
        StopAnalysis(true);
        return;
    }
    const QString record = m_shown.record();
    if (record.trimmed().isEmpty()) {
        showMessage(tr("There is no position to analyse: show one first."));
        return;
    }
    m_view.cmdAnalyze->setText(kStopCaption);
    StartAnalysis(kx::EngineFen(record), kx::GetBmField(record).mid(3));
}

void frmKestrelux::cmdEngRestart_Click()
{
    if (m_view.ENGINE->EngineStarted()) {
        leaveAnalysis();
        if (!m_view.chkAuto->isChecked())
            return;
        cmdNext_Click();
    }
    // The board as it stands, moves made on it included; no solution is watched for.
    StartAnalysis(BoardToFen() + kCounters, QString());
}

void frmKestrelux::cmdStopEng_Click()
{
    if (m_analysis)
        m_analysis->StopEng();
}

void frmKestrelux::StartAnalysis(const QString& fen, const QString& bestMoves)
{
    // Each analysis gets a fresh window.
    m_output.ShowNew();
    AnalysisDriver::Job job;
    job.fen = fen;
    job.bestMoves = bestMoves;
    job.statsMode = statsMode;
    job.timeLimit = kx::NumericValue(m_view.txtAnalyzeTime->text());
    analysisDriver().Start(engineSettings, job);
}

void frmKestrelux::leaveAnalysis()
{
    if (const frmOutput* output = m_output.Open())
        QApplication::clipboard()->setText(output->Text() + u'\n' + output->windowTitle());
    m_output.Close();
    analysisDriver().Stop();
}

void frmKestrelux::StopAnalysis(bool withAuto)
{
    leaveAnalysis();
    m_view.cmdAnalyze->setText(kAnalyzeCaption);
    // During a session the clock has already moved on to the next position;
    // drawing another would take it from under the user.
    if (withAuto && m_view.chkAuto->isChecked() && !sessionRunning())
        cmdNext_Click();
}

void frmKestrelux::analyseFinishedPosition()
{
    // Always the position just finished: an analysis still running goes first.
    if (m_view.ENGINE->EngineStarted())
        StopAnalysis(false);
    cmdAnalyze_Click();
}

void frmKestrelux::cmdSetEngine_Click()
{
    frmSetup setup(this, m_dialogRunner);
    setup.txtEngine->setText(engineSettings.program);
    setup.txtCommandLine->setText(engineSettings.arguments);
    setup.setProtocol(engineSettings.protocol);
    RunDialog(m_dialogRunner, setup);
    if (!setup.Selected)
        return;

    m_output.Close();
    analysisDriver().Stop();
    engineSettings = {setup.txtEngine->text(), setup.txtCommandLine->text(), setup.protocol()};
    const kx::Result<> saved = engineSettings.Write(settingsFile());
    if (!saved)
        showMessage(tr("The engine settings could not be saved: %1\n"
                       "They apply until Kestrelux is closed.")
                        .arg(saved.error()));
}

void frmKestrelux::cmdWB_Click()
{
    const QString position = m_view.txtPos->text().trimmed();
    if (position.isEmpty()) {
        showMessage(tr("There is no position to open: show one first."));
        return;
    }
    QTimer* clock = m_session->clock();
    const bool clockWasOn = clock->isActive();
    clock->stop();
    const QStringList arguments = ExternalLauncher::Arguments(
        defaultEngineFound, QFileInfo(suitePath()).absoluteFilePath(), position);
    ExternalLauncher& launcher = externalLauncher();
    const kx::Result<> launched = launcher.Launch(
        arguments, kx::NumericValue(m_view.txtWaitTime->text()), m_shown.blackToMove());
    if (!launched) {
        showMessage(launched.error());
        if (clockWasOn)
            clock->start();
        return;
    }
    // The attempt on this position no longer counts.
    m_session->setPositionAnalysed(true);
    connect(
        &launcher, &ExternalLauncher::finished, this,
        [this, clockWasOn] {
            showMessage(kRestartMessage);
            if (clockWasOn)
                m_session->clock()->start();
        },
        Qt::SingleShotConnection);
}
