#include "PgnGame.h"
#include "PuzzleCsv.h"
#include "RandomSource.h"
#include "Suite.h"
#include "TestFiles.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <sys/stat.h>

using namespace kx;

namespace {
// A position, for lines whose text follows it.
const QByteArray kFen = "4k3/8/8/8/8/8/8/4K3 w ";

// A puzzle collection's header, its columns in another order than Lichess's
// and one it does not have, and two of Lichess's puzzles as its rows.
const QByteArray kPuzzleHeader = "FEN,PuzzleId,Rating,Moves,Themes,Source";
const QByteArray kMatePuzzle = "q3k1nr/1pp1nQpp/3p4/1P2p3/4P3/B1PP1b2/B5PP/5K2 b k - 0 17,00sHx,"
                               "1760,e8d7 a2e6 d7d8 f7f8,mate mateIn2 middlegame short,book";
const QByteArray kRookPuzzle = "r6k/pp2r2p/4Rp1Q/3p4/8/1N1P2R1/PqP2bPP/7K b - - 0 24,00008,1913,"
                               "f2g3 e6e7 b2b1 b3c1 b1c1 h6c1,crushing hangingPiece long,";

// Counts what a suite reports of its long readings.
struct ReadingsSeen
{
    int readings = 0;
    SuiteProgress progress()
    {
        return [this](const QString&, qint64 done, qint64) {
            readings += done == 0;
            return true;
        };
    }
};
} // namespace

// Suites: records by number from the index, the lines that hold records, a
// file changed behind the suite's back, the sizes drawn from and the list.
class TestSuite : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void unreadableFile();
    void filesReportingSizeZero();
    void changedBehindItsBack();
    void drawSize_data();
    void drawSize();
    void drawsOnlyRecordsTaken();
    void suiteList();
    void puzzleCollection_data();
    void puzzleCollection();
    void pgnPuzzles();
    void millionsOfRecords();
    void largeCollectionKeptBetweenRuns();
};

// In the rows "@" stands for a position's FEN; a record "!" is a line that
// is no position, "" a blank one.
void TestSuite::lines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("records");
    QTest::newRow("CR LF, last line without end")
        << QByteArray("@ bm e4;\r\n@ bm d4;\r\n@") << QStringList{"@ bm e4;", "@ bm d4;", "@"};
    QTest::newRow("LF with final line end") << QByteArray("@1\n@2\n") << QStringList{"@1", "@2"};
    QTest::newRow("blank lines inside")
        << QByteArray("@1\r\n\r\n \t\r\n@4\r\n") << QStringList{"@1", "", "", "@4"};
    QTest::newRow("one empty line") << QByteArray("\n") << QStringList{""};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("CR only") << QByteArray("@1\r@2\r\r@4") << QStringList{"@1", "@2", "", "@4"};
    // The first of them exactly as long as a position may be.
    const QByteArray comment = " c0 \"" + QByteArray(65502, 'x') + "\";";
    QTest::newRow("longest lines") << "@" + comment + "\n@" + comment + "xxxxxxxxxxx\n"
                                   << QStringList{"@" + QString::fromLatin1(comment), "!"};
    const QByteArray chunkLong(1024 * 1024 - 1, 'r'); // its CR LF straddles two read chunks
    QTest::newRow("CR LF across chunks") << chunkLong + "\r\n@\r\n" << QStringList{"!", "@"};
    QTest::newRow("Latin-1 and UTF-8 lines")
        << QByteArray("@ c0 \"R\xe9ti\";\n@ c0 \"R\xc3\xa9ti\";")
        << QStringList{QString::fromUtf8("@ c0 \"R\u00e9ti\";"),
                       QString::fromUtf8("@ c0 \"R\u00e9ti\";")};
    QTest::newRow("NULs before the line ends")
        << QByteArray("@ bm e4;~\r\n@ bm Qd1~~\n~\n@ bm Kd2~").replace('~', '\0')
        << QStringList{"@ bm e4;", "@ bm Qd1", "", "@ bm Kd2"};
    QTest::newRow("no chess boards")
        << QByteArray(
               "K Q k q w\n8/8/8/8/8/8/8/8 w\n4k3/8/8/8/8/8/8/4K3 x\n4k3/8/8/8/8/8/8/4K2P w\n"
               "4k3/8/8/8/8/8/8/4K3/8 w\n4k3/8/8/9/8/8/8/4K3 w\n4kk2/8/8/8/8/8/8/4K3 w\n"
               "\x89PNG\x1a\x01\xff\xfe@\n@")
        << QStringList{"!", "!", "!", "!", "!", "!", "!", "!", "@"};
}

void TestSuite::lines()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, records);
    const QString fen = QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 w - -");
    content.replace('@', fen.toLatin1());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("T.EPD"));
    writeAll(path, content);
    Suite suite;
    QVERIFY(suite.Open(path));
    QCOMPARE(suite.size(), records.size());
    qint32 first = 0;
    qint32 skipped = 0;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const qint32 n = qint32(i + 1);
        const Result<QString> record = suite.record(n);
        const bool position = !records[i].isEmpty() && records[i] != "!";
        QCOMPARE(suite.holdsPosition(n), position);
        QCOMPARE(record.ok(), position);
        if (position)
            QCOMPARE(*record, QString(records[i]).replace(u'@', fen));
        skipped += records[i] == "!";
        if (!first && position)
            first = n;
    }
    QCOMPARE(suite.holdsPositionUpTo(qint32(records.size())), first > 0);
    QVERIFY(!suite.holdsPositionUpTo(first - 1));
    QCOMPARE(suite.skipped(), skipped);
    // Told once, naming the file, the count and the first such line.
    const QString notice = suite.TakeSkippedNotice();
    QCOMPARE(notice.isEmpty(), skipped == 0);
    QVERIFY(notice.isEmpty() ||
            notice.startsWith(QStringLiteral("T.EPD has %1 lines").arg(skipped)));
    QCOMPARE(suite.TakeSkippedNotice(), QString());
    const qint32 past = qint32(records.size() + 1);
    QCOMPARE(suite.record(past).error(),
             QStringLiteral("Position %1 is beyond the end of T.EPD (%2 positions).")
                 .arg(past)
                 .arg(records.size()));
    QVERIFY(suite.record(0).error().startsWith("Position 0 does not exist in T.EPD"));
}

void TestSuite::unreadableFile()
{
    const QString path = QStringLiteral("/nonexistent-kx-folder/WAC.EPD");
    Suite suite;
    const Result<> opened = suite.Open(path);
    QVERIFY(!opened);
    QVERIFY2(opened.error().startsWith(QStringLiteral("Cannot open the suite file ") + path + ": "),
             qPrintable(opened.error()));
    QVERIFY(!suite.record(1));
    QCOMPARE(suite.size(), 0);
}

// A /proc file and a pipe report size 0 yet hold lines: the suite reads to the
// end, and a pipe, which gives its lines only once, is read once.
void TestSuite::filesReportingSizeZero()
{
    const QString proc = QStringLiteral("/proc/filesystems");
    QStringList procLines = QString::fromUtf8(readAll(proc)).split(u'\n');
    procLines.removeLast(); // after the last line end
    if (procLines.isEmpty())
        QSKIP("/proc/filesystems cannot be read here");
    Suite suite;
    QVERIFY(suite.Open(proc));
    QCOMPARE(suite.size(), procLines.size());

    QTemporaryDir dir;
    const QByteArray pipe = dir.filePath(QStringLiteral("pipe.epd")).toLocal8Bit();
    QCOMPARE(mkfifo(pipe.constData(), 0600), 0);
    auto writer = std::async(std::launch::async, [&pipe] {
        QFile file(QString::fromLocal8Bit(pipe));
        if (file.open(QIODevice::WriteOnly))
            file.write(kFen + "r1\n" + kFen + "r2\r\n" + kFen + "r3");
    });
    QVERIFY(suite.Open(QString::fromLocal8Bit(pipe)));
    writer.wait();
    QVERIFY(suite.Open(QString::fromLocal8Bit(pipe))); // no writer now: not read again
    QCOMPARE(suite.size(), 3);
    QCOMPARE(suite.record(2).valueOr(QString()), kFen + "r2");
    QCOMPARE(suite.record(3).valueOr(QString()), kFen + "r3");
}

// Opening the file again re-reads it when its size or its time has changed.
void TestSuite::changedBehindItsBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("T.EPD"));
    writeAll(path, kFen + "r1\n" + kFen + "r2\n");
    Suite suite;
    QVERIFY(suite.Open(path));
    writeAll(path, kFen + "r1\n\n" + kFen + "longer r3\n");
    QVERIFY(suite.Open(path));
    QCOMPARE(suite.size(), 3);
    QVERIFY(!suite.holdsPosition(2));
    QCOMPARE(suite.record(3).valueOr(QString()), kFen + "longer r3");

    // The same size, written within the same instant: only the time tells.
    QFile file(path);
    const QDateTime before = QFileInfo(path).lastModified();
    writeAll(path, kFen + "x1\n\n" + kFen + "longer x3\n");
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(before.addSecs(5), QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(suite.Open(path));
    QCOMPARE(suite.record(1).valueOr(QString()), kFen + "x1");

    QVERIFY(QFile::remove(path));
    QVERIFY(!suite.Open(path));
    QVERIFY(!suite.record(1));
}

void TestSuite::drawSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("size");
    QTest::newRow("WAC.EPD whole") << "WAC.EPD" << 301 << 300;
    QTest::newRow("WAC.EPD short") << "WAC.EPD" << 40 << 40;
    QTest::newRow("WCSAC.EPD") << "WCSAC.EPD" << 1001 << 1001;
    QTest::newRow("a name is matched with its case") << "wac.epd" << 301 << 301;
    QTest::newRow("more than the statistics table holds") << "big.epd" << 40000 << 40000;
    QTest::newRow("no lines") << "BWTC.EPD" << 0 << 0;
}

void TestSuite::drawSize()
{
    QFETCH(QString, name);
    QFETCH(int, lines);
    QTEST(int(DrawSize(name, lines)), "size");
}

// A draw takes lines that hold records and that its filter takes, and
// refuses at once when there is none.
void TestSuite::drawsOnlyRecordsTaken()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("T.EPD"));
    writeAll(path, "\n" + kFen + "\n   \nno board\n" + kFen + "\n" + kFen + "\n\n");
    Suite suite;
    QVERIFY(suite.Open(path));
    RandomSource random;
    random.Seed(12);
    QSet<qint32> drawn, even;
    for (int i = 0; i < 100; ++i) {
        drawn.insert(suite.Draw(random, 6).value_or(0));
        even.insert(suite.Draw(random, 6, [](qint32 n) { return n % 2 == 0; }).value_or(0));
    }
    QCOMPARE(drawn, (QSet<qint32>{2, 5, 6}));
    QCOMPARE(even, (QSet<qint32>{2, 6}));
    QVERIFY(!suite.Draw(random, 4, [](qint32 n) { return n == 5; }));
    int asked = 0;
    // Asked after each refusal whether to go on: a stop ends the draw. (The
    // filter takes position 5 once, for the check that one can be taken.)
    bool once = true;
    const auto onlyOnce = [&once](qint32 n) {
        return n == 5 && std::exchange(once, false);
    };
    QVERIFY(!suite.Draw(random, 7, onlyOnce, [&asked] { return ++asked < 3; }));
    QCOMPARE(asked, 3);
}

// Suites gathered from several folders: the classic names first, then the
// rest by name, each name once; a name is found in the first folder holding it.
void TestSuite::suiteList()
{
    QTemporaryDir user, program;
    for (const char* name : {"b.epd", "WAC.EPD", "notes.txt", "c.Epd", "epd", "p.PGN", "l.csv"})
        writeAll(user.filePath(QString::fromLatin1(name)), "user\n");
    for (const char* name : {"A.EPD", "b.epd", "WCSAC.EPD", "B.EPD"})
        writeAll(program.filePath(QString::fromLatin1(name)), "program\n");
    QVERIFY(QDir(user.path()).mkdir(QStringLiteral("folder.epd")));
    const QString missing = user.filePath(QStringLiteral("missing"));
    const QStringList folders = {user.path(), missing, program.path()};

    QCOMPARE(SuiteList(folders), (QStringList{"WAC.EPD", "BWTC.EPD", "WCSAC.EPD", "A.EPD", "B.EPD",
                                              "b.epd", "c.Epd", "l.csv", "p.PGN"}));
    QCOMPARE(SuiteList({missing}), (QStringList{"WAC.EPD", "BWTC.EPD", "WCSAC.EPD"}));

    QCOMPARE(FindSuite(folders, QStringLiteral("b.epd")), user.filePath(QStringLiteral("b.epd")));
    QCOMPARE(FindSuite(folders, QStringLiteral("A.EPD")),
             program.filePath(QStringLiteral("A.EPD")));
    QCOMPARE(FindSuite(folders, QStringLiteral("BWTC.EPD")), QString());
    QCOMPARE(FindSuite(folders, QStringLiteral("folder.epd")), QString());
    QCOMPARE(FindSuite(folders, QString()), QString());
}

// A puzzle collection: position n is the n-th puzzle row, each made into an
// EPD record; rows that are no puzzles are never drawn and are told of once;
// the filter keeps draws to the puzzles that match it.
void TestSuite::puzzleCollection_data()
{
    QTest::addColumn<QByteArray>("header"); // "" for a file without one
    QTest::newRow("columns named in a header") << kPuzzleHeader;
    QTest::newRow("no header: Lichess's order") << QByteArray();
}

void TestSuite::puzzleCollection()
{
    QFETCH(QByteArray, header);
    // Rows in Lichess's order for the file without a header.
    const auto row = [&header](const QByteArray& puzzle) {
        if (!header.isEmpty())
            return puzzle;
        const QByteArrayList f = puzzle.split(',');
        return QByteArrayList{f[1], f[0], f[3], f[2], "75", "94", "6230", f[4], f[5]}.join(',');
    };
    const QByteArray badFen = QByteArray(kMatePuzzle).replace("B5PP/", "B5PPP/");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("T.csv"));
    writeAll(path, (header.isEmpty() ? QByteArray() : header + "\r\n") + row(kMatePuzzle) + "\r\n" +
                       row(badFen) + "\r\n\r\n" + row(kRookPuzzle) + "\r\n");
    Suite suite;
    QVERIFY(suite.Open(path));
    QCOMPARE(suite.size(), 4);
    const PuzzleColumns columns =
        ReadPuzzleColumns(header.isEmpty() ? row(kMatePuzzle) : header).value();
    QCOMPARE(suite.record(1).valueOr(QString()), PuzzleToEpd(row(kMatePuzzle), columns).value());
    QCOMPARE(suite.record(4).valueOr(QString()), PuzzleToEpd(row(kRookPuzzle), columns).value());
    QCOMPARE(suite.record(2).error(), QStringLiteral("Row 2 of T.csv is not a chess position."));
    QVERIFY(!suite.holdsPosition(3));
    QVERIFY(suite.TakeSkippedNotice().startsWith(
        QStringLiteral("T.csv has 1 rows that are not puzzles")));
    QVERIFY(suite.filterable());

    RandomSource random;
    random.Seed(3);
    const auto drawn = [&] {
        QSet<qint32> numbers;
        for (int i = 0; i < 60; ++i)
            numbers.insert(suite.Draw(random, suite.size()).value_or(0));
        return numbers;
    };
    QCOMPARE(drawn(), (QSet<qint32>{1, 4}));
    suite.setFilter(ReadPuzzleFilter(QStringLiteral("1800"), QString(), QString()));
    QCOMPARE(suite.Drawable(4).valueOr(-1), 1);
    QCOMPARE(drawn(), QSet<qint32>{4});
    suite.setFilter(ReadPuzzleFilter(QString(), QString(), QStringLiteral("Mate short")));
    QCOMPARE(drawn(), QSet<qint32>{1});
    QCOMPARE(suite.Drawable(3).valueOr(-1), 1);
    suite.setFilter(ReadPuzzleFilter(QStringLiteral("3000"), QString(), QStringLiteral("mate")));
    QCOMPARE(suite.CanDraw(4).error(),
             QStringLiteral("No puzzle of T.csv matches the filter (rating 3000-, themes mate)."));
    QVERIFY(!suite.Draw(random, 4));

    // Without the columns a puzzle needs, the file is refused, naming them.
    writeAll(path, "PuzzleId,Position,Rating\n00008,x,1500\n");
    const Result<> refused = suite.Open(path);
    QVERIFY2(refused.error().startsWith(QStringLiteral(
                 "T.csv cannot be used as a suite: its first row names no FEN and no Moves "
                 "column; a puzzle file names its columns")),
             qPrintable(refused.error()));
    QCOMPARE(suite.size(), 0);
}

// A PGN file: position n is game n, games being told apart by their tags
// even when a comment over several lines holds a "[".
void TestSuite::pgnPuzzles()
{
    const QByteArray mate = "[Event \"Back rank\"]\r\n[FEN \"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 "
                            "1\"]\r\n\r\n1. Ra8# {mate\r\n[no tag] here} (1. Kf1) 1-0\r\n";
    const QByteArray empty = "[Event \"Nothing\"]\r\n\r\n*\r\n";
    const QByteArray opening = "\r\n[Event \"Open\"]\r\n1. e4 e5 2. Nf3 *\r\n";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("T.pgn"));
    writeAll(path, mate + "\r\n" + empty + opening);
    Suite suite;
    QVERIFY(suite.Open(path));
    QCOMPARE(suite.size(), 3);
    QCOMPARE(suite.record(1).valueOr(QString()),
             PgnGameToEpd(QByteArray(mate).replace('\r', "")).value());
    QVERIFY(!suite.holdsPosition(2));
    QCOMPARE(suite.record(3).valueOr(QString()),
             PgnGameToEpd(QByteArray(opening).replace('\r', "")).value());
    QVERIFY(suite.TakeSkippedNotice().startsWith(
        QStringLiteral("T.pgn has 1 games that pose no position")));
    QVERIFY(!suite.filterable());
}

// Millions of records: any of them is read at once, the draw reaches past
// the numbers a 16-bit count holds, and the index costs at most eight bytes
// a record.
void TestSuite::millionsOfRecords()
{
    constexpr qint32 kRecords = 5000000;
    const auto line = [](qint32 n) {
        return "K7/8/8/8/8/8/8/k7 w - - id \"" + QByteArray::number(n) + "\";";
    };
    QByteArray content;
    content.reserve(qsizetype(kRecords) * 36);
    for (qint32 n = 1; n <= kRecords; ++n)
        content += line(n) + '\n';
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BIG.EPD"));
    writeAll(path, content);
    content.clear();

    Suite suite;
    QVERIFY(suite.Open(path));
    QCOMPARE(suite.size(), kRecords);
    QCOMPARE(suite.record(4999999).valueOr(QString()), QString::fromLatin1(line(4999999)));
    QCOMPARE(suite.record(kRecords).valueOr(QString()), QString::fromLatin1(line(kRecords)));
    QVERIFY2(suite.indexBytes() <= 8 * qint64(kRecords),
             qPrintable(QString::number(suite.indexBytes())));
    RandomSource random;
    random.Seed(5);
    qint32 highest = 0;
    for (int i = 0; i < 100; ++i)
        highest =
            qMax(highest, suite.Draw(random, DrawSize(suite.name(), suite.size())).value_or(0));
    QVERIFY(highest > 2 * kMaxPositions);
}

// A large collection's index and the puzzles its filter matched are kept,
// so that the next start reads neither again; another filter is applied anew.
void TestSuite::largeCollectionKeptBetweenRuns()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("L.csv"));
    QByteArray content = kPuzzleHeader + '\n';
    while (content.size() < Suite::kKeptIndexFrom)
        content += kMatePuzzle + '\n' + kRookPuzzle + '\n';
    writeAll(path, content);
    const qint32 rows = qint32(content.count('\n') - 1);
    const QString cache = dir.filePath(QStringLiteral("cache"));
    const PuzzleFilter rated = ReadPuzzleFilter(QStringLiteral("1800"), QString(), QString());

    ReadingsSeen first;
    {
        Suite suite;
        suite.setCacheFolder(cache);
        suite.setProgress(first.progress());
        QVERIFY(suite.Open(path));
        suite.setFilter(rated);
        QCOMPARE(suite.Drawable(rows).valueOr(-1), rows / 2);
    }
    QCOMPARE(first.readings, 2); // the file indexed, then filtered

    ReadingsSeen next;
    Suite suite;
    suite.setCacheFolder(cache);
    suite.setProgress(next.progress());
    QVERIFY(suite.Open(path));
    suite.setFilter(rated);
    QCOMPARE(suite.size(), rows);
    QCOMPARE(suite.Drawable(rows).valueOr(-1), rows / 2);
    QCOMPARE(suite.record(rows).valueOr(QString()),
             PuzzleToEpd(kRookPuzzle, ReadPuzzleColumns(kPuzzleHeader).value()).value());
    QCOMPARE(next.readings, 0);
    suite.setFilter(ReadPuzzleFilter(QString(), QString(), QStringLiteral("mate")));
    QCOMPARE(suite.Drawable(rows).valueOr(-1), rows / 2);
    QCOMPARE(next.readings, 1);
}

QTEST_GUILESS_MAIN(TestSuite)
#include "tst_suite.moc"
