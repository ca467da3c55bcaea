#pragma once

#include "ChessPosition.h"
#include "EngineDialogue.h"

#include <QCoreApplication>

#include <optional>

/*
 * The UCI protocol's side of an analysis: "uci" answered by "uciok", then
 * "isready" by "readyok", then "ucinewgame", the position as a FEN and
 * "go infinite". Its info lines become the thinking lines an xboard engine
 * prints, the variation in SAN; "info string" lines are shown as they are.
 * Leaving analysis is "stop", answered by "bestmove"; "quit" goes out once,
 * when the engine is closed.
 */
class UciDialogue : public EngineDialogue
{
    Q_DECLARE_TR_FUNCTIONS(UciDialogue)

public:
    UciDialogue(Send send, std::chrono::milliseconds answerWait);

    QString tried() const override;
    Opening open() override;
    Opening opening(const QString& line) override;
    Opening waitOver() override;
    void analyse(const QString& fen) override;
    Reading read(const QString& line) override;
    bool leaveAnalysis() override;
    void close() override;

private:
    enum class Phase { Greeting, Readying, Ready };

    std::chrono::milliseconds m_answerWait;
    Phase m_phase = Phase::Greeting;
    bool m_heard = false; // the engine has said anything since "uci"
    // The position analysed, to write the engine's moves in SAN; none when its
    // FEN cannot be read, and the moves then stay as the engine wrote them.
    std::optional<kx::ChessPosition> m_position;
    bool m_searching = false;
    bool m_illegalMoveTold = false;
    bool m_quitSent = false;
};
