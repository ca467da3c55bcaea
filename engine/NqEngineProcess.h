#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>

#include <memory>
#include <sys/types.h>

class QSocketNotifier;

namespace Ostravin {

/*
 * One engine program running as a child process behind two pipes: the
 * parent writes the engine's standard input through one and reads its
 * standard output and standard error, which share the other. The child runs
 * in a session of its own with no controlling terminal, gets none of the
 * parent's descriptors and starts with default signal handling. Neither end
 * held here ever blocks the window: reads are taken only as far as bytes are
 * waiting, and input the engine is not taking yet is queued (within
 * kMaxPendingInput) and sent when the pipe has room. A dead engine turns
 * writes into 0 bytes instead of a SIGPIPE. Destroying the object kills the
 * engine's process group and reaps the engine, so no process or descriptor
 * outlives it.
 */
class NqEngineProcess : public QObject
{
    Q_OBJECT

public:
    /// Starts arguments[0] (searched in PATH when it holds no slash) with the
    /// remaining arguments; nullptr when nothing could be started.
    static std::unique_ptr<NqEngineProcess> spawn(const QStringList& arguments);
    ~NqEngineProcess() override;

    pid_t processId() const { return m_processId; }

    /// Bytes waiting in the output pipe; 0 when there are none or the pipe failed.
    qint64 bytesAvailable() const;
    /// One byte of output (0..255), or -1 when the read fails.
    int readByte();
    /// Whatever output is waiting, at most maxBytes, without blocking.
    QByteArray readAvailable(qint64 maxBytes);
    /// True once every writer of the output pipe has gone and nothing is left to read.
    bool outputEnded() const;
    /// Hands data to the engine's input without blocking: the bytes accepted,
    /// written now or queued. A part that would overflow the queue is refused.
    qint64 write(const QByteArray& data);

    /// Kills the engine's whole process group.
    void kill();
    /// Reaps the engine if it has ended, after killing whatever is left of its
    /// process group; true once it is gone.
    bool reap();

private:
    NqEngineProcess(pid_t processId, int readFd, int writeFd);
    void flushPending();
    void dropInput();

    pid_t m_processId;
    int m_readFd;
    int m_writeFd;
    bool m_reaped = false;
    QByteArray m_pending;
    QSocketNotifier* m_writeNotifier;
};

} // namespace Ostravin
