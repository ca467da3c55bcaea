#include "AnalysisDriver.h"

#include "NqIEngine.h"

#include <utility>

namespace {

const QString kTellUserError = QStringLiteral("tellusererror");
const QString kStatus = QStringLiteral("stat");

} // namespace

AnalysisDriver::AnalysisDriver(Ostravin::NqIEngine* engine, QObject* parent)
    : QObject(parent), m_engine(engine)
{
    m_featureTimer.setSingleShot(true);
    m_leaveTimer.setSingleShot(true);
    connect(&m_featureTimer, &QTimer::timeout, this, &AnalysisDriver::sendAnalysisCommands);
    connect(&m_leaveTimer, &QTimer::timeout, this, &AnalysisDriver::leaveAfterDelay);
    connect(engine, &Ostravin::NqIEngine::DataFromEngine, this, &AnalysisDriver::DataFromEngine);
    connect(engine, &Ostravin::NqIEngine::EngineOutputEnded, this,
            &AnalysisDriver::engineOutputEnded);
}

AnalysisDriver::~AnalysisDriver() = default;

qint32 AnalysisDriver::send(const QString& command)
{
    return m_engine ? m_engine->WriteToEngine(command) : 0;
}

bool AnalysisDriver::Start(const QString& program, const QString& arguments, const Job& job)
{
    Stop();
    m_job = job;
    solutionPattern = job.bestMoves.trimmed();
    analysisStart.start();
    m_features = {};
    m_statusPending = false;
    m_statusRejected = false;
    m_exitSent = false;
    m_failureReported = false;

    // A path with blanks stays one word when the command line is split again.
    m_commandLine =
        program.contains(u' ') && !program.startsWith(u'"') ? u'"' + program + u'"' : program;
    if (!arguments.isEmpty())
        m_commandLine += u' ' + arguments;
    if (!m_engine)
        return false;
    m_engine->setPathEngine(m_commandLine);
    // Every waiting line at each tick: a fast engine is shown as it prints.
    m_engine->setAllLinesPerTick(true);
    m_engine->setTimePolling(m_timing.polling);
    if (program.trimmed().isEmpty()) {
        fail(tr("No engine is set. Choose one with \"Set Eng\"."));
        return false;
    }
    if (!m_engine->StartEngine()) {
        fail(tr("The engine could not be started."));
        return false;
    }
    m_state = State::Starting;
    send(QStringLiteral("xboard"));
    send(QStringLiteral("protover 2"));
    m_featureTimer.start(m_timing.featureWait);
    return true;
}

void AnalysisDriver::sendAnalysisCommands()
{
    if (m_state != State::Starting)
        return;
    m_featureTimer.stop();
    m_state = State::Analysing;
    // Only Crafty knows these two; other engines refuse them, and some end on them.
    const bool crafty = m_features.myname.contains(QLatin1String("crafty"), Qt::CaseInsensitive);
    if (crafty)
        send(QStringLiteral("log off"));
    send(QStringLiteral("new"));
    // Without it some engines start playing the side not to move.
    send(QStringLiteral("force"));
    if (crafty)
        send(QStringLiteral("noise 0"));
    send(QStringLiteral("post"));
    if (m_features.setboard) {
        send(QStringLiteral("setboard ") + m_job.fen);
    } else {
        for (const QString& command : kx::EditModeCommands(m_job.fen))
            send(command);
    }
    send(QStringLiteral("analyze"));
    send(QStringLiteral("."));
    m_statusPending = true;
}

void AnalysisDriver::Stop()
{
    ++m_generation;
    m_featureTimer.stop();
    m_leaveTimer.stop();
    m_state = State::Idle;
    if (m_engine)
        m_engine->CloseEngine();
}

void AnalysisDriver::StopEng()
{
    switch (m_state) {
    case State::Idle:
    case State::OutOfAnalysis:
        return;
    case State::Starting:
        // Not in analysis mode yet: it is simply never entered.
        m_featureTimer.stop();
        m_state = State::OutOfAnalysis;
        break;
    case State::Analysing:
    case State::LeavingAnalysis:
        // A second "exit" outside analysis mode ends several engines.
        if (!std::exchange(m_exitSent, true))
            send(QStringLiteral("exit"));
        // A pending stop still comes; otherwise the engine idles.
        if (m_state == State::Analysing)
            m_state = State::OutOfAnalysis;
        break;
    }
    if (m_engine)
        m_engine->setTimePolling(m_timing.pollingOutOfAnalysis);
}

void AnalysisDriver::DataFromEngine(const QString& strRead)
{
    if (m_state == State::Idle)
        return;
    const quint64 generation = m_generation;
    const auto over = [&] {
        return m_generation != generation || m_state == State::Idle;
    };

    if (strRead.contains(kTellUserError)) {
        fail(tr("The engine reported an error: %1")
                 .arg(strRead.section(kTellUserError, 1).trimmed()));
        return;
    }
    if (m_state == State::Starting) {
        if (kx::ReadFeatures(strRead, m_features) && m_features.done)
            sendAnalysisCommands();
        return;
    }
    // A status line answers the request out, so the next may go.
    const bool status = strRead.contains(kStatus);
    if (status)
        m_statusPending = false;
    answerWithStatusRequest(strRead);

    const kx::ThinkingLine thinking = kx::ReadThinkingLine(strRead);
    if (thinking.ok)
        emit variationLine(strRead);
    if (over())
        return;
    if (status) {
        emit statusLine(strRead);
        if (over())
            return;
    }
    if (thinking.ok)
        checkGrade(thinking, strRead);
}

void AnalysisDriver::answerWithStatusRequest(const QString& line)
{
    // One request at a time: its answer asks for the next. An engine that
    // refuses "." is not asked again, or refusals and requests would feed
    // each other for ever.
    if (kx::RejectsStatusRequest(line)) {
        m_statusRejected = true;
        m_statusPending = false;
        return;
    }
    if (m_statusRejected || m_statusPending)
        return;
    if (send(QStringLiteral(".")) > 0)
        m_statusPending = true;
}

void AnalysisDriver::checkGrade(const kx::ThinkingLine& thinking, const QString& line)
{
    if (m_state != State::Analysing || !m_job.statsMode)
        return;
    const quint64 generation = m_generation;
    if (!solutionPattern.isEmpty() &&
        kx::IsBestMove(thinking.firstMove, solutionPattern, m_job.fen)) {
        // The stop comes after a pause in which the engine's lines are still
        // shown, but nothing is graded or stopped again.
        m_state = State::LeavingAnalysis;
        emit solutionFound(line);
        if (m_generation == generation && m_state == State::LeavingAnalysis)
            m_leaveTimer.start(m_timing.leaveDelay);
        return;
    }
    if (double(analysisStart.elapsed()) > m_job.timeLimit * 1000) {
        m_state = State::LeavingAnalysis;
        emit timeRanOut();
        if (m_generation == generation && m_state == State::LeavingAnalysis)
            emit finishRequested();
    }
}

void AnalysisDriver::leaveAfterDelay()
{
    if (m_state == State::LeavingAnalysis)
        emit finishRequested();
}

void AnalysisDriver::engineOutputEnded()
{
    if (m_state != State::Idle)
        fail(tr("The engine ended by itself."));
}

void AnalysisDriver::fail(const QString& what)
{
    // Never shown as a running analysis: the engine goes and the reason is told once.
    const bool first = !std::exchange(m_failureReported, true);
    Stop();
    if (first)
        emit failed(what + u'\n' + tr("Command line: %1").arg(m_commandLine));
}
