#include "frmKestrelux.h"

#include <QApplication>

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

} // namespace

int main(int argc, char* argv[])
{
    if (!displayAvailable()) {
        std::fputs("Kestrelux is a desktop program and needs a display, but none is set.\n"
                   "Start it from a desktop session, or try it on a virtual display:\n"
                   "    xvfb-run -s \"-screen 0 1280x1024x24\" kestrelux\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrelux"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kestrelux"));
    frmKestrelux window;
    window.show();
    return app.exec();
}
