#include "XboardDialogue.h"

#include <utility>

namespace {

const QString kTellUserError = QStringLiteral("tellusererror");
const QString kStatus = QStringLiteral("stat");

} // namespace

XboardDialogue::XboardDialogue(Send send, std::chrono::milliseconds featureWait)
    : EngineDialogue(std::move(send)), m_featureWait(featureWait)
{
}

QString XboardDialogue::tried() const
{
    return QStringLiteral("xboard");
}

QString XboardDialogue::userError(const QString& line)
{
    if (!line.contains(kTellUserError))
        return {};
    return tr("The engine reported an error: %1").arg(line.section(kTellUserError, 1).trimmed());
}

EngineDialogue::Opening XboardDialogue::open()
{
    send(QStringLiteral("xboard"));
    send(QStringLiteral("protover 2"));
    return Opening::waitFor(m_featureWait);
}

EngineDialogue::Opening XboardDialogue::opening(const QString& line)
{
    if (const QString error = userError(line); !error.isEmpty())
        return Opening::failed(error);
    if (!kx::ReadFeatures(line, m_features))
        return Opening::keepWaiting();
    m_heardFeatures = true;
    return m_features.done ? Opening::ready() : Opening::keepWaiting();
}

EngineDialogue::Opening XboardDialogue::waitOver()
{
    // An engine of the first protocol version announces nothing: take it as it is.
    return Opening::ready();
}

void XboardDialogue::analyse(const QString& fen)
{
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
        send(QStringLiteral("setboard ") + fen);
    } else {
        for (const QString& command : kx::EditModeCommands(fen))
            send(command);
    }
    send(QStringLiteral("analyze"));
    send(QStringLiteral("."));
    m_statusPending = true;
}

EngineDialogue::Reading XboardDialogue::read(const QString& line)
{
    Reading reading;
    reading.error = userError(line);
    if (!reading.error.isEmpty())
        return reading;
    // A status line answers the request out, so the next may go.
    const bool status = line.contains(kStatus);
    if (status) {
        m_statusPending = false;
        reading.status = line;
    }
    answerWithStatusRequest(line);
    reading.thinking = kx::ReadThinkingLine(line);
    if (reading.thinking.ok)
        reading.shown = line;
    return reading;
}

void XboardDialogue::answerWithStatusRequest(const QString& line)
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

bool XboardDialogue::leaveAnalysis()
{
    // A second "exit" outside analysis mode ends several engines.
    if (!std::exchange(m_exitSent, true))
        send(QStringLiteral("exit"));
    return false;
}
