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

void TestSuite::lines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("records");
    QTest::newRow("CR LF, last line without end") << QByteArray("r1 bm e4;\r\nr2 bm d4;\r\nr3")
                                                  << QStringList{"r1 bm e4;", "r2 bm d4;", "r3"};
    QTest::newRow("LF with final line end") << QByteArray("r1\nr2\n") << QStringList{"r1", "r2"};
    QTest::newRow("blank lines inside")
        << QByteArray("r1\r\n\r\n \t\r\nr4\r\n") << QStringList{"r1", "", " \t", "r4"};
    QTest::newRow("one empty line") << QByteArray("\n") << QStringList{""};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    const QString longLine(70000, u'r'); // more than one read chunk
    QTest::newRow("long line") << (longLine.toLatin1() + "\nlast") << QStringList{longLine, "last"};
    QTest::newRow("CR only") << QByteArray("r1\rr2\r\rr4") << QStringList{"r1", "r2", "", "r4"};
    const QString chunkLong(64 * 1024 - 1, u'r'); // its CR LF straddles two read chunks
    QTest::newRow("CR LF across chunks")
        << (chunkLong.toLatin1() + "\r\nlast\r\n") << QStringList{chunkLong, "last"};
    QTest::newRow("Latin-1 and UTF-8 lines") << QByteArray("c0 \"R\xe9ti\";\nc0 \"R\xc3\xa9ti\";")
                                             << QStringList{QString::fromUtf8("c0 \"R\u00e9ti\";"),
                                                            QString::fromUtf8("c0 \"R\u00e9ti\";")};
}

void TestSuite::lines()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, records);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("T.EPD"));
    writeAll(path, content);
    Suite suite;
    QVERIFY(suite.Open(path));
    QCOMPARE(suite.size(), records.size());
    qint32 first = 0;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const qint32 n = qint32(i + 1);
        const Result<QString> record = suite.record(n);
        QVERIFY2(record, qPrintable(record.error()));
        QCOMPARE(*record, records[i]);
        QCOMPARE(suite.holdsRecord(n), !records[i].trimmed().isEmpty());
        if (!first && suite.holdsRecord(n))
            first = n;
    }
    QCOMPARE(suite.holdsRecordUpTo(qint32(records.size())), first > 0);
    QVERIFY(!suite.holdsRecordUpTo(first - 1));
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
    QCOMPARE(suite.record(suite.size()).valueOr(QString()), procLines.last());

    QTemporaryDir dir;
    const QByteArray pipe = dir.filePath(QStringLiteral("pipe.epd")).toLocal8Bit();
    QCOMPARE(mkfifo(pipe.constData(), 0600), 0);
    auto writer = std::async(std::launch::async, [&pipe] {
        QFile file(QString::fromLocal8Bit(pipe));
        if (file.open(QIODevice::WriteOnly))
            file.write("r1\nr2\r\nr3");
    });
    QVERIFY(suite.Open(QString::fromLocal8Bit(pipe)));
    writer.wait();
    QVERIFY(suite.Open(QString::fromLocal8Bit(pipe))); // no writer now: not read again
    QCOMPARE(suite.size(), 3);
    QCOMPARE(suite.record(2).valueOr(QString()), QStringLiteral("r2"));
    QCOMPARE(suite.record(3).valueOr(QString()), QStringLiteral("r3"));
}

// Opening the file again re-reads it when its size or its time has changed.
void TestSuite::changedBehindItsBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("T.EPD"));
    writeAll(path, "r1\nr2\n");
    Suite suite;
    QVERIFY(suite.Open(path));
    writeAll(path, "r1\n\nlonger r3\n");
    QVERIFY(suite.Open(path));
    QCOMPARE(suite.size(), 3);
    QVERIFY(!suite.holdsRecord(2));
    QCOMPARE(suite.record(3).valueOr(QString()), QStringLiteral("longer r3"));

    // The same size, written within the same instant: only the time tells.
    QFile file(path);
    const QDateTime before = QFileInfo(path).lastModified();
    writeAll(path, "x1\n\nlonger x3\n");
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(before.addSecs(5), QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(suite.Open(path));
    QCOMPARE(suite.record(1).valueOr(QString()), QStringLiteral("x1"));

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
    QTest::newRow("more than the draw takes") << "big.epd" << 40000 << 32767;
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
    writeAll(path, "\nr2\n   \n\t \nr5\nr6\n\n");
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
