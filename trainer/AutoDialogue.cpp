#include "AutoDialogue.h"

#include "UciLine.h"

#include <algorithm>

AutoDialogue::AutoDialogue(Send send, std::chrono::milliseconds probeWait,
                           std::chrono::milliseconds answerWait)
    : EngineDialogue(send), m_probeWait(probeWait), m_answerWait(answerWait),
      m_xboard(send, answerWait), m_uci(send, answerWait)
{
}

QString AutoDialogue::tried() const
{
    return m_uciSent ? QStringLiteral("xboard and UCI") : QStringLiteral("xboard");
}

EngineDialogue::Opening AutoDialogue::open()
{
    m_xboard.open();
    m_sinceGreeting.start();
    return Opening::waitFor(m_probeWait);
}

EngineDialogue::Opening AutoDialogue::sendUci()
{
    m_uciSent = true;
    return m_uci.open();
}

EngineDialogue::Opening AutoDialogue::speakXboard(const Opening& xboardOpening)
{
    m_chosen = &m_xboard;
    if (xboardOpening.step != Opening::Step::Waiting || xboardOpening.wait)
        return xboardOpening;
    // What is left of the xboard greeting's wait, as if xboard had been chosen at once.
    const auto left = m_answerWait - std::chrono::milliseconds(m_sinceGreeting.elapsed());
    return Opening::waitFor(std::max(left, std::chrono::milliseconds(1)));
}

EngineDialogue::Opening AutoDialogue::opening(const QString& line)
{
    if (m_chosen)
        return m_chosen->opening(line);
    if (m_uciSent && kx::IsUciGreeting(line)) {
        m_chosen = &m_uci;
        return m_uci.opening(line);
    }
    const Opening xboard = m_xboard.opening(line);
    if (m_xboard.heardFeatures())
        return m_uciSent ? Opening::startAgainInXboard() : speakXboard(xboard);
    if (xboard.step == Opening::Step::Failed || m_uciSent)
        return xboard;
    if (kx::RefusesXboardGreeting(line))
        return sendUci();
    // A banner or a notice: the silence that brings "uci" starts again, so an
    // xboard engine still getting ready is not asked, within the greeting's wait.
    const auto left = m_answerWait - std::chrono::milliseconds(m_sinceGreeting.elapsed());
    if (left <= std::chrono::milliseconds::zero())
        return sendUci();
    return Opening::waitFor(std::min(m_probeWait, left));
}

EngineDialogue::Opening AutoDialogue::waitOver()
{
    if (m_chosen)
        return m_chosen->waitOver();
    if (!m_uciSent)
        return sendUci();
    // Neither greeting answered: an xboard engine that announces nothing.
    m_chosen = &m_xboard;
    return m_xboard.waitOver();
}

void AutoDialogue::analyse(const QString& fen)
{
    // The driver analyses only once the opening is over, and it is never
    // over undecided; xboard is what an undecided engine would be taken for.
    if (!m_chosen)
        m_chosen = &m_xboard;
    m_chosen->analyse(fen);
}

EngineDialogue::Reading AutoDialogue::read(const QString& line)
{
    return m_chosen ? m_chosen->read(line) : Reading{};
}

bool AutoDialogue::leaveAnalysis()
{
    return m_chosen && m_chosen->leaveAnalysis();
}

void AutoDialogue::close()
{
    if (m_chosen)
        m_chosen->close();
}

bool AutoDialogue::mayRetryAsXboard() const
{
    // Sent "uci", and heard from it neither as an xboard nor as a UCI engine.
    return m_uciSent && m_chosen != &m_uci && !m_xboard.heardFeatures();
}
