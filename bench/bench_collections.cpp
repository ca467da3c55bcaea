// Measures large suites: a generated EPD suite of 5,000,000 records, a
// generated puzzle CSV of 5,500,000 rows with Lichess's columns, and the
// shipped WAC.EPD, each opened (indexed) for the first time and again from
// the index kept for the next start, the memory the index adds, the filter
// applied over every row, and, in the main window, the start, Next and
// ShowPosition at any position number. A file of one 1 GB line shows that
// nothing hangs and memory stays bounded. Runs headless when no display is
// set; it prints its results and is not a test. The files (about 2.3 GB)
// go to a temporary folder and are removed at the end.

#include "Suite.h"
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

constexpr qint32 kEpdRecords = 5000000;
constexpr qint32 kCsvRows = 5500000;
constexpr qint64 kOneLineBytes = qint64(1) << 30;
constexpr int kSteps = 200;
constexpr int kStarts = 3;

// Puzzles of the kind Lichess publishes (FEN before the opponent's move, the
// moves in coordinates), repeated with other ids, ratings and themes.
const char* const kPuzzles[][2] = {
    {"q3k1nr/1pp1nQpp/3p4/1P2p3/4P3/B1PP1b2/B5PP/5K2 b k - 0 17", "e8d7 a2e6 d7d8 f7f8"},
    {"r6k/pp2r2p/4Rp1Q/3p4/8/1N1P2R1/PqP2bPP/7K b - - 0 24", "f2g3 e6e7 b2b1 b3c1 b1c1 h6c1"},
    {"r5k1/5ppp/8/8/8/8/5PPP/6K1 w - - 0 1", "h2h3 a8a1 g1h2"},
    {"6k1/5ppp/8/8/8/8/r4PPP/1R4K1 b - - 0 1", "a2a1 b1a1 g8f8 a1a8"}};
const char* const kThemes[] = {
    "fork",  "pin",  "mate",     "mateIn1",   "mateIn2",   "endgame", "middlegame",
    "short", "long", "crushing", "advantage", "sacrifice", "skewer",  "discoveredAttack"};

QByteArray puzzleId(qint64 n)
{
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    QByteArray id(5, '0');
    for (int i = 4; i >= 0; --i, n /= 62)
        id[i] = digits[n % 62];
    return id;
}

bool writeFile(const QString& path, const std::function<bool(QFile&)>& write)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && write(file) && file.flush();
}

bool writeEpd(const QString& path)
{
    return writeFile(path, [](QFile& file) {
        QByteArray chunk;
        for (qint32 n = 1; n <= kEpdRecords; ++n) {
            chunk += "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - bm Ng5; "
                     "id \"B." +
                     QByteArray::number(n) + "\";\n";
            if (chunk.size() > (1 << 20) || n == kEpdRecords) {
                if (file.write(chunk) != chunk.size())
                    return false;
                chunk.clear();
            }
        }
        return true;
    });
}

bool writeCsv(const QString& path)
{
    return writeFile(path, [](QFile& file) {
        QRandomGenerator random(20);
        QByteArray chunk = "PuzzleId,FEN,Moves,Rating,RatingDeviation,Popularity,NbPlays,Themes,"
                           "GameUrl,OpeningTags\n";
        for (qint32 n = 1; n <= kCsvRows; ++n) {
            const auto& puzzle = kPuzzles[random.bounded(4)];
            QByteArrayList themes;
            for (int t = 2 + int(random.bounded(3)); t > 0; --t)
                themes << kThemes[random.bounded(14)];
            chunk += puzzleId(n) + ',' + puzzle[0] + ',' + puzzle[1] + ',' +
                     QByteArray::number(600 + random.bounded(2400)) + ",75," +
                     QByteArray::number(random.bounded(100)) + ',' +
                     QByteArray::number(random.bounded(20000)) + ',' + themes.join(' ') +
                     ",https://lichess.org/" + puzzleId(n * 7) + "xyz/black#34," +
                     (n % 3 ? "" : "Italian_Game Italian_Game_Classical_Variation") + '\n';
            if (chunk.size() > (1 << 20) || n == kCsvRows) {
                if (file.write(chunk) != chunk.size())
                    return false;
                chunk.clear();
            }
        }
        return true;
    });
}

bool writeOneLine(const QString& path)
{
    return writeFile(path, [](QFile& file) {
        const QByteArray chunk(1 << 20, 'x');
        for (qint64 written = 0; written < kOneLineBytes; written += chunk.size()) {
            if (file.write(chunk) != chunk.size())
                return false;
        }
        return true;
    });
}

// The memory the process holds, in megabytes.
double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
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

void report(const char* what, std::vector<double> ms, const char* goal)
{
    std::sort(ms.begin(), ms.end());
    std::printf("  %-34s median %9.3f ms   worst %9.3f ms   (goal %s)\n", what, ms[ms.size() / 2],
                ms.back(), goal);
}

// The suite alone: first reading, the reading kept for the next start, the
// memory it adds and, for a collection, the filter over every row.
void measureSuite(const QString& path, const QString& cache)
{
    QDir(cache).removeRecursively();
    std::printf("%s\n", qPrintable(QFileInfo(path).fileName()));
    for (const char* pass : {"first", "kept"}) {
        const double before = residentMb();
        kx::Suite suite;
        suite.setCacheFolder(cache);
        const double openMs = timed([&] {
            if (!suite.Open(path))
                std::printf("  cannot open: %s\n", qPrintable(suite.Open(path).error()));
        });
        std::printf("  open, %-5s %10.1f ms   %9d records   index %7.2f MB   memory added "
                    "%7.2f MB\n",
                    pass, openMs, suite.size(), double(suite.indexBytes()) / (1 << 20),
                    residentMb() - before);
        if (!suite.filterable())
            continue;
        suite.setFilter(kx::ReadPuzzleFilter(QStringLiteral("1500"), QStringLiteral("1800"),
                                             QStringLiteral("fork")));
        qint32 matching = 0;
        const double filterMs = timed([&] { matching = suite.Drawable(suite.size()).valueOr(-1); });
        std::printf("  filter, %-5s %8.1f ms   %9d match (%s)   with it %7.2f MB\n", pass, filterMs,
                    matching, qPrintable(suite.filter().Text()),
                    double(suite.indexBytes()) / (1 << 20));
    }
}

// The suite in the main window: its start, Next, and ShowPosition at any number.
void measureWindow(const QString& programFolder, const QString& dataFolder, const QString& name,
                   const QByteArray& filter)
{
    QFile last(QDir(dataFolder).filePath(QStringLiteral("KXLast.ini")));
    if (!last.open(QIODevice::WriteOnly) ||
        last.write("[Last]\nSuite=" + name.toUtf8() + '\n' + filter) < 0)
        qFatal("cannot write the last choices");
    last.close();
    QDir(QDir(dataFolder).filePath(QLatin1String(kx::kSuiteCacheFolderName))).removeRecursively();
    std::printf("%s in the window\n", qPrintable(name));
    std::vector<double> starts;
    std::unique_ptr<frmKestrelux> w;
    for (int i = 0; i < kStarts; ++i) {
        w.reset();
        starts.push_back(timed([&] {
            w = std::make_unique<frmKestrelux>(programFolder, dataFolder);
            w->setMessageHandler([](const QString& text) {
                std::fprintf(stderr, "message: %s\n", qPrintable(text));
            });
            w->show();
            QApplication::processEvents();
        }));
        std::printf("  start to window, %s %10.1f ms\n", i == 0 ? "first" : "kept ", starts.back());
    }
    std::vector<double> next, show, showLast;
    QRandomGenerator random(7);
    const qint32 size = w->suiteSize();
    for (int i = 0; i < kSteps; ++i) {
        next.push_back(timed([&] { w->cmdNext_Click(); }));
        const qint32 n = qint32(random.bounded(quint32(size))) + 1;
        show.push_back(timed([&] { w->ShowPosition(n); }));
        showLast.push_back(timed([&] { w->ShowPosition(size - i % 16); }));
    }
    report("Next", next, "< 16 ms, ideally < 1 ms");
    report("ShowPosition, any number", show, "< 16 ms, ideally < 1 ms");
    report("ShowPosition, the last ones", showLast, "< 16 ms, ideally < 1 ms");
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir program;
    QTemporaryDir data;
    const QString epd = data.filePath(QStringLiteral("huge.epd"));
    const QString csv = data.filePath(QStringLiteral("lichess_db_puzzle.csv"));
    const QString wac = data.filePath(QStringLiteral("WAC.EPD"));
    const QString cache = data.filePath(QStringLiteral("bench-cache"));
    if (!writeEpd(epd) || !writeCsv(csv) ||
        !QFile::copy(QStringLiteral(KX_SHIPPED_SUITES "/WAC.EPD"), wac))
        qFatal("cannot write the suites");
    std::printf("files: %s %.0f MB, %s %.0f MB\n", qPrintable(QFileInfo(epd).fileName()),
                double(QFileInfo(epd).size()) / (1 << 20), qPrintable(QFileInfo(csv).fileName()),
                double(QFileInfo(csv).size()) / (1 << 20));

    for (const QString& path : {wac, epd, csv})
        measureSuite(path, cache);
    measureWindow(program.path(), data.path(), QStringLiteral("WAC.EPD"), QByteArray());
    measureWindow(program.path(), data.path(), QStringLiteral("huge.epd"), QByteArray());
    measureWindow(program.path(), data.path(), QStringLiteral("lichess_db_puzzle.csv"),
                  "RatingFrom=1500\nRatingTo=1800\nThemes=fork\n");

    QFile::remove(epd);
    QFile::remove(csv);
    for (const char* name : {"oneline.epd", "oneline.csv", "oneline.pgn"}) {
        const QString path = data.filePath(QLatin1String(name));
        if (!writeOneLine(path))
            qFatal("cannot write the one-line file");
        const double before = residentMb();
        kx::Suite suite;
        QString outcome;
        const double ms = timed([&] {
            const kx::Result<> opened = suite.Open(path);
            outcome = opened ? QStringLiteral("%1 records, %2 positions")
                                   .arg(suite.size())
                                   .arg(suite.positions())
                             : opened.error().left(60);
        });
        std::printf("1 GB one line, %s: %.0f ms, memory added %.2f MB: %s\n", name, ms,
                    residentMb() - before, qPrintable(outcome));
        QFile::remove(path);
    }
    return 0;
}
