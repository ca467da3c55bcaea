#pragma once

#include <QElapsedTimer>

#include <chrono>
#include <functional>

/*
 * Lets window events run now and then during a long loop on the window
 * thread, so the window repaints and stays closable, without letting event
 * processing at every step cost more than the work itself. After events ran
 * it asks whether the loop should stop (the window was closed meanwhile).
 */
class EventPump
{
public:
    static constexpr std::chrono::milliseconds kDefaultInterval{15};

    explicit EventPump(std::function<bool()> stopped,
                       std::chrono::milliseconds interval = kDefaultInterval);

    /// Runs pending events once the interval has passed since they last ran;
    /// false when the loop should stop.
    bool operator()();
    /// Runs pending events now; false when the loop should stop.
    bool now();

private:
    std::function<bool()> m_stopped;
    std::chrono::milliseconds m_interval;
    QElapsedTimer m_since;
};
