#pragma once

#include "UciDialogue.h"
#include "XboardDialogue.h"

#include <QElapsedTimer>

/*
 * Finds out which protocol the engine speaks, then speaks it. The xboard
 * greeting goes first, since an xboard engine may end on a command it does
 * not know while a UCI engine only ignores or refuses it. A feature line means
 * xboard. A refusal of the greeting, or a short silence, brings "uci": an
 * "id", "option" or "uciok" line then means UCI. An engine that answers
 * neither within the greeting's wait is taken for an xboard engine of the
 * first protocol version, which announces nothing. An xboard engine that
 * announces its features only after "uci" went out (a slow start) may have
 * been put out by it, and is started again.
 */
class AutoDialogue : public EngineDialogue
{
public:
    /// probeWait: the silence after the xboard greeting that brings "uci";
    /// answerWait: the most either greeting is waited for.
    AutoDialogue(Send send, std::chrono::milliseconds probeWait,
                 std::chrono::milliseconds answerWait);

    QString tried() const override;
    Opening open() override;
    Opening opening(const QString& line) override;
    Opening waitOver() override;
    void analyse(const QString& fen) override;
    Reading read(const QString& line) override;
    bool leaveAnalysis() override;
    void close() override;
    bool mayRetryAsXboard() const override;

private:
    Opening sendUci();
    Opening speakXboard(const Opening& xboardOpening);

    std::chrono::milliseconds m_probeWait;
    std::chrono::milliseconds m_answerWait;
    XboardDialogue m_xboard;
    UciDialogue m_uci;
    EngineDialogue* m_chosen = nullptr;
    bool m_uciSent = false;
    QElapsedTimer m_sinceGreeting;
};
