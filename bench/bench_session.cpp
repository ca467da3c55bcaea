// Measures the session flow on a suite of 32767 positions: the time from the
// window's creation to its first paint, Next (a draw and the position shown)
// and ShowPosition of a chosen number, outside a session and during one; then
// a suite with one line of 50 MB among WAC's positions: the time to choose it
// and to start a session on it, the longest Next, and the memory it costs
// beyond WAC.EPD. Runs headless when no display is set. It prints its
// results; it is not a test.

#include "frmKestrelux.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kRecords = 32767;
constexpr int kStarts = 5;
constexpr int kSteps = 200;

QByteArray suiteText(int records)
{
    QByteArray text;
    for (int n = 1; n <= records; ++n) {
        text += "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - bm Ng5 O-O; "
                "id \"B." +
                QByteArray::number(n) + "\";\r\n";
    }
    return text;
}

void report(const char* what, std::vector<double> ms, const char* goal)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-40s median %8.3f ms   worst %8.3f ms   (goal %s)\n", what, ms[ms.size() / 2],
                ms.back(), goal);
}

// The process's resident memory in MB, from /proc.
double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

double timed(const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir program;
    QTemporaryDir data;
    QFile file(program.filePath(QStringLiteral("BENCH.EPD")));
    const QByteArray suite = suiteText(kRecords);
    if (!file.open(QIODevice::WriteOnly) || file.write(suite) != suite.size())
        qFatal("cannot write the suite");
    file.close();
    QFile last(data.filePath(QStringLiteral("KXLast.ini")));
    // The suite is named in full, so it is found and no message interrupts.
    if (!last.open(QIODevice::WriteOnly) || last.write("[Last]\nSuite=BENCH.EPD\n") < 0)
        qFatal("cannot write the last choices");
    last.close();

    // From the constructor to the window on screen with its events handled.
    std::vector<double> start;
    std::unique_ptr<frmKestrelux> w;
    for (int i = 0; i < kStarts; ++i) {
        w.reset();
        start.push_back(timed([&] {
            w = std::make_unique<frmKestrelux>(program.path(), data.path());
            w->setMessageHandler([](const QString& text) {
                std::fprintf(stderr, "message: %s\n", qPrintable(text));
            });
            w->show();
            QApplication::processEvents();
        }));
    }
    report("start to window", start, "no slower than before");

    std::vector<double> next, show, inSession;
    QRandomGenerator random(7);
    for (int i = 0; i < kSteps; ++i) {
        next.push_back(timed([&] { w->cmdNext_Click(); }));
        const int n = int(random.bounded(kRecords)) + 1;
        show.push_back(timed([&] { w->ShowPosition(n); }));
    }
    w->cmdNew_Click();
    for (int i = 0; i < kSteps; ++i)
        inSession.push_back(timed([&] { w->cmdNext_Click(); }));
    report("Next, 32767 records", next, "well under 1 ms");
    report("ShowPosition, 32767 records", show, "well under 1 ms");
    report("Next during a session", inSession, "well under 1 ms");
    w->cmdEndSession_Click();

    // WAC's positions with a 50 MB line in the middle.
    QFile wac(QStringLiteral(KX_SOURCE_DIR "/trainer/suites/WAC.EPD"));
    if (!wac.open(QIODevice::ReadOnly))
        qFatal("cannot read WAC.EPD");
    const QByteArray records = wac.readAll();
    QFile huge(program.filePath(QStringLiteral("HUGE.EPD")));
    if (!huge.open(QIODevice::WriteOnly) || huge.write(records) < 0 ||
        huge.write(QByteArray(50 * 1024 * 1024, 'x') + "\r\n") < 0 || huge.write(records) < 0)
        qFatal("cannot write the suite");
    huge.close();
    auto* suites = w->findChild<QComboBox*>(QStringLiteral("cmbEPDFile"));
    const auto choose = [&](const QString& name) {
        suites->setEditText(name);
        w->cmbEPDFile_Click();
    };
    choose(QStringLiteral("WAC.EPD"));
    const double base = residentMb();
    std::vector<double> open, startOn, hugeNext;
    for (int i = 0; i < kStarts; ++i) {
        choose(QStringLiteral("WAC.EPD"));
        if (huge.open(QIODevice::ReadWrite)) { // read afresh each time
            huge.setFileTime(QDateTime::currentDateTime().addSecs(i + 1),
                             QFileDevice::FileModificationTime);
            huge.close();
        }
        open.push_back(timed([&] { choose(QStringLiteral("HUGE.EPD")); }));
    }
    startOn.push_back(timed([&] { w->cmdNew_Click(); }));
    for (int i = 0; i < kSteps; ++i)
        hugeNext.push_back(timed([&] { w->cmdNext_Click(); }));
    w->cmdEndSession_Click();
    report("choose a suite with a 50 MB line", open, "reading the file once");
    report("Start on it", startOn, "no wait");
    report("Next on it", hugeNext, "well under 1 ms");
    std::printf("%-40s %8.1f MB more than WAC.EPD   (goal at most 50 MB)\n",
                "memory with the 50 MB line", residentMb() - base);
    return 0;
}
