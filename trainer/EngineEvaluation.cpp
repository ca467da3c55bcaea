#include "EngineEvaluation.h"

#include "MoveNotation.h"
#include "NqIEngine.h"

EngineEvaluation::EngineEvaluation(const Timing& timing, QObject* parent)
    : QObject(parent), m_timing(timing), m_engine(std::make_unique<Ostravin::NqIEngine>())
{
    for (QTimer* timer : {&m_openingTimer, &m_readyTimer, &m_analysisTimer})
        timer->setSingleShot(true);
    // The search time is the same for every position, not 5 % either way.
    m_analysisTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_openingTimer, &QTimer::timeout, this, [this] {
        if (m_state == State::Starting && m_dialogue)
            applyOpening(m_dialogue->waitOver());
    });
    connect(&m_readyTimer, &QTimer::timeout, this, [this] {
        if (m_state == State::Starting)
            finish(State::Failed);
    });
    connect(&m_analysisTimer, &QTimer::timeout, this, &EngineEvaluation::timeUp);
    connect(m_engine.get(), &Ostravin::NqIEngine::DataFromEngine, this,
            &EngineEvaluation::DataFromEngine);
    connect(m_engine.get(), &Ostravin::NqIEngine::EngineOutputEnded, this,
            &EngineEvaluation::outputEnded);
}

EngineEvaluation::~EngineEvaluation()
{
    Stop();
}

void EngineEvaluation::Start(const kx::EngineSettings& engine, const QString& fen)
{
    Stop();
    m_settings = engine;
    m_fen = fen;
    m_position = kx::ChessPosition::FromFen(fen);
    m_line = {};
    m_retried = false;
    m_inGrace = false;
    // A path with blanks stays one word when the command line is split again.
    QString command = engine.program;
    if (command.contains(u' ') && !command.startsWith(u'"'))
        command = u'"' + command + u'"';
    if (!engine.arguments.isEmpty())
        command += u' ' + engine.arguments;
    m_engine->setPathEngine(command);
    m_engine->setAllLinesPerTick(true);
    m_readyTimer.start(m_timing.readyWait);
    if (engine.program.trimmed().isEmpty() || !launch(engine.protocol))
        finish(State::Failed);
}

bool EngineEvaluation::launch(kx::EngineProtocol protocol)
{
    m_openingTimer.stop();
    m_dialogue.reset();
    m_engine->setTimePolling(m_timing.polling);
    if (!m_engine->StartEngine())
        return false;
    const EngineDialogue::Send sender = [this](const QString& command) {
        return m_engine->WriteToEngine(command);
    };
    m_dialogue = MakeEngineDialogue(protocol, sender, m_timing.probeWait, m_timing.answerWait);
    m_state = State::Starting;
    applyOpening(m_dialogue->open());
    return true;
}

void EngineEvaluation::applyOpening(const EngineDialogue::Opening& opening)
{
    switch (opening.step) {
    case EngineDialogue::Opening::Step::Failed:
        finish(State::Failed);
        return;
    case EngineDialogue::Opening::Step::Ready:
        m_openingTimer.stop();
        m_readyTimer.stop();
        m_state = State::Ready;
        begin();
        emit ready();
        return;
    case EngineDialogue::Opening::Step::StartAgainInXboard:
        m_retried = true;
        if (!launch(kx::EngineProtocol::Xboard))
            finish(State::Failed);
        return;
    case EngineDialogue::Opening::Step::Waiting:
        if (opening.wait)
            m_openingTimer.start(*opening.wait);
        return;
    }
}

void EngineEvaluation::Analyse(std::chrono::milliseconds time)
{
    m_analyseFor = time;
    begin();
}

void EngineEvaluation::begin()
{
    if (m_state != State::Ready || !m_analyseFor)
        return;
    m_state = State::Analysing;
    m_dialogue->analyse(m_fen);
    m_analysisTimer.start(*m_analyseFor);
}

void EngineEvaluation::DataFromEngine(const QString& line)
{
    if (!m_dialogue)
        return;
    if (m_state == State::Starting) {
        applyOpening(m_dialogue->opening(line));
        return;
    }
    if (m_state != State::Analysing)
        return;
    const EngineDialogue::Reading reading = m_dialogue->read(line);
    if (!reading.error.isEmpty()) {
        finish(State::Failed);
        return;
    }
    // Only a line about this position counts: its first move is legal here.
    if (!reading.thinking.ok || !m_position ||
        !kx::ParseMove(*m_position, reading.thinking.firstMove))
        return;
    m_line = reading.thinking;
    if (m_inGrace)
        finish(State::Done);
}

void EngineEvaluation::timeUp()
{
    if (m_state != State::Analysing)
        return;
    if (m_line.ok) {
        finish(State::Done);
        return;
    }
    // A slow engine may print its first line late; it gets a while more, once.
    if (m_inGrace) {
        finish(State::Failed);
        return;
    }
    m_inGrace = true;
    m_analysisTimer.start(m_timing.lineGrace);
}

void EngineEvaluation::outputEnded()
{
    if (m_state == State::Idle || m_state == State::Done || m_state == State::Failed)
        return;
    // An xboard engine that ends on "uci" is started again and spoken to in xboard alone.
    if (m_state == State::Starting && !m_retried && m_dialogue && m_dialogue->mayRetryAsXboard()) {
        m_retried = true;
        if (launch(kx::EngineProtocol::Xboard))
            return;
    }
    finish(State::Failed);
}

void EngineEvaluation::finish(State state)
{
    closeEngine();
    m_state = state;
    emit finished();
}

void EngineEvaluation::Stop()
{
    closeEngine();
    m_state = State::Idle;
}

void EngineEvaluation::closeEngine()
{
    for (QTimer* timer : {&m_openingTimer, &m_readyTimer, &m_analysisTimer})
        timer->stop();
    m_analyseFor.reset();
    if (m_dialogue && m_engine->EngineStarted()) {
        m_dialogue->close();
        // The control gives an engine told to quit a grace to end, then kills it.
        m_engine->WriteToEngine(QStringLiteral("quit"));
    }
    m_dialogue.reset();
    m_engine->CloseEngine();
}
