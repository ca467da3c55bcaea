#pragma once

#include "Result.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>

/*
 * Opens a suite position in the external chess program (xboard) and brings
 * it into analysis mode: starts it directly, without a shell, then once a
 * second keeps its window in front (xdotool), and at the chosen second sends
 * the keys that start its analysis. The watch ends after a hundred seconds
 * or as soon as the program's window is gone.
 */
class ExternalLauncher : public QObject
{
    Q_OBJECT

public:
    struct Timing
    {
        std::chrono::milliseconds tick{1000};
        int ticks = 100; // how long the window is kept in front
    };

    explicit ExternalLauncher(QObject* parent = nullptr);
    ~ExternalLauncher() override;

    void setTiming(const Timing& timing) { m_timing = timing; }

    /// xboard's arguments for position number position of the suite file
    /// suitePath (an absolute path), with Stockfish when withEngine.
    static QStringList Arguments(bool withEngine, const QString& suitePath,
                                 const QString& position);
    /// The program name found along PATH or in /usr/games; "" when missing.
    static QString FindProgram(const QString& name);

    /// Starts xboard with arguments; the keys go at second waitTime (a whole
    /// number from 1 on; anything else sends none), F2 first when Black is to
    /// move. A failure, with the reason, when nothing could be started.
    kx::Result<> Launch(const QStringList& arguments, double waitTime, bool blackToMove);
    bool watching() const { return m_tickTimer.isActive(); }
    qint64 processId() const { return m_processId; }

signals:
    /// The program's window has been found for the first time.
    void windowSeen();
    /// The watch is over: its hundred seconds are up or the window is gone.
    void finished();

private:
    void tick();
    void activate(const QString& window);
    void sendKeys();
    void end();
    bool programAlive() const;
    /// Runs xdotool with arguments, then calls done with its exit code and output.
    void xdotool(const QStringList& arguments, std::function<void(int, const QByteArray&)> done);

    Timing m_timing;
    QTimer m_tickTimer;
    QString m_xdotool;
    qint64 m_processId = 0;
    int m_counter = 0;
    int m_keysAt = 0; // 0: no keys
    bool m_blackToMove = false;
    bool m_keysSent = false;
    bool m_windowSeen = false;
    bool m_busy = false;
    QString m_window;
};
