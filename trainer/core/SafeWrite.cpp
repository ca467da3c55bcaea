#include "SafeWrite.h"

#include <QSaveFile>

namespace kx {

bool ReplaceFileContents(const QString& path, const QByteArray& data, QString* reason)
{
    // Unbuffered, and written until done: a buffered QSaveFile does not notice
    // when its final flush runs out of space and would commit a truncated
    // file; written directly, the failing write records the reason and
    // commit() refuses.
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    for (qint64 done = 0; ok && done < data.size();) {
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        ok = n > 0;
        done += n;
    }
    if (ok && file.commit())
        return true;
    if (reason)
        *reason = file.errorString();
    file.cancelWriting();
    return false;
}

} // namespace kx
