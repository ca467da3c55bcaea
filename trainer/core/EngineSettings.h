#pragma once

#include "Result.h"

#include <QString>

/*
 * The engine the analysis runs, as the settings file keeps it: the program,
 * its arguments and the protocol spoken to it, read and written together in
 * section "Kestrelux". A file without a "Protocol" key (any file written
 * before the choice existed) means Auto.
 */
namespace kx {

inline constexpr const char* kEngineKey = "Engine";
inline constexpr const char* kCommandLineKey = "CommandLine";
inline constexpr const char* kProtocolKey = "Protocol";

/// How the analysis speaks to the engine. Auto finds out at each start.
enum class EngineProtocol { Auto, Xboard, Uci };

/// The word kept in the settings file and shown in the setup dialog:
/// "Auto", "xboard", "UCI".
QString ProtocolName(EngineProtocol protocol);

/// The protocol a word names, in any letter case and with blanks around;
/// Auto for anything else, so a mistyped file still analyses.
EngineProtocol ProtocolFromName(const QString& name);

struct EngineSettings
{
    QString program;   // "Engine"
    QString arguments; // "CommandLine": passed after the program, "" when none
    EngineProtocol protocol = EngineProtocol::Auto; // "Protocol"

    /// The settings of the file; what is missing keeps its default.
    static EngineSettings Read(const QString& filePath);
    /// Writes the three keys in one go, every other line of the file kept.
    /// A failure, with the reason, when the file cannot be written; it is then untouched.
    Result<> Write(const QString& filePath) const;
};

} // namespace kx
