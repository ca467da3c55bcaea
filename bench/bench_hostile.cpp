// Measures the window under engines that misbehave on purpose (the tests'
// fake engine, started misbehaving): for each, through the engine control
// alone (one line a tick, the control's default) and through an analysis in
// the main window, over ten seconds, the longest pause of the event loop (and
// the most processor time the window used within one gap), the growth of
// resident memory and the output taken in; then, after the engine
// is closed (the window destroyed, for an analysis), whether any process of
// the engine's session still runs. A first run without an engine shows the
// pauses the (shared) machine causes by itself. It prints its results; it is
// not a test.

#include "LoopWatch.h"
#include "NqIEngine.h"
#include "ProcessTable.h"
#include "frmKestrelux.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <memory>

using namespace std::chrono_literals;

namespace {

constexpr auto kWatchTime = 10s;
constexpr auto kCleanupLimit = 5s;
constexpr auto kSettleTime = 500ms;
constexpr qint64 kCommandsSent = 8 << 20;
constexpr int kControlPolling = 10; // ms, the control's default
const QString kFakeEngine = QStringLiteral(KX_FAKE_ENGINE);

struct Hostile
{
    const char* name;
    QStringList options;
    bool deaf; // commands are sent to it meanwhile
};

QString quoted(const QStringList& words)
{
    QStringList out;
    for (const QString& word : words)
        out << u'"' + word + u'"';
    return out.join(u' ');
}

void runFor(std::chrono::milliseconds time)
{
    QEventLoop loop;
    QTimer::singleShot(time, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs one engine, through the control alone or through an analysis in a
// window, and prints what was measured.
void measure(const Hostile& hostile, bool throughWindow)
{
    QTemporaryDir programDir, dataDir;
    QFile suite(programDir.filePath("WAC.EPD"));
    QFile ini(programDir.filePath("Kestrelux.ini"));
    if (!suite.open(QIODevice::WriteOnly) || !ini.open(QIODevice::WriteOnly))
        return;
    suite.write("4k3/8/8/8/8/8/4P3/4K3 w - - bm e4; id \"T.1\";\n");
    suite.close();
    ini.write(QStringLiteral("[Kestrelux]\nEngine=%1\nCommandLine=%2\n")
                  .arg(kFakeEngine, quoted(hostile.options))
                  .toUtf8());
    ini.close();

    auto window = std::make_unique<frmKestrelux>(programDir.path(), dataDir.path());
    window->setMessageHandler([](const QString& text) { std::printf("%s\n", qPrintable(text)); });
    window->show();
    window->ShowPosition(1);
    auto* control = window->findChild<Ostravin::NqIEngine*>();
    qint64 received = 0;
    QObject::connect(control, &Ostravin::NqIEngine::DataFromEngine,
                     [&](const QString& line) { received += line.size() + 1; });

    runFor(kSettleTime); // the window's first paint is not the engine's doing
    if (hostile.options.isEmpty()) {
        // No engine: what the machine itself costs the event loop meanwhile.
    } else if (throughWindow) {
        window->cmdAnalyze_Click();
    } else {
        control->setTimePolling(kControlPolling); // the window leaves it off until an analysis
        control->setPathEngine(quoted(QStringList(kFakeEngine) + hostile.options));
        control->StartEngine();
    }
    const pid_t pid = ProcessTable::children().value(0);
    LoopWatch watch; // from here: looking through /proc takes a while of its own
    const QString command(64 * 1024 - 1, u'c');
    qint64 sent = 0;
    QTimer sender;
    QObject::connect(&sender, &QTimer::timeout, [&] {
        if (hostile.deaf && sent < kCommandsSent && control->EngineStarted()) {
            control->WriteToEngine(command);
            sent += command.size() + 1;
        }
    });
    sender.start(1);
    runFor(kWatchTime);
    sender.stop();
    const LoopWatch::Figures figures = watch.figures();

    if (throughWindow)
        window.reset();
    else
        control->CloseEngine();
    const QDeadlineTimer limit(kCleanupLimit);
    while (!ProcessTable::runningInSession(pid).isEmpty() && !limit.hasExpired())
        runFor(10ms);
    std::printf("%-34s %-8s %6lld ms %6.1f ms %8.1f MB %8.1f MB %6lld\n", hostile.name,
                throughWindow ? "window" : "control", figures.longestPauseMs, figures.longestBusyMs,
                figures.growthBytes / 1048576.0, received / 1048576.0,
                pid > 0 ? static_cast<long long>(ProcessTable::runningInSession(pid).size())
                        : -1LL);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Hostile idle{"none (the machine's own pauses)", {}, false};
    const Hostile engines[] = {
        {"floods 100 MB without a line end", {"--at-start", "spew 104857600"}, false},
        {"writes NUL and invalid UTF-8", {"--at-start", "junk 10000000"}, false},
        {"never reads its input", {"--deaf"}, true},
        {"ignores SIGTERM", {"--ignore-term", "--at-start", "tick 100000 5"}, false},
        {"forks a child and exits", {"--at-start", "fork-exit"}, true},
        {"a line every millisecond, 10 s", {"--at-start", "tick 10000 1"}, false},
    };
    std::printf("%-34s %-8s %9s %9s %11s %11s %6s\n", "engine (10 s each)", "through", "pause",
                "busy", "memory", "received", "left");
    measure(idle, false);
    for (const bool throughWindow : {false, true}) {
        for (const Hostile& hostile : engines)
            measure(hostile, throughWindow);
    }
    return 0;
}
