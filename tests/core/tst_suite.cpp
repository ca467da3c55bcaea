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
    for (const char* name : {"b.epd", "WAC.EPD", "notes.txt", "c.Epd", "epd"})
        writeAll(user.filePath(QString::fromLatin1(name)), "user\n");
    for (const char* name : {"A.EPD", "b.epd", "WCSAC.EPD", "B.EPD"})
        writeAll(program.filePath(QString::fromLatin1(name)), "program\n");
    QVERIFY(QDir(user.path()).mkdir(QStringLiteral("folder.epd")));
    const QString missing = user.filePath(QStringLiteral("missing"));
    const QStringList folders = {user.path(), missing, program.path()};

    QCOMPARE(SuiteList(folders),
             (QStringList{"WAC.EPD", "BWTC.EPD", "WCSAC.EPD", "A.EPD", "B.EPD", "b.epd", "c.Epd"}));
    QCOMPARE(SuiteList({missing}), (QStringList{"WAC.EPD", "BWTC.EPD", "WCSAC.EPD"}));

    QCOMPARE(FindSuite(folders, QStringLiteral("b.epd")), user.filePath(QStringLiteral("b.epd")));
    QCOMPARE(FindSuite(folders, QStringLiteral("A.EPD")),
             program.filePath(QStringLiteral("A.EPD")));
    QCOMPARE(FindSuite(folders, QStringLiteral("BWTC.EPD")), QString());
    QCOMPARE(FindSuite(folders, QStringLiteral("folder.epd")), QString());
    QCOMPARE(FindSuite(folders, QString()), QString());
}

QTEST_GUILESS_MAIN(TestSuite)
#include "tst_suite.moc"
