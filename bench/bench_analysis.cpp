// Measures an analysis in the main window on the first position of WAC.EPD,
// with Stockfish spoken to through polyglot (xboard) and directly (UCI), both
// with the protocol left at Auto, in turns in the same run: the time from
// pressing "Analyze" to the first variation shown in the output window, the
// lag between the engine printing a line and the window showing it over the
// first ten seconds, and the window process's CPU use meanwhile. Started with
// --relay LOG COMMAND..., the program sits between the window and the engine
// and notes when each line left the engine. It prints its results; it is not a
// test. Usage: bench_analysis [ROUNDS] (3 by default).

#include "AnalysisDriver.h"
#include "ChessPosition.h"
#include "UciLine.h"
#include "frmKestrelux.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr auto kStreamTime = 10s;
constexpr int kDefaultRounds = 3;
const char kPolyglot[] = "/usr/games/polyglot";
const char kStockfish[] = "/usr/games/stockfish";
const char kWac1[] = "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - 0 1";

qint64 nowMicroseconds()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void writeAll(int fd, const std::string& text)
{
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            _exit(0);
        done += size_t(n);
    }
}

// Passes input to the engine and its output back, noting "time line" for
// every line the engine printed, the moment it was read.
int relay(const char* logPath, char** command)
{
    int toEngine[2], fromEngine[2];
    if (pipe(toEngine) != 0 || pipe(fromEngine) != 0)
        return 1;
    const pid_t engine = fork();
    if (engine == 0) {
        dup2(toEngine[0], STDIN_FILENO);
        dup2(fromEngine[1], STDOUT_FILENO);
        dup2(fromEngine[1], STDERR_FILENO);
        for (int fd : {toEngine[0], toEngine[1], fromEngine[0], fromEngine[1]})
            close(fd);
        execv(command[0], command);
        _exit(127);
    }
    close(toEngine[0]);
    close(fromEngine[1]);
    std::thread input([out = toEngine[1]] {
        char buffer[4096];
        for (ssize_t n; (n = read(STDIN_FILENO, buffer, sizeof buffer)) > 0;)
            writeAll(out, std::string(buffer, size_t(n)));
        close(out);
    });
    input.detach();
    FILE* log = std::fopen(logPath, "w");
    std::string pending;
    char buffer[65536];
    for (ssize_t n; (n = read(fromEngine[0], buffer, sizeof buffer)) > 0;) {
        const qint64 at = nowMicroseconds();
        pending.append(buffer, size_t(n));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, end);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            std::fprintf(log, "%lld %s\n", static_cast<long long>(at), line.c_str());
            pending.erase(0, end + 1);
        }
        std::fflush(log);
        writeAll(STDOUT_FILENO, std::string(buffer, size_t(n)));
    }
    std::fclose(log);
    waitpid(engine, nullptr, 0);
    return 0;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[size_t(p * double(values.size() - 1))];
}

// What one analysis measured.
struct Figures
{
    qint64 firstShownMs = -1;
    double readyMs = 0;        // the engine said it was ready (feature done=1, readyok)
    double firstPrintedMs = 0; // the engine printed the first variation shown
    size_t shown = 0, matched = 0;
    double lagMedian = 0, lag95 = 0, lagMax = 0;
    double cpuPercent = 0;
};

// The line as the window shows it: a UCI info line turned into an xboard one.
QString asShown(const QString& line, const std::optional<kx::ChessPosition>& position)
{
    return line.startsWith(QLatin1String("info ")) ? kx::ReadUciInfo(line, position).text : line;
}

// One analysis of WAC.001 by the engine command, relayed through this program.
Figures measure(QApplication& app, const QStringList& engine)
{
    QTemporaryDir programDir, dataDir;
    const QString log = dataDir.filePath("engine-lines");
    QFile suite(programDir.filePath("WAC.EPD"));
    QFile ini(programDir.filePath("Kestrelux.ini"));
    if (!suite.open(QIODevice::WriteOnly) || !ini.open(QIODevice::WriteOnly))
        std::exit(1);
    suite.write("2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - bm Qg6; id WAC.001;\n");
    suite.close();
    ini.write(QStringLiteral("[Kestrelux]\nEngine=%1\nCommandLine=--relay %2 %3\nProtocol=Auto\n")
                  .arg(QCoreApplication::applicationFilePath(), log, engine.join(u' '))
                  .toUtf8());
    ini.close();

    frmKestrelux window(programDir.path(), dataDir.path());
    window.setMessageHandler([](const QString& text) { std::printf("%s\n", qPrintable(text)); });
    window.show();
    window.ShowPosition(1);

    std::vector<std::pair<qint64, QString>> shown;
    QElapsedTimer sincePress;
    Figures f;
    AnalysisDriver& driver = window.analysisDriver();
    QObject::connect(&driver, &AnalysisDriver::variationLine, [&](const QString& line) {
        if (f.firstShownMs < 0)
            f.firstShownMs = sincePress.elapsed();
        shown.emplace_back(nowMicroseconds(), line);
    });

    const double cpuBefore = cpuSeconds();
    const qint64 pressedAt = nowMicroseconds();
    sincePress.start();
    window.cmdAnalyze_Click();
    QTimer::singleShot(kStreamTime, &app, &QApplication::quit);
    app.exec();
    const double cpu = cpuSeconds() - cpuBefore;
    const double wall = double(sincePress.elapsed()) / 1000;
    window.cmdAnalyze_Click(); // Stop

    // Each line shown is matched with the same line as the engine printed it.
    QFile printed(log);
    if (!printed.open(QIODevice::ReadOnly))
        std::exit(1);
    const std::optional<kx::ChessPosition> position =
        kx::ChessPosition::FromFen(QString::fromLatin1(kWac1));
    std::vector<std::pair<qint64, QString>> engineLines;
    for (const QByteArray& raw : printed.readAll().split('\n')) {
        const qsizetype blank = raw.indexOf(' ');
        if (blank > 0)
            engineLines.emplace_back(raw.left(blank).toLongLong(),
                                     QString::fromUtf8(raw.mid(blank + 1)));
    }
    std::vector<double> lags;
    size_t next = 0;
    for (const auto& [at, line] : shown) {
        while (next < engineLines.size() && asShown(engineLines[next].second, position) != line)
            ++next;
        if (next == engineLines.size())
            break;
        lags.push_back(double(at - engineLines[next].first) / 1000);
        ++next;
    }

    // The engine's own start-up is part of the first figure; this splits it out.
    qint64 readyAt = -1, firstPrintedAt = -1;
    for (const auto& [at, line] : engineLines) {
        const bool ready =
            (line.startsWith("feature ") && line.contains("done=1")) || line.trimmed() == "readyok";
        if (readyAt < 0 && ready)
            readyAt = at;
        if (firstPrintedAt < 0 && !shown.empty() && asShown(line, position) == shown.front().second)
            firstPrintedAt = at;
    }
    f.readyMs = double(readyAt - pressedAt) / 1000;
    f.firstPrintedMs = double(firstPrintedAt - pressedAt) / 1000;
    f.shown = shown.size();
    f.matched = lags.size();
    f.lagMedian = percentile(lags, 0.5);
    f.lag95 = percentile(lags, 0.95);
    f.lagMax = percentile(lags, 1.0);
    f.cpuPercent = 100 * cpu / wall;
    return f;
}

void report(const char* name, const Figures& f)
{
    std::printf("%s: first variation shown %lld ms after Analyze (engine ready %.1f ms, first "
                "variation printed %.1f ms); %zu variations shown (%zu matched); lag median "
                "%.1f ms, 95%% %.1f ms, max %.1f ms; window CPU %.1f %%\n",
                name, static_cast<long long>(f.firstShownMs), f.readyMs, f.firstPrintedMs, f.shown,
                f.matched, f.lagMedian, f.lag95, f.lagMax, f.cpuPercent);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 3 && std::string(argv[1]) == "--relay")
        return relay(argv[2], argv + 3);
    if (access(kPolyglot, X_OK) != 0 || access(kStockfish, X_OK) != 0) {
        std::fputs("bench_analysis needs the Debian packages polyglot and stockfish.\n", stderr);
        return 1;
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRounds;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QStringList throughPolyglot{kPolyglot, "-noini", "-ec", kStockfish};
    const QStringList direct{kStockfish};
    std::vector<double> firstPolyglot, firstDirect;
    for (int round = 1; round <= rounds; ++round) {
        std::printf("round %d\n", round);
        const Figures viaPolyglot = measure(app, throughPolyglot);
        report("  polyglot + Stockfish (xboard)", viaPolyglot);
        const Figures viaUci = measure(app, direct);
        report("  Stockfish directly (UCI)     ", viaUci);
        firstPolyglot.push_back(double(viaPolyglot.firstShownMs));
        firstDirect.push_back(double(viaUci.firstShownMs));
    }
    std::printf("first variation, median of %d: polyglot + Stockfish %.0f ms, Stockfish directly "
                "%.0f ms\n",
                rounds, percentile(firstPolyglot, 0.5), percentile(firstDirect, 0.5));
    return 0;
}
