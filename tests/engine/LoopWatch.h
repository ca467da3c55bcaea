#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QTimer>

#include <time.h>
#include <unistd.h>

/*
 * Watches the window thread while it lives: the longest time its event loop
 * went without running a 1 ms timer (nested loops count: they answer the
 * window too), the most processor time the thread used within one such gap
 * (on a busy machine a gap may be mostly waiting for a core; this part is
 * the program's own work), and the largest growth of the process's resident
 * memory.
 */
class LoopWatch : public QObject
{
public:
    struct Figures
    {
        qint64 longestPauseMs = 0;
        double longestBusyMs = 0;
        qint64 growthBytes = 0;
    };

    LoopWatch() : m_base(residentBytes()), m_peak(m_base)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, &LoopWatch::tick);
        m_timer.start();
        m_since.start();
        m_cpu = threadCpuMs();
    }

    Figures figures() const { return {m_longestMs, m_longestBusyMs, m_peak - m_base}; }

    static qint64 residentBytes()
    {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly))
            return 0;
        return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
    }

private:
    static double threadCpuMs()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    }

    void tick()
    {
        m_longestMs = qMax(m_longestMs, m_since.restart());
        const double cpu = threadCpuMs();
        m_longestBusyMs = qMax(m_longestBusyMs, cpu - m_cpu);
        m_cpu = cpu;
        m_peak = qMax(m_peak, residentBytes());
    }

    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longestMs = 0;
    double m_cpu = 0;
    double m_longestBusyMs = 0;
    qint64 m_base;
    qint64 m_peak;
};
