#pragma once

#include "ChessPosition.h"
#include "EngineDialogue.h"
#include "EngineLine.h"
#include "EngineSettings.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

namespace Ostravin {
class NqIEngine;
}

/*
 * One position evaluated by an engine for a fixed time: an engine process of
 * its own, through an engine control of its own, greeted in the engine's
 * protocol (as the analysis does it, through the same dialogues), then set
 * to analyse once asked, and closed when the time is up. The result is the
 * last thinking line heard whose first move is legal in the position. Every
 * wait is bounded: an engine that cannot start, does not get ready, says
 * nothing or ends ends the evaluation as failed.
 */
class EngineEvaluation : public QObject
{
    Q_OBJECT

public:
    enum class State { Idle, Starting, Ready, Analysing, Done, Failed };
    Q_ENUM(State)

    struct Timing
    {
        std::chrono::milliseconds answerWait{2000}; // most time for the greeting's answer
        std::chrono::milliseconds probeWait{300};   // Auto: silence after xboard that brings "uci"
        std::chrono::milliseconds readyWait{5000};  // most time from the start to ready
        std::chrono::milliseconds lineGrace{1000};  // after the time, most wait for a first line
        int polling = 10;                           // ms
    };

    explicit EngineEvaluation(const Timing& timing, QObject* parent = nullptr);
    ~EngineEvaluation() override;

    void setTiming(const Timing& timing) { m_timing = timing; }
    State state() const { return m_state; }
    /// The last usable thinking line; ok is false when none came.
    const kx::ThinkingLine& line() const { return m_line; }

    /// Starts the engine of settings for the position of fen (six fields);
    /// a failure to start is reported with finished().
    void Start(const kx::EngineSettings& engine, const QString& fen);
    /// Analyses for that long once the engine is ready (at once when it is).
    void Analyse(std::chrono::milliseconds time);
    /// Ends the engine without a word; back to Idle.
    void Stop();

signals:
    /// The engine has answered its greeting and can analyse.
    void ready();
    /// The evaluation is Done or has Failed; the engine is closed.
    void finished();

private:
    bool launch(kx::EngineProtocol protocol);
    void applyOpening(const EngineDialogue::Opening& opening);
    void begin();
    void DataFromEngine(const QString& line);
    void outputEnded();
    void timeUp();
    void finish(State state);
    void closeEngine();

    Timing m_timing;
    std::unique_ptr<Ostravin::NqIEngine> m_engine;
    std::unique_ptr<EngineDialogue> m_dialogue;
    State m_state = State::Idle;
    kx::EngineSettings m_settings;
    QString m_fen;
    std::optional<kx::ChessPosition> m_position;
    std::optional<std::chrono::milliseconds> m_analyseFor;
    kx::ThinkingLine m_line;
    bool m_retried = false;
    bool m_inGrace = false;
    QTimer m_openingTimer;
    QTimer m_readyTimer;
    QTimer m_analysisTimer;
};
