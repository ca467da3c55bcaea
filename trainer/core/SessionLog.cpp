#include "SessionLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kx {

bool AppendSessionLog(const QString& logPath, const QString& reportText, QString* error)
{
    auto fail = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("Cannot write the session log %1: %2").arg(logPath, reason);
        return false;
    };
    const QString folder = QFileInfo(logPath).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("the folder %1 cannot be created").arg(folder));
    // Append mode: whatever the log holds stays, even if this write fails.
    // Unbuffered and written until done, so that a full disk is reported with
    // its reason instead of being lost in a late flush.
    QFile file(logPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return fail(file.errorString());
    const QByteArray data = (reportText + u'\n').toUtf8();
    for (qint64 done = 0; done < data.size();) {
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        if (n <= 0)
            return fail(file.errorString());
        done += n;
    }
    return true;
}

} // namespace kx
