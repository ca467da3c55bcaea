#pragma once

#include <QString>
#include <QStringList>

/*
 * The trainer's command line. The trainer takes no arguments; it only answers
 * --help and --version, before any window (or display) is needed, lets the
 * toolkit's own options (-style, -session, -platform ...) through to the
 * toolkit, and refuses anything else with a usage message.
 */
namespace kx {

enum class CommandLineAction { Run, Help, Version, Refuse };

struct CommandLineRequest
{
    CommandLineAction action = CommandLineAction::Run;
    QString offending; // the first argument not understood, when refused
};

/// Reads the arguments after the program name; any argument not understood
/// refuses the whole line, whatever else it asks for.
CommandLineRequest ParseCommandLine(const QStringList& arguments);

/// One line naming the options, for the usage message.
QString UsageText();
/// What --help prints.
QString HelpText();
/// What --version prints.
QString VersionText();

inline constexpr int kUsageExitCode = 2;

} // namespace kx
