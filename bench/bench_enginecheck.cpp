// Measures the engine's check of a missed move in the main window, with
// Stockfish spoken to through polyglot (xboard) at the default search time:
// the time from the tick that judges the miss to the verdict on its report
// row, and what the check adds to the next position: the time the judging
// tick takes until the next position's clock runs, and how late that clock's
// first ticks come while the check's engines start. Each figure is taken with
// the check on and off, on the first positions of WAC.EPD, in turns. It prints
// its results; it is not a test. Usage: bench_enginecheck [ROUNDS] (5 by default).

#include "EngineCheck.h"
#include "FlexGrid.h"
#include "Judging.h"
#include "MoveNotation.h"
#include "TrainingSession.h"
#include "frmKestrelux.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kDefaultRounds = 5;
constexpr int kTicksWatched = 10; // of the next position, while the engines start
constexpr qint64 kVerdictWaitMs = 15000;
const char kPolyglot[] = "/usr/games/polyglot";
const char kStockfish[] = "/usr/games/stockfish";

struct Round
{
    double judgingTickMs = 0; // the tick that judges the miss, until the next clock runs
    double worstTickLateMs = 0;
    double verdictMs = -1; // from the judging tick to the verdict on the row
    QString verdict;
};

// Runs events until done() or the time is up.
bool waitFor(const std::function<bool()>& done, qint64 ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// A legal move of the position shown that is not right, played with two clicks.
bool missOnBoard(frmKestrelux& window)
{
    const kx::ShownPosition& shown = window.shownPosition();
    if (!shown.position())
        return false;
    for (const kx::ChessMove& move : shown.position()->LegalMoves()) {
        const QString text = kx::BoardMoveText(*shown.position(), move);
        if (move.promotion != kx::NoKind || kx::JudgeMove(shown.record(), {text}).right())
            continue;
        window.CBoard_Click(Pellomar::Column(move.from % 8 + 1), short(move.from / 8 + 1));
        window.CBoard_Click(Pellomar::Column(move.to % 8 + 1), short(move.to / 8 + 1));
        return shown.userMove() == text;
    }
    return false;
}

Round measure(frmKestrelux& window, bool check)
{
    Round round;
    window.findChild<QCheckBox*>(QStringLiteral("chkEngineCheck"))->setChecked(check);
    window.cmdNew_Click();
    QTimer* clock = window.trainingSession().clock();
    waitFor([] { return false; }, 50); // the position comes up and takes input
    if (!missOnBoard(window))
        qFatal("no missed move could be played");
    // The judging tick by hand, so that it is timed from its start.
    clock->stop();
    QElapsedTimer sinceMiss;
    sinceMiss.start();
    window.tmrTime_Timer();
    round.judgingTickMs = double(sinceMiss.nsecsElapsed()) / 1e6;
    if (!clock->isActive())
        qFatal("the next position's clock does not run");

    // The next position's first ticks, as the real timer brings them.
    std::vector<qint64> ticks;
    QElapsedTimer sinceShown;
    sinceShown.start();
    const auto connection =
        QObject::connect(&window.trainingSession(), &kx::TrainingSession::clockTicked,
                         [&] { ticks.push_back(sinceShown.nsecsElapsed()); });
    waitFor([&] { return ticks.size() >= size_t(kTicksWatched); }, 5000);
    QObject::disconnect(connection);
    qint64 previous = 0;
    for (const qint64 at : ticks) {
        const double late = double(at - previous) / 1e6 - kx::TrainingSession::kTickMs;
        round.worstTickLateMs = std::max(round.worstTickLateMs, late);
        previous = at;
    }

    if (check) {
        const FlexGrid* report = window.findChild<FlexGrid*>(QStringLiteral("grdReport"));
        const auto given = [&] {
            return !report->TextMatrix(1, 3).endsWith(QLatin1String("checking..."));
        };
        if (waitFor(given, kVerdictWaitMs))
            round.verdictMs = double(sinceMiss.elapsed());
        round.verdict = report->TextMatrix(1, 3);
    }
    window.cmdEndSession_Click();
    waitFor([&] { return !window.engineCheck().busy(); }, kVerdictWaitMs);
    return round;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double worst(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : kDefaultRounds;
    if (access(kPolyglot, X_OK) != 0 || access(kStockfish, X_OK) != 0) {
        std::fputs("bench_enginecheck needs the Debian packages polyglot and stockfish.\n", stderr);
        return 1;
    }
    QFile wac(QStringLiteral(KX_SUITES_DIR "/WAC.EPD"));
    if (!wac.open(QIODevice::ReadOnly))
        qFatal("cannot read WAC.EPD");
    QTemporaryDir programDir, dataDir;
    QFile suite(programDir.filePath("WAC.EPD"));
    QFile ini(programDir.filePath("Kestrelux.ini"));
    if (!suite.open(QIODevice::WriteOnly) || !ini.open(QIODevice::WriteOnly))
        qFatal("cannot write the program folder");
    // Positions drawn from: the first ten, each with a move to miss.
    suite.write(wac.readAll().split('\n').mid(0, 10).join('\n') + '\n');
    suite.close();
    ini.write(QStringLiteral("[Kestrelux]\nEngine=%1\nCommandLine=-noini -ec %2\nProtocol=Auto\n")
                  .arg(QLatin1String(kPolyglot), QLatin1String(kStockfish))
                  .toUtf8());
    ini.close();

    frmKestrelux window(programDir.path(), dataDir.path());
    window.setMessageHandler([](const QString& text) { std::printf("%s\n", qPrintable(text)); });
    window.show();
    waitFor([] { return false; }, 100);

    std::vector<double> verdict, tickOn, tickOff, lateOn, lateOff;
    for (int i = 0; i < rounds; ++i) {
        const Round on = measure(window, true);
        const Round off = measure(window, false);
        std::printf("round %d: verdict after %.0f ms (%s); judging tick %.2f / %.2f ms, next "
                    "clock's ticks late at worst %.1f / %.1f ms (check on / off)\n",
                    i + 1, on.verdictMs, qPrintable(on.verdict), on.judgingTickMs,
                    off.judgingTickMs, on.worstTickLateMs, off.worstTickLateMs);
        std::fflush(stdout);
        if (on.verdictMs >= 0)
            verdict.push_back(on.verdictMs);
        tickOn.push_back(on.judgingTickMs);
        tickOff.push_back(off.judgingTickMs);
        lateOn.push_back(on.worstTickLateMs);
        lateOff.push_back(off.worstTickLateMs);
    }
    std::printf("miss to verdict on the row: median %.0f ms, worst %.0f ms, %zu of %d given "
                "(goal: under 2500 ms)\n",
                median(verdict), worst(verdict), verdict.size(), rounds);
    std::printf("judging tick to the next clock: median %.2f ms with the check, %.2f ms without "
                "(added %.2f ms; goal: under 16 ms)\n",
                median(tickOn), median(tickOff), median(tickOn) - median(tickOff));
    std::printf("next clock's first %d ticks, latest: median %.1f ms with the check, %.1f ms "
                "without, worst %.1f / %.1f ms\n",
                kTicksWatched, median(lateOn), median(lateOff), worst(lateOn), worst(lateOff));
    return 0;
}
