#include "EventPump.h"

#include <QCoreApplication>

EventPump::EventPump(std::function<bool()> stopped, std::chrono::milliseconds interval)
    : m_stopped(std::move(stopped)), m_interval(interval)
{
    m_since.start();
}

bool EventPump::operator()()
{
    if (m_since.elapsed() < m_interval.count())
        return true;
    return now();
}

bool EventPump::now()
{
    QCoreApplication::processEvents();
    m_since.restart();
    return !m_stopped();
}
