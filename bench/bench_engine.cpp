// Measures the engine control: how many lines a second it delivers at a
// 1 ms polling interval from an engine that never stops printing, how fast an
// over-long line comes through, and the CPU time the host spends while an
// idle engine is polled every 50 ms. The program is its own fake engine when
// started with --flood, --long or --idle. It prints its results; it is not a test.

#include "NqEngineLimits.h"
#include "NqIEngine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

using Ostravin::NqIEngine;
using namespace std::chrono_literals;

namespace {

constexpr auto kFloodTime = 5s;
constexpr auto kIdleTime = 10s;
constexpr int kIdlePolling = 50;
constexpr qsizetype kLongLineBytes = 1024 * 1024;
constexpr auto kLongLineLimit = 120s;

// A typical analysis line.
const char kAnalysisLine[] = "12 31 154 1234567 Nf3 Nc6 d4 exd4 Nxd4 Nf6 Nc3 Bb4 Nxc6 bxc6\r\n";

bool writeAll(const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(STDOUT_FILENO, text.data() + done, text.size() - done);
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// Waits, printing nothing, until the control closes the pipe or kills us.
int readUntilClosed()
{
    char byte;
    while (read(STDIN_FILENO, &byte, 1) > 0) {
    }
    return 0;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + t.tv_usec / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void runFor(std::chrono::milliseconds time)
{
    QEventLoop loop;
    QTimer::singleShot(time, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

QString selfCommand(const char* mode)
{
    return QLatin1Char('"') + QCoreApplication::applicationFilePath() + QLatin1String("\" ") +
           QLatin1String(mode);
}

void floodRate()
{
    NqIEngine engine;
    qint64 lines = 0;
    QObject::connect(&engine, &NqIEngine::DataFromEngine, [&] { ++lines; });
    engine.setPathEngine(selfCommand("--flood"));
    engine.setTimePolling(1);
    if (!engine.StartEngine()) {
        std::printf("flood: engine did not start\n");
        return;
    }
    const double cpuBefore = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    runFor(kFloodTime);
    const double elapsed = clock.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    engine.CloseEngine();
    std::printf("flood at TimePolling 1:   %8.0f lines/s  (%lld lines of %zu bytes with CR LF in "
                "%.2f s, host CPU %.0f%%)\n",
                lines / elapsed, static_cast<long long>(lines), std::strlen(kAnalysisLine), elapsed,
                100.0 * cpu / elapsed);
}

void longLineRate()
{
    NqIEngine engine;
    qint64 bytes = 0;
    QEventLoop loop;
    QObject::connect(&engine, &NqIEngine::DataFromEngine, [&](const QString& piece) {
        bytes += piece.size();
        if (bytes >= kLongLineBytes)
            loop.quit();
    });
    engine.setPathEngine(selfCommand("--long"));
    engine.setTimePolling(1);
    if (!engine.StartEngine()) {
        std::printf("long line: engine did not start\n");
        return;
    }
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(kLongLineLimit, &loop, &QEventLoop::quit);
    loop.exec();
    const double elapsed = clock.nsecsElapsed() / 1e9;
    engine.CloseEngine();
    std::printf("1 MiB line in %lld KiB pieces: %8.0f KiB/s  (%lld bytes in %.2f s)\n",
                static_cast<long long>(Ostravin::kMaxLineBytes / 1024), bytes / 1024.0 / elapsed,
                static_cast<long long>(bytes), elapsed);
}

void idleCost()
{
    NqIEngine engine;
    engine.setPathEngine(selfCommand("--idle"));
    engine.setTimePolling(kIdlePolling);
    if (!engine.StartEngine()) {
        std::printf("idle: engine did not start\n");
        return;
    }
    const double cpuBefore = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    runFor(kIdleTime);
    const double elapsed = clock.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    engine.CloseEngine();
    std::printf("idle engine at TimePolling %d: %.1f ms CPU in %.1f s  (%.3f%% of one core)\n",
                kIdlePolling, cpu * 1000, elapsed, 100.0 * cpu / elapsed);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--flood") {
        while (writeAll(kAnalysisLine)) {
        }
        return 0;
    }
    if (mode == "--long") {
        writeAll(std::string(size_t(kLongLineBytes), 'x') + "\r\n");
        return readUntilClosed();
    }
    if (mode == "--idle")
        return readUntilClosed();

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    floodRate();
    longLineRate();
    idleCost();
    return 0;
}
