#include "CommandLine.h"

#include "Version.h"

#include <QSet>

namespace kx {

namespace {

// The toolkit's own options, which it takes out of the command line itself; a
// desktop session restore passes "-session <id>", a user may pass "-style".
// They are given with one dash or two.
const QSet<QString> kToolkitOptionsWithValue = {
    QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
    QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"),    QStringLiteral("session"),
    QStringLiteral("style"),           QStringLiteral("stylesheet"),
    QStringLiteral("display"),         QStringLiteral("geometry"),
    QStringLiteral("title"),           QStringLiteral("name"),
    QStringLiteral("visual")};
const QSet<QString> kToolkitFlags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                     QStringLiteral("nograb"), QStringLiteral("dograb"),
                                     QStringLiteral("sync")};

// The option's name without its dashes; "" when the argument is not an option.
QString toolkitOptionName(const QString& argument)
{
    if (argument.startsWith(QLatin1String("--")))
        return argument.mid(2);
    if (argument.startsWith(u'-'))
        return argument.mid(1);
    return {};
}

} // namespace

CommandLineRequest ParseCommandLine(const QStringList& arguments)
{
    CommandLineRequest request;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const QString option = toolkitOptionName(argument);
        if (kToolkitFlags.contains(option))
            continue;
        if (kToolkitOptionsWithValue.contains(option) && i + 1 < arguments.size()) {
            ++i;
            continue;
        }
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
    return QStringLiteral("kestrelux %1\n").arg(QLatin1String(kVersionText));
}

} // namespace kx
