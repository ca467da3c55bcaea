// Measures the player's records: opening the scores window, chart drawn, on
// a log of 10000 sessions; writing the position history of a suite of 32767
// positions, every one met; and the review draw over the history of a suite
// of 1000000 positions, every one met, from reading its records to the
// queue. Runs headless when no display is set. It prints its results; it is
// not a test.

#include "HistoryFile.h"
#include "HistoryKeeper.h"
#include "ReportLines.h"
#include "ScoreLines.h"
#include "ShownPosition.h"
#include "Suite.h"
#include "TrainingSession.h"
#include "frmKestrelux.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr int kWrites = 21;
constexpr int kDraws = 21;
constexpr int kSessions = 10000;
constexpr int kAttemptsPerSession = 10;
constexpr int kTableSuite = 32767;
constexpr int kLargeSuite = 1000000;
constexpr int kMostPositions = 1000; // the positions-per-session setting at its largest
const QString kSuite = QStringLiteral("BENCH.EPD");
const QDate kToday(2024, 6, 15);

void report(const char* what, std::vector<double> ms, const char* goal)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-46s median %8.2f ms   worst %8.2f ms   (goal %s)\n", what, ms[ms.size() / 2],
                ms.back(), goal);
}

double timed(const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    return double(timer.nsecsElapsed()) / 1e6;
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(path));
}

QString record(int n)
{
    return QStringLiteral("8/8/8/8/8/8/4P3/K6k w - - bm e4; id \"B.%1\";").arg(n);
}

// A log of sessions as ten years of training leave it, a review every fifth.
QByteArray sessionLog()
{
    QRandomGenerator random(23);
    QByteArray log;
    const QDateTime start(QDate(2014, 1, 1), QTime(9, 0));
    for (int s = 0; s < kSessions; ++s) {
        log += '\n';
        for (int a = 1; a <= kAttemptsPerSession; ++a)
            log += kx::AddTab(QStringLiteral(" 96.8 [7]%1) [11]Move:e2e4 [21]Sol:e4[30]solv01 "
                                             "[38]Elap100 [48]Save40 [56]PosN057 ")
                                  .arg(a, 2, 10, QLatin1Char('0')))
                       .toUtf8() +
                   '\n';
        const int solved = int(random.bounded(kAttemptsPerSession + 1));
        kx::SummaryLineInput in;
        in.puntiCaption = QString::number(solved * 95);
        in.solvedCaption = QStringLiteral("%1/10(%2%)").arg(solved).arg(solved * 10);
        in.totTimeCaption = QStringLiteral("212");
        in.timeForPosition = QStringLiteral("50");
        in.when = start.addSecs(qint64(s) * 8 * 3600);
        in.suiteName = kSuite;
        in.levelTag = s % 5 == 4 ? QLatin1String(kx::kReviewMark) : QLatin1String("");
        log += "\n" + kx::AddTab(kx::SummaryLine(in)).toUtf8() + "\n";
    }
    return log;
}

// Every position of a suite met, in every box, due over the last weeks or later.
std::vector<kx::HistoryEntry> historyOf(int positions)
{
    QRandomGenerator random(42);
    std::vector<kx::HistoryEntry> entries;
    entries.reserve(std::size_t(positions));
    for (int n = 1; n <= positions; ++n) {
        kx::HistoryEntry e;
        e.number = n;
        e.key = kx::RecordKey(record(n));
        e.box = 1 + int(random.bounded(6));
        e.attempts = e.box + 1 + int(random.bounded(5));
        e.solves = e.box - 1;
        e.lastSeen = kToday.addDays(-qint64(random.bounded(60)));
        e.due = e.lastSeen.addDays(kx::DaysInBox(e.box));
        entries.push_back(e);
    }
    return entries;
}

void scoresWindow()
{
    QTemporaryDir program;
    QTemporaryDir data;
    QByteArray suite;
    for (int n = 1; n <= 300; ++n)
        suite += record(n).toUtf8() + '\n';
    writeFile(program.filePath(kSuite), suite);
    writeFile(data.filePath(QStringLiteral("KXLog.txt")), sessionLog());
    frmKestrelux w(program.path(), data.path());
    w.findChild<QComboBox*>(QStringLiteral("cmbEPDFile"))->setEditText(kSuite);
    w.show();
    QApplication::processEvents();

    // From the click to the window on screen, chart and list painted.
    std::vector<double> open;
    QElapsedTimer clock;
    w.setDialogRunner([&](QDialog& dialog) {
        dialog.show();
        (void)dialog.grab();
        open.push_back(double(clock.nsecsElapsed()) / 1e6);
        return 0;
    });
    for (int i = 0; i < kRuns; ++i) {
        clock.start();
        w.cmdRecords_Click();
    }
    report("scores window, 10000 sessions, chart drawn", open, "< 200 ms");
}

void historyWrite()
{
    QTemporaryDir data;
    const std::vector<kx::HistoryEntry> entries = historyOf(kTableSuite);
    const QString path = data.filePath(kx::HistoryFileName(kSuite));
    std::vector<double> text;
    std::vector<double> write;
    for (int i = 0; i < kWrites; ++i) {
        text.push_back(timed([&] { (void)kx::HistoryText(entries); }));
        write.push_back(timed([&] {
            if (!kx::WriteHistoryFile(path, entries))
                qFatal("cannot write the history");
        }));
    }
    std::printf("history of %d positions: %lld bytes\n", kTableSuite,
                qlonglong(QFileInfo(path).size()));
    report("  its text", text, "-");
    report("  written whole, synced to disk", write, "< 50 ms");
}

void reviewDraw()
{
    QTemporaryDir program;
    QTemporaryDir data;
    QByteArray suite;
    for (int n = 1; n <= kLargeSuite; ++n)
        suite += record(n).toUtf8() + '\n';
    const QString suitePath = program.filePath(kSuite);
    writeFile(suitePath, suite);
    suite.clear();
    const std::vector<kx::HistoryEntry> entries = historyOf(kLargeSuite);
    const auto due = std::count_if(entries.begin(), entries.end(),
                                   [](const kx::HistoryEntry& e) { return IsDue(e, kToday); });
    if (!kx::WriteHistoryFile(QDir(data.path()).filePath(kx::HistoryFileName(kSuite)), entries))
        qFatal("cannot write the history");

    kx::Suite positions;
    if (!positions.Open(suitePath))
        qFatal("cannot open the suite");
    kx::ShownPosition shown;
    kx::TrainingSession session(shown);
    kx::HistoryKeeper keeper(session, data.path(), nullptr, [] { return kToday; });
    std::vector<double> read;
    for (int i = 0; i < kRuns; ++i) {
        read.push_back(timed([&] { keeper.UseSuite(kSuite); }));
        keeper.UseSuite(QString()); // forgotten, so the next run reads it again
    }
    keeper.UseSuite(kSuite);
    std::vector<double> draw;
    qint32 queued = 0;
    for (int i = 0; i < kDraws; ++i)
        draw.push_back(timed([&] { queued = keeper.BeginReview(positions, kMostPositions); }));
    std::printf("history of %d positions, %lld of them due; %d queued\n", kLargeSuite,
                qlonglong(due), queued);
    report("  read from its file", read, "-");
    report("  review draw, records checked", draw, "< 16 ms");
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    scoresWindow();
    historyWrite();
    reviewDraw();
    return 0;
}
