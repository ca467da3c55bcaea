#pragma once

#include "EngineLine.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <chrono>

namespace Ostravin {
class NqIEngine;
}

/*
 * One engine analysis at a time, spoken over the xboard protocol through the
 * engine control: the start and its handshake, every line the engine prints
 * (thinking lines to show, status lines, refusals, errors), the statistics
 * checks that grade the position (solution found, time up), leaving analysis
 * mode and stopping. It owns no widget: it reports through signals and the
 * window shows what they carry. Its state is re-checked after every signal,
 * since a receiver may stop or restart the analysis.
 */
class AnalysisDriver : public QObject
{
    Q_OBJECT

public:
    enum class State {
        Idle,            // no engine
        Starting,        // engine started, waiting for its features
        Analysing,       // in analysis mode; lines may grade the position
        LeavingAnalysis, // a check has fired: lines are shown, the stop is due
        OutOfAnalysis,   // "exit" sent: the engine runs outside analysis mode
    };
    Q_ENUM(State)

    /// Waits and polling intervals; tests shorten the waits.
    struct Timing
    {
        std::chrono::milliseconds featureWait{2000}; // most time for "feature ... done=1"
        std::chrono::milliseconds leaveDelay{3000};  // from a found solution to the stop
        int polling = 50;                            // ms, while analysing
        int pollingOutOfAnalysis = 200;              // ms, after "exit"
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

    /// Closes any engine, starts program with its arguments and puts it into
    /// analysis of job. False (and failed raised) when it cannot start.
    bool Start(const QString& program, const QString& arguments, const Job& job);
    /// Ends the engine; back to Idle.
    void Stop();
    /// Takes the engine out of analysis mode, keeping it running. "exit" goes out once.
    void StopEng();

signals:
    /// A thinking line, to be shown.
    void variationLine(const QString& line);
    /// A status line, answer to ".".
    void statusLine(const QString& line);
    /// Statistics mode: this thinking line's first move is a best move.
    void solutionFound(const QString& line);
    /// Statistics mode: the time ran out before the solution was found.
    void timeRanOut();
    /// A check has fired and its stop is due now.
    void finishRequested();
    /// The engine could not start, reported an error or ended: plain words.
    void failed(const QString& message);

private:
    void DataFromEngine(const QString& strRead);
    void engineOutputEnded();
    void sendAnalysisCommands();
    void answerWithStatusRequest(const QString& line);
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

    Job m_job;
    // The moves that solve the position; empty when not watched for.
    QString solutionPattern;
    QElapsedTimer analysisStart;
    kx::EngineFeatures m_features;
    bool m_statusPending = false;  // a "." is waiting for its answer
    bool m_statusRejected = false; // the engine refuses "."
    bool m_exitSent = false;
    bool m_failureReported = false;
    QTimer m_featureTimer;
    QTimer m_leaveTimer;
};
