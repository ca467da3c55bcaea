#pragma once

#include "EngineDialogue.h"
#include "EngineSettings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <chrono>
#include <memory>

namespace Ostravin {
class NqIEngine;
}

/*
 * One engine analysis at a time through the engine control, in the engine's
 * protocol (xboard or UCI, or found out by Auto): the start and its greeting,
 * every line the engine prints (thinking lines to show, status lines, notes,
 * errors), the statistics checks that grade the position (solution found,
 * time up), leaving analysis mode and stopping. What differs between the
 * protocols is an EngineDialogue's; the states, waits and checks are kept
 * here, one set for both. It owns no widget: it reports through signals and
 * the window shows what they carry. Its state is re-checked after every
 * signal, since a receiver may stop or restart the analysis.
 */
class AnalysisDriver : public QObject
{
    Q_OBJECT

public:
    enum class State {
        Idle,            // no engine
        Starting,        // engine started, its greeting not yet answered
        Analysing,       // in analysis mode; lines may grade the position
        LeavingAnalysis, // a check has fired: lines are shown, the stop is due
        OutOfAnalysis,   // taken out of analysis mode: the engine runs on idle
    };
    Q_ENUM(State)

    /// Waits and polling intervals; tests shorten the waits.
    struct Timing
    {
        std::chrono::milliseconds answerWait{2000}; // most time for the greeting's answer
        std::chrono::milliseconds probeWait{300};   // Auto: silence after xboard that brings "uci"
        std::chrono::milliseconds silenceNotice{3000}; // from the start to "not answered yet"
        std::chrono::milliseconds leaveDelay{3000};    // from a found solution to the stop
        std::chrono::milliseconds stopWait{2000};      // most time for "bestmove" after "stop"
        // Polling fast from the start until a while after the first thinking
        // line: the greeting's answers and the engine's first burst of lines
        // are taken as they come rather than a tick apart.
        int openingPolling = 2; // ms
        std::chrono::milliseconds openingPollingAfterFirstLine{1000};
        int polling = 50;               // ms, while analysing
        int pollingOutOfAnalysis = 200; // ms, once out of analysis mode
    };

    /// What one analysis is about.
    struct Job
    {
        QString fen;       // six FEN fields
        QString bestMoves; // "Qg6 Rxb2+"; "" when the solution is not watched for
        bool statsMode = false;
        double timeLimit = 0; // seconds; statistics mode ends an unsolved analysis after it
    };

    explicit AnalysisDriver(Ostravin::NqIEngine* engine, QObject* parent = nullptr);
    ~AnalysisDriver() override;

    void setTiming(const Timing& timing) { m_timing = timing; }
    State state() const { return m_state; }
    /// The engine command line of the latest start.
    QString commandLine() const { return m_commandLine; }

    /// Closes any engine, starts the engine of settings and puts it into
    /// analysis of job. False (and failed raised) when it cannot start.
    bool Start(const kx::EngineSettings& engine, const Job& job);
    /// Ends the engine; back to Idle.
    void Stop();
    /// Takes the engine out of analysis mode, keeping it running.
    void StopEng();

signals:
    /// A thinking line, to be shown.
    void variationLine(const QString& line);
    /// A status line, answer to ".".
    void statusLine(const QString& line);
    /// A line for the output window as it is: the engine's own note, or word
    /// of an engine that keeps the analysis waiting.
    void note(const QString& line);
    /// Statistics mode: this thinking line's first move is a best move.
    void solutionFound(const QString& line);
    /// Statistics mode: the time ran out before the solution was found.
    void timeRanOut();
    /// A check has fired and its stop is due now.
    void finishRequested();
    /// The engine could not start, reported an error or ended: plain words.
    void failed(const QString& message);

private:
    bool launch(kx::EngineProtocol protocol);
    void DataFromEngine(const QString& strRead);
    void engineOutputEnded();
    void applyOpening(const EngineDialogue::Opening& opening);
    void openingWaitOver();
    void beginAnalysis();
    void silenceNoticeDue();
    void usualPolling();
    void checkGrade(const kx::ThinkingLine& thinking, const QString& line);
    void leaveAfterDelay();
    void fail(const QString& what);
    qint32 send(const QString& command);

    QPointer<Ostravin::NqIEngine> m_engine;
    Timing m_timing;
    State m_state = State::Idle;
    // Changes with every start and stop, so a step that raised a signal can
    // tell that its analysis is over.
    quint64 m_generation = 0;
    QString m_commandLine;
    kx::EngineSettings m_settings;
    std::unique_ptr<EngineDialogue> m_dialogue;

    Job m_job;
    // The moves that solve the position; empty when not watched for.
    QString solutionPattern;
    QElapsedTimer analysisStart;
    bool m_heard = false;          // the engine has printed a line
    bool m_openingPolling = false; // polled fast for a quick first line and burst
    bool m_retried = false;        // started again after a probe it may have ended on
    bool m_failureReported = false;
    QTimer m_openingTimer;
    QTimer m_silenceTimer;
    QTimer m_leaveTimer;
    QTimer m_stopTimer;
    QTimer m_openingPollingTimer;
};
