#include "NqChildReaper.h"

#include "NqEngineLimits.h"
#include "NqEngineProcess.h"

#include <QDeadlineTimer>
#include <QTimer>

#include <algorithm>

namespace Ostravin {

struct NqChildReaper::Released
{
    std::unique_ptr<NqEngineProcess> process;
    QDeadlineTimer killAt;
    bool killed = false;
};

NqChildReaper::NqChildReaper(QObject* parent) : QObject(parent), m_timer(new QTimer(this))
{
    m_timer->setInterval(kReapInterval);
    connect(m_timer, &QTimer::timeout, this, &NqChildReaper::reapEnded);
}

// Out of line, where Released is complete; the processes' own destructors
// kill and reap what is left.
NqChildReaper::~NqChildReaper() = default;

void NqChildReaper::adopt(std::unique_ptr<NqEngineProcess> process, std::chrono::milliseconds grace)
{
    if (!process)
        return;
    Released entry{std::move(process), QDeadlineTimer(grace)};
    if (grace <= std::chrono::milliseconds::zero()) {
        entry.process->kill();
        entry.killed = true;
    }
    if (entry.process->reap())
        return;
    m_released.push_back(std::move(entry));
    m_timer->start();
}

void NqChildReaper::reapEnded()
{
    for (Released& entry : m_released) {
        if (!entry.killed && entry.killAt.hasExpired() && !entry.process->reap()) {
            entry.process->kill();
            entry.killed = true;
        }
    }
    std::erase_if(m_released, [](const Released& entry) { return entry.process->reap(); });
    if (m_released.empty())
        m_timer->stop();
}

} // namespace Ostravin
