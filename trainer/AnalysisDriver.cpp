#include "AnalysisDriver.h"

#include "NqIEngine.h"

#include <utility>

AnalysisDriver::AnalysisDriver(Ostravin::NqIEngine* engine, QObject* parent)
    : QObject(parent), m_engine(engine)
{
    for (QTimer* timer :
         {&m_openingTimer, &m_silenceTimer, &m_leaveTimer, &m_stopTimer, &m_openingPollingTimer})
        timer->setSingleShot(true);
    connect(&m_openingPollingTimer, &QTimer::timeout, this, &AnalysisDriver::usualPolling);
    connect(&m_openingTimer, &QTimer::timeout, this, &AnalysisDriver::openingWaitOver);
    connect(&m_silenceTimer, &QTimer::timeout, this, &AnalysisDriver::silenceNoticeDue);
    connect(&m_leaveTimer, &QTimer::timeout, this, &AnalysisDriver::leaveAfterDelay);
    connect(&m_stopTimer, &QTimer::timeout, this, [this] {
        if (m_state != State::Idle)
            fail(tr("The engine did not stop when told to: no \"bestmove\" came within %1 "
                    "seconds.")
                     .arg(double(m_timing.stopWait.count()) / 1000));
    });
    connect(engine, &Ostravin::NqIEngine::DataFromEngine, this, &AnalysisDriver::DataFromEngine);
    connect(engine, &Ostravin::NqIEngine::EngineOutputEnded, this,
            &AnalysisDriver::engineOutputEnded);
}

AnalysisDriver::~AnalysisDriver() = default;

qint32 AnalysisDriver::send(const QString& command)
{
    return m_engine ? m_engine->WriteToEngine(command) : 0;
}

bool AnalysisDriver::Start(const kx::EngineSettings& engine, const Job& job)
{
    Stop();
    m_settings = engine;
    m_job = job;
    solutionPattern = job.bestMoves.trimmed();
    analysisStart.start();
    m_heard = false;
    m_retried = false;
    m_failureReported = false;

    // A path with blanks stays one word when the command line is split again.
    const QString& program = engine.program;
    m_commandLine =
        program.contains(u' ') && !program.startsWith(u'"') ? u'"' + program + u'"' : program;
    if (!engine.arguments.isEmpty())
        m_commandLine += u' ' + engine.arguments;
    if (!m_engine)
        return false;
    m_engine->setPathEngine(m_commandLine);
    // Every waiting line at each tick: a fast engine is shown as it prints.
    m_engine->setAllLinesPerTick(true);
    if (program.trimmed().isEmpty()) {
        fail(tr("No engine is set. Choose one with \"Set Eng\"."));
        return false;
    }
    if (!launch(engine.protocol))
        return false;
    m_silenceTimer.start(m_timing.silenceNotice);
    return true;
}

bool AnalysisDriver::launch(kx::EngineProtocol protocol)
{
    ++m_generation;
    m_openingTimer.stop();
    m_openingPollingTimer.stop();
    m_dialogue.reset();
    // Each answer of the greeting asks for the next command: fast polling
    // keeps the start quick (until a while after the first thinking line).
    m_engine->setTimePolling(m_timing.openingPolling);
    m_openingPolling = true;
    if (!m_engine->StartEngine()) {
        fail(tr("The engine could not be started."));
        return false;
    }
    const EngineDialogue::Send sender = [this](const QString& command) {
        return send(command);
    };
    m_dialogue = MakeEngineDialogue(protocol, sender, m_timing.probeWait, m_timing.answerWait);
    m_state = State::Starting;
    applyOpening(m_dialogue->open());
    return true;
}

void AnalysisDriver::applyOpening(const EngineDialogue::Opening& opening)
{
    switch (opening.step) {
    case EngineDialogue::Opening::Step::Failed:
        fail(opening.failure);
        return;
    case EngineDialogue::Opening::Step::Ready:
        beginAnalysis();
        return;
    case EngineDialogue::Opening::Step::StartAgainInXboard:
        m_retried = true;
        launch(kx::EngineProtocol::Xboard);
        return;
    case EngineDialogue::Opening::Step::Waiting:
        if (opening.wait)
            m_openingTimer.start(*opening.wait);
        return;
    }
}

void AnalysisDriver::openingWaitOver()
{
    if (m_state == State::Starting && m_dialogue)
        applyOpening(m_dialogue->waitOver());
}

void AnalysisDriver::beginAnalysis()
{
    if (m_state != State::Starting)
        return;
    m_openingTimer.stop();
    m_state = State::Analysing;
    m_dialogue->analyse(m_job.fen);
}

void AnalysisDriver::Stop()
{
    ++m_generation;
    for (QTimer* timer :
         {&m_openingTimer, &m_silenceTimer, &m_leaveTimer, &m_stopTimer, &m_openingPollingTimer})
        timer->stop();
    m_state = State::Idle;
    if (m_dialogue && m_engine && m_engine->EngineStarted())
        m_dialogue->close();
    m_dialogue.reset();
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
        m_openingTimer.stop();
        m_state = State::OutOfAnalysis;
        break;
    case State::Analysing:
    case State::LeavingAnalysis:
        if (m_dialogue->leaveAnalysis())
            m_stopTimer.start(m_timing.stopWait);
        // A pending stop still comes; otherwise the engine idles.
        if (m_state == State::Analysing)
            m_state = State::OutOfAnalysis;
        break;
    }
    m_openingPolling = false;
    m_openingPollingTimer.stop();
    if (m_engine)
        m_engine->setTimePolling(m_timing.pollingOutOfAnalysis);
}

void AnalysisDriver::DataFromEngine(const QString& strRead)
{
    if (m_state == State::Idle || !m_dialogue)
        return;
    m_heard = true;
    if (m_state == State::Starting) {
        applyOpening(m_dialogue->opening(strRead));
        return;
    }
    const quint64 generation = m_generation;
    const auto over = [&] {
        return m_generation != generation || m_state == State::Idle;
    };

    const EngineDialogue::Reading reading = m_dialogue->read(strRead);
    if (!reading.error.isEmpty()) {
        fail(reading.error);
        return;
    }
    if (reading.stopped)
        m_stopTimer.stop();
    if (reading.thinking.ok) {
        if (m_openingPolling && !m_openingPollingTimer.isActive())
            m_openingPollingTimer.start(m_timing.openingPollingAfterFirstLine);
        emit variationLine(reading.shown);
        if (over())
            return;
    }
    if (!reading.note.isEmpty()) {
        emit note(reading.note);
        if (over())
            return;
    }
    if (!reading.status.isEmpty()) {
        emit statusLine(reading.status);
        if (over())
            return;
    }
    if (reading.thinking.ok)
        checkGrade(reading.thinking, reading.shown);
}

void AnalysisDriver::usualPolling()
{
    if (std::exchange(m_openingPolling, false) && m_engine)
        m_engine->setTimePolling(m_timing.polling);
}

void AnalysisDriver::silenceNoticeDue()
{
    if (m_state == State::Idle)
        return;
    // An engine that has shown nothing yet is polled as usual from here on.
    if (m_state != State::OutOfAnalysis && !m_openingPollingTimer.isActive())
        usualPolling();
    if (!m_heard)
        emit note(tr("%1 has not answered yet (protocol tried: %2). Still waiting for it.")
                      .arg(m_settings.program, m_dialogue->tried()));
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
    if (m_state == State::Idle)
        return;
    // An xboard engine that ends on "uci" is started again and spoken to in xboard alone.
    const bool early = m_state == State::Starting || m_state == State::Analysing;
    if (early && !m_retried && m_dialogue && m_dialogue->mayRetryAsXboard()) {
        m_retried = true;
        launch(kx::EngineProtocol::Xboard);
        return;
    }
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
