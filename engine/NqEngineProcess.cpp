#include "NqEngineProcess.h"

#include "NqEngineLimits.h"

#include <QFile>
#include <QScopeGuard>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace Ostravin {

namespace {

// A descriptor closed when it goes out of scope.
class UniqueFd
{
public:
    UniqueFd() = default;
    ~UniqueFd() { reset(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

// A pipe whose ends are never inherited and lie above the standard
// descriptors, so that placing the child's ends on 0, 1 and 2 cannot
// overwrite one another even in a host started with some of those closed.
bool makePipe(UniqueFd& readEnd, UniqueFd& writeEnd)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    readEnd.reset(fds[0]);
    writeEnd.reset(fds[1]);
    for (UniqueFd* end : {&readEnd, &writeEnd}) {
        if (end->get() <= STDERR_FILENO) {
            const int moved = ::fcntl(end->get(), F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
            if (moved < 0)
                return false;
            end->reset(moved);
        }
    }
    return true;
}

// The file the engine's first word names: itself when it holds a slash,
// otherwise the first executable of that name along PATH. Checked here rather
// than left to the exec, since not every way a process gets started reports
// a failed exec back (an emulated vfork under a debugger or valgrind does not).
QByteArray findProgram(const QByteArray& name)
{
    const auto runnable = [](const QByteArray& path) {
        struct stat info
        {
        };
        return ::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
               ::access(path.constData(), X_OK) == 0;
    };
    if (name.contains('/'))
        return runnable(name) ? name : QByteArray();

    QByteArray searchPath = qgetenv("PATH");
    if (searchPath.isNull()) {
        searchPath.resize(qsizetype(::confstr(_CS_PATH, nullptr, 0)));
        ::confstr(_CS_PATH, searchPath.data(), size_t(searchPath.size()));
        searchPath.chop(1); // the terminating zero
    }
    for (const QByteArray& folder : searchPath.split(':')) {
        // An empty entry stands for the current folder.
        const QByteArray candidate = (folder.isEmpty() ? QByteArray(".") : folder) + '/' + name;
        if (runnable(candidate))
            return candidate;
    }
    return {};
}

bool setNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// write() with SIGPIPE held back: a dead engine must show as EPIPE, not end
// the host. The signal is blocked only around the call, so the host's own
// handling of SIGPIPE stays as it was.
ssize_t writeWithoutSigpipe(int fd, const char* data, size_t size)
{
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t pendingBefore;
    sigpending(&pendingBefore);
    sigset_t oldMask;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &oldMask);

    ssize_t written;
    do {
        written = ::write(fd, data, size);
    } while (written < 0 && errno == EINTR);
    const int writeError = errno;

    if (written < 0 && writeError == EPIPE && !sigismember(&pendingBefore, SIGPIPE)) {
        // Consume the SIGPIPE this write raised before unblocking.
        const timespec noWait{};
        while (sigtimedwait(&pipeSignal, nullptr, &noWait) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
    errno = writeError;
    return written;
}

} // namespace

std::unique_ptr<NqEngineProcess> NqEngineProcess::spawn(const QStringList& arguments)
{
    if (arguments.isEmpty() || arguments.first().isEmpty())
        return nullptr;

    std::vector<QByteArray> encoded;
    encoded.reserve(size_t(arguments.size()));
    for (const QString& argument : arguments)
        encoded.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    argv.reserve(encoded.size() + 1);
    for (QByteArray& argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const QByteArray program = findProgram(encoded.front());
    if (program.isEmpty())
        return nullptr;

    UniqueFd inputRead, inputWrite, outputRead, outputWrite;
    if (!makePipe(inputRead, inputWrite) || !makePipe(outputRead, outputWrite))
        return nullptr;
    if (!setNonBlocking(inputWrite.get()) || !setNonBlocking(outputRead.get()))
        return nullptr;

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return nullptr;
    const auto destroyActions = qScopeGuard([&] { posix_spawn_file_actions_destroy(&actions); });
    posix_spawn_file_actions_adddup2(&actions, inputRead.get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputWrite.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputWrite.get(), STDERR_FILENO);
#if defined(__GLIBC__)
#if __GLIBC_PREREQ(2, 34)
    // Descriptors the host opened without close-on-exec stay with the host.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
#endif
#endif

    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0)
        return nullptr;
    const auto destroyAttributes = qScopeGuard([&] { posix_spawnattr_destroy(&attributes); });
    // A session of its own: no controlling terminal, and the engine's helpers
    // share its process group, so one kill ends them all. Signals the host
    // ignores or blocks (SIGPIPE above all) are reset for the engine.
    sigset_t noSignals;
    sigemptyset(&noSignals);
    sigset_t allSignals;
    sigfillset(&allSignals);
    posix_spawnattr_setsigmask(&attributes, &noSignals);
    posix_spawnattr_setsigdefault(&attributes, &allSignals);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t processId = 0;
    if (posix_spawn(&processId, program.constData(), &actions, &attributes, argv.data(), environ) !=
        0)
        return nullptr;

    // The child's ends close here with their holders.
    return std::unique_ptr<NqEngineProcess>(
        new NqEngineProcess(processId, outputRead.release(), inputWrite.release()));
}

NqEngineProcess::NqEngineProcess(pid_t processId, int readFd, int writeFd)
    : m_processId(processId), m_readFd(readFd), m_writeFd(writeFd),
      m_writeNotifier(new QSocketNotifier(writeFd, QSocketNotifier::Write, this))
{
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &NqEngineProcess::flushPending);
}

NqEngineProcess::~NqEngineProcess()
{
    if (!m_reaped) {
        // Killed processes end at once, so this wait is short.
        kill();
        while (::waitpid(m_processId, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    dropInput();
    ::close(m_readFd);
}

qint64 NqEngineProcess::bytesAvailable() const
{
    int available = 0;
    if (::ioctl(m_readFd, FIONREAD, &available) != 0)
        return 0;
    return available;
}

int NqEngineProcess::readByte()
{
    unsigned char byte = 0;
    ssize_t got;
    do {
        got = ::read(m_readFd, &byte, 1);
    } while (got < 0 && errno == EINTR);
    return got == 1 ? byte : -1;
}

QByteArray NqEngineProcess::readAvailable(qint64 maxBytes)
{
    QByteArray bytes(qMax<qint64>(qMin(bytesAvailable(), maxBytes), 0), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(m_readFd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}

bool NqEngineProcess::outputEnded() const
{
    pollfd output{m_readFd, POLLIN, 0};
    if (::poll(&output, 1, 0) < 0)
        return false;
    // A hang-up with bytes still waiting is not the end yet.
    return (output.revents & (POLLHUP | POLLERR)) && bytesAvailable() == 0;
}

qint64 NqEngineProcess::write(const QByteArray& data)
{
    if (m_writeFd < 0 || data.isEmpty())
        return 0;
    qint64 written = 0;
    if (m_pending.isEmpty()) {
        const ssize_t result =
            writeWithoutSigpipe(m_writeFd, data.constData(), size_t(data.size()));
        if (result < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            dropInput(); // the engine has closed its input: nothing will reach it
            return 0;
        }
        written = qMax<ssize_t>(result, 0);
    }
    const qint64 rest = data.size() - written;
    if (rest == 0)
        return written;
    if (m_pending.size() + rest > kMaxPendingInput)
        return written;
    m_pending.append(data.constData() + written, rest);
    m_writeNotifier->setEnabled(true);
    return data.size();
}

void NqEngineProcess::flushPending()
{
    const ssize_t result =
        writeWithoutSigpipe(m_writeFd, m_pending.constData(), size_t(m_pending.size()));
    if (result < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            dropInput();
        return;
    }
    m_pending.remove(0, result);
    if (m_pending.isEmpty())
        m_writeNotifier->setEnabled(false);
}

void NqEngineProcess::dropInput()
{
    m_pending.clear();
    if (m_writeFd < 0)
        return;
    m_writeNotifier->setEnabled(false);
    ::close(m_writeFd);
    m_writeFd = -1;
}

void NqEngineProcess::kill()
{
    // The group shares the engine's id while the engine is unreaped, so this
    // can never hit an unrelated process.
    if (!m_reaped)
        ::kill(-m_processId, SIGKILL);
}

bool NqEngineProcess::reap()
{
    if (m_reaped)
        return true;
    // Seen ended but left unreaped, the engine still holds its process group
    // id, so the helpers it leaves behind can be killed without any risk of
    // hitting a process that took the id over.
    siginfo_t ended{};
    int result;
    do {
        result = ::waitid(P_PID, id_t(m_processId), &ended, WEXITED | WNOHANG | WNOWAIT);
    } while (result < 0 && errno == EINTR);
    if (result == 0 && ended.si_pid == 0)
        return false;
    if (result == 0)
        ::kill(-m_processId, SIGKILL);
    pid_t reaped;
    do {
        reaped = ::waitpid(m_processId, nullptr, WNOHANG);
    } while (reaped < 0 && errno == EINTR);
    // ECHILD: a host that ignores SIGCHLD has it reaped by the system.
    m_reaped = reaped == m_processId || (reaped < 0 && errno == ECHILD);
    return m_reaped;
}

} // namespace Ostravin
