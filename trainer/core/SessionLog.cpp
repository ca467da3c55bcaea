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
    QFile file(logPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return fail(file.errorString());
    const QByteArray data = (reportText + u'\n').toUtf8();
    if (file.write(data) != data.size() || !file.flush())
        return fail(file.errorString());
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    return true;
}

} // namespace kx
