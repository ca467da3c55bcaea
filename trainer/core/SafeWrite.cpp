#include "SafeWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

namespace kx {

namespace {

// A renamed file is on disk only once its folder is: without this, a power
// cut soon after a save reported done could bring the old file back.
void syncFolderOf(const QString& path)
{
    const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    ::fsync(folder);
    ::close(folder);
}

} // namespace

Result<> ReplaceFileContents(const QString& path, const QByteArray& data)
{
    // Unbuffered, and written until done: a buffered QSaveFile does not notice
    // when its final flush runs out of space and would commit a truncated
    // file; written directly, the failing write records the reason and
    // commit() refuses. commit() syncs the new file before it takes the old
    // one's place.
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    for (qint64 done = 0; ok && done < data.size();) {
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        ok = n > 0;
        done += n;
    }
    if (ok && file.commit()) {
        syncFolderOf(path);
        return {};
    }
    const QString reason = file.errorString();
    file.cancelWriting();
    return Fail(reason);
}

} // namespace kx
