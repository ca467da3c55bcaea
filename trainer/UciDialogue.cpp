#include "UciDialogue.h"

#include "UciLine.h"

#include <QStringList>

#include <utility>

UciDialogue::UciDialogue(Send send, std::chrono::milliseconds answerWait)
    : EngineDialogue(std::move(send)), m_answerWait(answerWait)
{
}

QString UciDialogue::tried() const
{
    return QStringLiteral("UCI");
}

EngineDialogue::Opening UciDialogue::open()
{
    send(QStringLiteral("uci"));
    return Opening::waitFor(m_answerWait);
}

EngineDialogue::Opening UciDialogue::opening(const QString& line)
{
    m_heard = true;
    const QString word = line.trimmed();
    if (m_phase == Phase::Greeting && word == u"uciok") {
        m_phase = Phase::Readying;
        send(QStringLiteral("isready"));
        return Opening::waitFor(m_answerWait);
    }
    if (m_phase == Phase::Readying && word == u"readyok") {
        m_phase = Phase::Ready;
        return Opening::ready();
    }
    return Opening::keepWaiting();
}

EngineDialogue::Opening UciDialogue::waitOver()
{
    if (m_phase == Phase::Readying) {
        // Commands are taken in order: one that is slow to get ready starts when it is.
        m_phase = Phase::Ready;
        return Opening::ready();
    }
    // An engine that says nothing at all may still be starting; one that
    // talks but never says uciok does not speak UCI.
    if (!m_heard)
        return Opening::keepWaiting();
    return Opening::failed(
        tr("The engine did not answer \"uci\" with \"uciok\" within %1 seconds: it may not "
           "speak UCI. Choose its protocol in \"Set Eng\".")
            .arg(double(m_answerWait.count()) / 1000));
}

void UciDialogue::analyse(const QString& fen)
{
    m_position = kx::ChessPosition::FromFen(fen);
    send(QStringLiteral("ucinewgame"));
    send(QStringLiteral("position fen ") + fen);
    send(QStringLiteral("go infinite"));
    m_searching = true;
}

EngineDialogue::Reading UciDialogue::read(const QString& line)
{
    Reading reading;
    if (line.startsWith(QLatin1String("bestmove")) && (line.size() == 8 || line.at(8).isSpace())) {
        m_searching = false;
        reading.stopped = true;
        return reading;
    }
    const kx::UciThinking info = kx::ReadUciInfo(line, m_position);
    if (info.infoString)
        reading.note = line.trimmed();
    if (info.thinking.ok) {
        reading.thinking = info.thinking;
        reading.shown = info.text;
    }
    // Told once: an engine that gets one move wrong tends to repeat it in every line.
    if (!info.illegalMove.isEmpty() && !std::exchange(m_illegalMoveTold, true))
        reading.note = tr("The engine's line holds a move that is not legal there: %1. Its "
                          "lines are shown up to such a move.")
                           .arg(info.illegalMove);
    return reading;
}

bool UciDialogue::leaveAnalysis()
{
    if (!std::exchange(m_searching, false))
        return false;
    send(QStringLiteral("stop"));
    return true;
}

void UciDialogue::close()
{
    // "quit" alone ends a search as well; "stop" first lets the engine end it
    // as it would anyway. The engine control gives it a grace to end, then kills it.
    if (m_searching)
        send(QStringLiteral("stop"));
    m_searching = false;
    if (!std::exchange(m_quitSent, true))
        send(QStringLiteral("quit"));
}
