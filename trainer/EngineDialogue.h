#pragma once

#include "EngineLine.h"
#include "EngineSettings.h"

#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

/*
 * One protocol's side of an analysis: the greeting and the answers that say
 * the engine is ready, the commands that start the analysis of a position,
 * what each line of an analysing engine means, and how the engine is taken out
 * of analysis and closed. The analysis driver keeps the states, the timers and
 * the statistics checks; a dialogue only sends commands and says what a line,
 * or a wait that ran out, means. It never calls back, so the driver may drop
 * it as soon as any of its calls returns.
 */
class EngineDialogue
{
public:
    /// Sends one command to the engine; the bytes written, 0 when none could be.
    using Send = std::function<qint32(const QString&)>;

    /// Where the opening of the dialogue stands after a line or a wait.
    struct Opening
    {
        enum class Step { Waiting, Ready, Failed, StartAgainInXboard };
        Step step = Step::Waiting;
        /// Waiting: a fresh wait of this length. None keeps the wait under way,
        /// or, once a wait has run out, waits for the engine as long as it takes.
        std::optional<std::chrono::milliseconds> wait;
        QString failure; // Failed: why, in plain words

        static Opening waitFor(std::chrono::milliseconds wait) { return {Step::Waiting, wait, {}}; }
        static Opening keepWaiting() { return {}; }
        static Opening ready() { return {Step::Ready, std::nullopt, {}}; }
        static Opening failed(const QString& why) { return {Step::Failed, std::nullopt, why}; }
        /// The engine speaks xboard but may have been put out by a probe: start it again.
        static Opening startAgainInXboard() { return {Step::StartAgainInXboard, std::nullopt, {}}; }
    };

    /// What one line of an analysing engine means; every part may be empty.
    struct Reading
    {
        kx::ThinkingLine thinking; // ok: a thinking line, shown and checked
        QString shown;             // the thinking line as the output window shows it
        QString status;            // a status line, for the output window's caption
        QString note;              // a line for the output window, shown as it is
        QString error;             // the engine reported an error: the analysis ends
        bool stopped = false;      // the engine has stopped searching
    };

    explicit EngineDialogue(Send send) : m_send(std::move(send)) {}
    virtual ~EngineDialogue() = default;
    EngineDialogue(const EngineDialogue&) = delete;
    EngineDialogue& operator=(const EngineDialogue&) = delete;

    /// The protocols tried so far, as the user reads them: "UCI", "xboard and UCI".
    virtual QString tried() const = 0;
    /// Sends the greeting; the wait for its answer.
    virtual Opening open() = 0;
    /// One line of the engine while the dialogue opens.
    virtual Opening opening(const QString& line) = 0;
    /// The wait last asked for has run out.
    virtual Opening waitOver() = 0;
    /// Sets up the position (six FEN fields) and starts the analysis.
    virtual void analyse(const QString& fen) = 0;
    /// One line of the engine once the analysis has started.
    virtual Reading read(const QString& line) = 0;
    /// Takes the engine out of analysis mode; true when it is to answer that it stopped.
    virtual bool leaveAnalysis() = 0;
    /// The last words to the engine before it is closed.
    virtual void close() = 0;
    /// True when the engine may have ended on a probe it did not know: worth
    /// one start more, spoken to in xboard only.
    virtual bool mayRetryAsXboard() const { return false; }

protected:
    qint32 send(const QString& command) const { return m_send(command); }
    const Send& sender() const { return m_send; }

private:
    Send m_send;
};

/// The dialogue for protocol: xboard, UCI, or Auto finding out which.
std::unique_ptr<EngineDialogue> MakeEngineDialogue(kx::EngineProtocol protocol,
                                                   EngineDialogue::Send send,
                                                   std::chrono::milliseconds probeWait,
                                                   std::chrono::milliseconds answerWait);
