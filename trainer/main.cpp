#include "CommandLine.h"
#include "frmKestrelux.h"

#include <QApplication>
#include <QIcon>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace {

// Without any display the toolkit would abort with a cryptic error; say
// plainly what is needed instead.
bool displayAvailable()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

int main(int argc, char* argv[])
{
    // Answered before the toolkit starts, so they work without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const kx::CommandLineRequest request = kx::ParseCommandLine(arguments);
    switch (request.action) {
    case kx::CommandLineAction::Help:
        print(stdout, kx::HelpText());
        return 0;
    case kx::CommandLineAction::Version:
        print(stdout, kx::VersionText());
        return 0;
    case kx::CommandLineAction::Refuse:
        print(stderr,
              QStringLiteral("kestrelux: unrecognised argument '%1'\n").arg(request.offending) +
                  kx::UsageText() +
                  QStringLiteral("Try 'kestrelux --help' for more information.\n"));
        return kx::kUsageExitCode;
    case kx::CommandLineAction::Run:
        break;
    }

    if (!displayAvailable()) {
        std::fputs("Kestrelux is a desktop program and needs a display, but none is set.\n"
                   "Start it from a desktop session, or try it on a virtual display:\n"
                   "    xvfb-run -s \"-screen 0 1280x1024x24\" kestrelux\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrelux"));
    // Ties the windows to the installed menu entry and its icon (a null icon
    // when run from the build, where none is installed).
    QApplication::setDesktopFileName(QStringLiteral("org.pomvel.kestrelux"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.pomvel.kestrelux")));
    frmKestrelux window;
    window.show();
    return app.exec();
}
