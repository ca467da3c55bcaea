#include "Paths.h"

#include <QCoreApplication>
#include <QDir>

namespace kx {

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString DataFolder()
{
    const QString home = qEnvironmentVariable("KESTRELUX_HOME");
    if (!home.isEmpty())
        return home;
    return QDir::homePath() + QStringLiteral("/.local/share/pomvel/kestrelux");
}

} // namespace kx
