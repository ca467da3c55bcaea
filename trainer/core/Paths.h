#pragma once

#include "Result.h"

#include <QString>
#include <QStringList>

/*
 * Where the trainer finds and keeps its files. The program folder holds the
 * executable; run from the build it also holds the suites and Kestrelux.ini.
 * An installed program finds its suites and default settings in the shipped
 * folder (share/kestrelux beside its bin folder) and keeps the user's files in
 * the data folder: session log, statistics files, the statistics-mode marker,
 * the user's own suites and, when the program folder has none it may rewrite,
 * the settings file.
 */
namespace kx {

/// The folder holding the running executable.
QString ProgramFolder();
/// $KESTRELUX_HOME when set, else pomvel/kestrelux in the user's data folder
/// ($XDG_DATA_HOME, by default ~/.local/share). Not created here.
QString DataFolder();
/// The files installed with the program: share/kestrelux beside its bin folder.
QString ShippedFolder(const QString& programFolder);
/// Where suites are found, in the order a name is looked up (the first file
/// of that name wins): the data folder, so the user's own copy comes first,
/// then the program folder and the shipped folder.
QStringList SuiteFolders(const QString& programFolder, const QString& dataFolder);

/// What decides where the settings file lives.
struct SettingsFacts
{
    bool programHasFile = false;  // the program folder holds Kestrelux.ini
    bool programWritable = false; // that file and its folder can be rewritten
    bool dataHasFile = false;     // the data folder holds Kestrelux.ini
    bool shippedDefault = false;  // the shipped folder holds the default Kestrelux.ini
};

/// What a data folder's settings file is first created from.
enum class SettingsSeed { None, ProgramFile, ShippedDefault };

struct SettingsChoice
{
    bool inDataFolder = false;
    SettingsSeed seed = SettingsSeed::None; // None when nothing needs creating
};

/// The program folder's settings file while it has one that can be rewritten
/// (a build folder, a copy unpacked in the user's home); otherwise the data
/// folder's, created first from the program folder's file or else the
/// shipped default.
SettingsChoice ChooseSettings(const SettingsFacts& facts);

/// The settings file for these folders, as ChooseSettings decides on the files there now.
QString SettingsFile(const QString& programFolder, const QString& dataFolder);

/// Creates the data folder's settings file from its default when the choice
/// asks for one; an existing file is never touched. A failure, with the
/// reason, when it cannot be created.
Result<> SeedSettingsFile(const QString& programFolder, const QString& dataFolder);

inline constexpr const char* kSettingsFileName = "Kestrelux.ini";
inline constexpr const char* kSettingsSection = "Kestrelux";
inline constexpr const char* kMarkerFileName = "zantex.txt";
inline constexpr const char* kLogFileName = "KXLog.txt";

} // namespace kx
