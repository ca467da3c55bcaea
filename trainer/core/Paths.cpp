#include "Paths.h"

#include "SafeWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef KX_SHIPPED_FROM_PROGRAM
#define KX_SHIPPED_FROM_PROGRAM "../share/kestrelux"
#endif

namespace kx {

namespace {

QString settingsIn(const QString& folder)
{
    return QDir(folder).filePath(QLatin1String(kSettingsFileName));
}

SettingsFacts probeSettings(const QString& programFolder, const QString& dataFolder)
{
    const QFileInfo programFile(settingsIn(programFolder));
    SettingsFacts facts;
    facts.programHasFile = programFile.isFile();
    // The file is replaced through a temporary file beside it, so its folder
    // must be writable too.
    facts.programWritable =
        facts.programHasFile && programFile.isWritable() && QFileInfo(programFolder).isWritable();
    facts.dataHasFile = QFileInfo(settingsIn(dataFolder)).isFile();
    facts.shippedDefault = QFileInfo(settingsIn(ShippedFolder(programFolder))).isFile();
    return facts;
}

} // namespace

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString DataFolder()
{
    const QString home = qEnvironmentVariable("KESTRELUX_HOME");
    if (!home.isEmpty())
        return home;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/pomvel/kestrelux");
}

QString ShippedFolder(const QString& programFolder)
{
    return QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral(KX_SHIPPED_FROM_PROGRAM)));
}

QStringList SuiteFolders(const QString& programFolder, const QString& dataFolder)
{
    return {dataFolder, programFolder, ShippedFolder(programFolder)};
}

SettingsChoice ChooseSettings(const SettingsFacts& facts)
{
    if (facts.programHasFile && facts.programWritable)
        return {false, SettingsSeed::None};
    if (facts.dataHasFile)
        return {true, SettingsSeed::None};
    // The program folder's file, even read-only, says how this copy was set
    // up; it makes a better start than the general default.
    if (facts.programHasFile)
        return {true, SettingsSeed::ProgramFile};
    return {true, facts.shippedDefault ? SettingsSeed::ShippedDefault : SettingsSeed::None};
}

QString SettingsFile(const QString& programFolder, const QString& dataFolder)
{
    const SettingsChoice choice = ChooseSettings(probeSettings(programFolder, dataFolder));
    return settingsIn(choice.inDataFolder ? dataFolder : programFolder);
}

Result<> SeedSettingsFile(const QString& programFolder, const QString& dataFolder)
{
    const SettingsChoice choice = ChooseSettings(probeSettings(programFolder, dataFolder));
    if (choice.seed == SettingsSeed::None)
        return {};
    const QString from = settingsIn(
        choice.seed == SettingsSeed::ProgramFile ? programFolder : ShippedFolder(programFolder));
    const QString to = settingsIn(dataFolder);

    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("Cannot read the default settings file %1: %2")
                        .arg(from, source.errorString()));
    const QByteArray content = source.readAll();
    if (!QDir().mkpath(dataFolder))
        return Fail(QStringLiteral("Cannot create the folder %1").arg(dataFolder));
    // Written afresh rather than copied, so the new file is the user's to
    // change even when the default is read-only; all or nothing.
    const Result<> written = ReplaceFileContents(to, content);
    if (!written)
        return Fail(
            QStringLiteral("Cannot create the settings file %1: %2").arg(to, written.error()));
    return {};
}

} // namespace kx
