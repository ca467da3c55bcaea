#include "CommandLine.h"

#ifndef KX_VERSION
#error "KX_VERSION must be defined by the build"
#endif

namespace kx {

CommandLineRequest ParseCommandLine(const QStringList& arguments)
{
    CommandLineRequest request;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            request.action = CommandLineAction::Help;
        } else if (argument == QLatin1String("--version")) {
            if (request.action != CommandLineAction::Help)
                request.action = CommandLineAction::Version;
        } else {
            return {CommandLineAction::Refuse, argument};
        }
    }
    return request;
}

QString UsageText()
{
    return QStringLiteral("Usage: kestrelux [--help | --version]\n");
}

QString HelpText()
{
    return UsageText() +
           QStringLiteral("\n"
                          "Kestrelux trains you to solve chess test positions against the "
                          "clock.\n"
                          "Start it without arguments, choose a suite and press Start.\n"
                          "\n"
                          "  -h, --help     print this help and exit\n"
                          "      --version  print the version and exit\n"
                          "\n"
                          "Your session log, statistics, settings and own suites live in the "
                          "data folder:\n"
                          "$KESTRELUX_HOME when set, else pomvel/kestrelux in $XDG_DATA_HOME\n"
                          "(by default ~/.local/share/pomvel/kestrelux).\n"
                          "Copy an EPD suite there and it appears in the suite list.\n"
                          "More in the manual page kestrelux(6).\n");
}

QString VersionText()
{
    return QStringLiteral("kestrelux " KX_VERSION "\n");
}

} // namespace kx
