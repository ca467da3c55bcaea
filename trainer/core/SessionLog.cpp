#include "SessionLog.h"

#include "SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kx {

namespace {

// Holds an exclusive lock on a folder while it lives, so that two trainers
// ending sessions at the same moment write the log one after the other.
class FolderLock
{
public:
    explicit FolderLock(const QString& folder)
        : m_fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (m_fd >= 0)
            ::flock(m_fd, LOCK_EX);
    }
    ~FolderLock()
    {
        if (m_fd >= 0)
            ::close(m_fd); // releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd;
};

} // namespace

Result<> AppendSessionLog(const QString& logPath, const QString& reportText)
{
    auto fail = [&](const QString& reason) {
        return Fail(QStringLiteral("Cannot write the session log %1: %2").arg(logPath, reason));
    };
    const QString folder = QFileInfo(logPath).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("the folder %1 cannot be created").arg(folder));
    const FolderLock lock(folder);

    // The log is written anew with the session at its end, and the new file
    // takes the old one's place only once it is complete. An append in place
    // that a kill, a crash or a full disk cut short would leave half a session
    // in the log for good; this way the log is the old one or the new one.
    QByteArray data;
    QFile existing(logPath);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return fail(existing.errorString());
        data = existing.readAll();
        if (existing.error() != QFileDevice::NoError)
            return fail(existing.errorString());
        existing.close();
    }
    data += (reportText + u'\n').toUtf8();
    const Result<> written = ReplaceFileContents(logPath, data);
    if (!written)
        return fail(written.error());
    return {};
}

} // namespace kx
