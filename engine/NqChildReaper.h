#pragma once

#include <QObject>

#include <chrono>
#include <memory>
#include <vector>

class QTimer;

namespace Ostravin {

class NqEngineProcess;

/*
 * Looks after engine processes the control no longer uses: one told to quit,
 * which should end by itself, and one just killed, which has yet to be
 * reaped. Each is reaped as soon as it ends, and killed once its grace time
 * has passed, so neither a zombie nor a pipe descriptor is left behind and
 * the window never waits for a process. Whatever is still here when the
 * reaper is destroyed is killed and reaped on the spot.
 */
class NqChildReaper : public QObject
{
    Q_OBJECT

public:
    explicit NqChildReaper(QObject* parent = nullptr);
    ~NqChildReaper() override;

    /// Takes over a process; it is killed once grace has passed (at once for zero).
    void adopt(std::unique_ptr<NqEngineProcess> process, std::chrono::milliseconds grace);

private:
    void reapEnded();

    struct Released;
    std::vector<Released> m_released;
    QTimer* m_timer;
};

} // namespace Ostravin
