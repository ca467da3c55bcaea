#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QTimer>

#include <unistd.h>

/*
 * Watches the window thread while it lives: the longest time its event loop
 * went without running a 1 ms timer (nested loops count: they answer the
 * window too), and the largest growth of the process's resident memory.
 */
class LoopWatch : public QObject
{
public:
    struct Figures
    {
        qint64 longestPauseMs = 0;
        qint64 growthBytes = 0;
    };

    LoopWatch() : m_base(residentBytes()), m_peak(m_base)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, &LoopWatch::tick);
        m_timer.start();
        m_since.start();
    }

    Figures figures() const { return {m_longestMs, m_peak - m_base}; }

    static qint64 residentBytes()
    {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly))
            return 0;
        return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
    }

private:
    void tick()
    {
        m_longestMs = qMax(m_longestMs, m_since.restart());
        m_peak = qMax(m_peak, residentBytes());
    }

    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longestMs = 0;
    qint64 m_base;
    qint64 m_peak;
};
