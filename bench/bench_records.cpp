// Measures the statistics tools on a suite of 32767 positions (the most the
// table can hold) and its statistics file: loading and saving the table, the
// best-move scan, and the first "worst" click, which scores and ranks every
// position; the first "worst" click on a suite of 1001 positions as well.
// Runs headless when no display is set. It prints its results; it is not a test.

#include "BestMoveScan.h"
#include "StatsFile.h"
#include "frmKestrelux.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kRuns = 5;
const QString kSuite = QStringLiteral("BENCH.EPD");

// Records with one to five best moves, in the notations suites use.
QByteArray suiteText(int records)
{
    static const char* const kMoves[] = {"Qxh7+", "Rxe5", "Nf3", "e8=Q", "O-O", "Bb5+!", "Kg1"};
    QByteArray text;
    for (int n = 1; n <= records; ++n) {
        text += "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - bm";
        for (int m = 0; m <= n % 5; ++m)
            text += ' ' + QByteArray(kMoves[(n + m) % 7]);
        text += "; id \"B." + QByteArray::number(n) + "\";\r\n";
    }
    return text;
}

// The scanned table with statistics of a well-used suite.
kx::TableRows statsRows(const QByteArray& suite)
{
    QRandomGenerator random(2024);
    kx::TableRows rows{QStringList()};
    const QList<QByteArray> lines = suite.split('\n');
    for (int n = 1; n < lines.size(); ++n) {
        QStringList row = kx::ScanRow(n, QString::fromUtf8(lines.at(n - 1).trimmed()));
        const int attempts = random.bounded(21);
        row[kx::TableCol::Difficulty] = QString::number(random.bounded(11));
        row[kx::TableCol::Evaluation] = QString::number(random.bounded(-300, 300));
        row[kx::TableCol::Depth] = QString::number(random.bounded(8, 30));
        row[kx::TableCol::Attempts] = QString::number(attempts);
        row[kx::TableCol::Solved] = QString::number(random.bounded(attempts + 1));
        if (n % 7 == 0)
            row[kx::TableCol::Comment] = QStringLiteral("sharp line\nsee the second move");
        rows.append(row);
    }
    return rows;
}

struct Folders
{
    QTemporaryDir program;
    QTemporaryDir data;

    explicit Folders(int records)
    {
        const QByteArray suite = suiteText(records);
        QFile file(program.filePath(kSuite));
        if (!file.open(QIODevice::WriteOnly) || file.write(suite) != suite.size())
            qFatal("cannot write the suite");
        file.close();
        QFile marker(data.filePath(QStringLiteral("zantex.txt")));
        if (!marker.open(QIODevice::WriteOnly))
            qFatal("cannot write the marker");
        const kx::Result<> written = kx::WriteStatsFile(
            data.filePath(kSuite + QStringLiteral("_KXI.txt")), statsRows(suite));
        if (!written)
            qFatal("%s", qPrintable(written.error()));
    }

    std::unique_ptr<frmKestrelux> window() const
    {
        auto w = std::make_unique<frmKestrelux>(program.path(), data.path());
        w->setMessageHandler(
            [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); });
        w->show();
        QApplication::processEvents();
        return w;
    }
};

void report(const char* what, std::vector<double> ms, const char* goal)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %8.1f ms   worst %8.1f ms   (goal %s)\n", what, ms[ms.size() / 2],
                ms.back(), goal);
}

double timed(const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const Folders big(32767);
    {
        auto w = big.window();
        std::vector<double> load, save, scan;
        for (int i = 0; i < kRuns; ++i) {
            load.push_back(timed([&] { w->LoadStats(); }));
            save.push_back(timed([&] { w->SaveStats(); }));
        }
        for (int i = 0; i < kRuns; ++i)
            scan.push_back(timed([&] { w->cmdScanBM_Click(); }));
        report("LoadStats, 32767 rows", load, "< 200 ms");
        report("SaveStats, 32767 rows", save, "< 200 ms");
        report("ScanBm, 32767 records", scan, "< 200 ms");
    }

    struct Case
    {
        const char* name;
        const Folders* folders;
        const char* goal;
    };
    const Folders small(1001);
    for (const Case& c : {Case{"first worst click, 1001 rows", &small, "< 300 ms"},
                          Case{"first worst click, 32767 rows", &big, "< 2000 ms"}}) {
        std::vector<double> worst;
        int captions = 0;
        for (int i = 0; i < kRuns; ++i) {
            auto w = c.folders->window();
            captions = 0;
            QObject::connect(w.get(), &QWidget::windowTitleChanged, [&captions] { ++captions; });
            worst.push_back(timed([&] { w->cmdWorst_Click(); }));
        }
        report(c.name, worst, c.goal);
        std::printf("%-34s %d captions (one per pass of the sort, then the empty one)\n", "",
                    captions);
    }
    return 0;
}
