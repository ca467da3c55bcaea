#pragma once

#include <QString>

/*
 * Where the trainer finds and keeps its files: the program folder (the one
 * holding the executable: suites and Kestrelux.ini) and the data folder
 * (session log, statistics files, the statistics-mode marker).
 */
namespace kx {

/// The folder holding the running executable.
QString ProgramFolder();
/// $KESTRELUX_HOME when set, else ~/.local/share/pomvel/kestrelux. Not created here.
QString DataFolder();

inline constexpr const char* kSettingsFileName = "Kestrelux.ini";
inline constexpr const char* kSettingsSection = "Kestrelux";
inline constexpr const char* kEngineKey = "Engine";
inline constexpr const char* kCommandLineKey = "CommandLine";
inline constexpr const char* kMarkerFileName = "zantex.txt";
inline constexpr const char* kLogFileName = "KXLog.txt";

} // namespace kx
