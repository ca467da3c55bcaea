#include "SuiteFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <sys/stat.h>

using namespace kx;

// Suite files: records by number, line counts and the suite list.
class TestSuiteFile : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void unreadableFile();
    void filesReportingSizeZero();
    void suiteList();
};

void TestSuiteFile::lines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("records");
    QTest::newRow("CR LF, last line without end") << QByteArray("r1 bm e4;\r\nr2 bm d4;\r\nr3")
                                                  << QStringList{"r1 bm e4;", "r2 bm d4;", "r3"};
    QTest::newRow("LF with final line end") << QByteArray("r1\nr2\n") << QStringList{"r1", "r2"};
    QTest::newRow("empty line inside")
        << QByteArray("r1\r\n\r\nr3\r\n") << QStringList{"r1", "", "r3"};
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

void TestSuiteFile::lines()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, records);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("T.EPD"));
    writeAll(path, content);
    QCOMPARE(CountSuiteLines(path), records.size());
    QCOMPARE(ReadSuiteLines(path).value(), records);
    for (qsizetype i = 0; i < records.size(); ++i) {
        const SuiteRecord record = ReadSuiteRecord(path, qint32(i + 1));
        QVERIFY2(record.ok, qPrintable(record.error));
        QCOMPARE(record.record, records[i]);
    }
    const qint32 past = qint32(records.size() + 1);
    QCOMPARE(ReadSuiteRecord(path, past).error,
             QStringLiteral("Position %1 is beyond the end of T.EPD (%2 positions).")
                 .arg(past)
                 .arg(records.size()));
    QVERIFY(ReadSuiteRecord(path, 0).error.startsWith("Position 0 does not exist in T.EPD"));
}

void TestSuiteFile::unreadableFile()
{
    const QString path = QStringLiteral("/nonexistent-kx-folder/WAC.EPD");
    QCOMPARE(CountSuiteLines(path), -1);
    QVERIFY(!ReadSuiteLines(path));
    const SuiteRecord record = ReadSuiteRecord(path, 1);
    QVERIFY(!record.ok);
    QVERIFY2(record.error.startsWith(QStringLiteral("Cannot open the suite file ") + path + ": "),
             qPrintable(record.error));
}

// A /proc file and a pipe report size 0 yet hold lines: every reader reads to the end.
void TestSuiteFile::filesReportingSizeZero()
{
    const QString proc = QStringLiteral("/proc/filesystems");
    const QStringList procLines = ReadSuiteLines(proc).value_or(QStringList());
    if (procLines.isEmpty())
        QSKIP("/proc/filesystems cannot be read here");
    QCOMPARE(CountSuiteLines(proc), procLines.size());
    QCOMPARE(ReadSuiteRecord(proc, qint32(procLines.size())).record, procLines.last());

    QTemporaryDir dir;
    const QByteArray pipe = dir.filePath(QStringLiteral("pipe.epd")).toLocal8Bit();
    QCOMPARE(mkfifo(pipe.constData(), 0600), 0);
    // A pipe is read once per opening, so each reading gets its own writer.
    const auto feed = [&pipe] {
        return std::async(std::launch::async, [&pipe] {
            QFile writer(QString::fromLocal8Bit(pipe));
            if (writer.open(QIODevice::WriteOnly))
                writer.write("r1\nr2\r\nr3");
        });
    };
    auto first = feed();
    QCOMPARE(CountSuiteLines(QString::fromLocal8Bit(pipe)), 3);
    first.wait();
    auto second = feed();
    QCOMPARE(ReadSuiteRecord(QString::fromLocal8Bit(pipe), 3).record, QStringLiteral("r3"));
    second.wait();
    auto third = feed();
    QCOMPARE(ReadSuiteLines(QString::fromLocal8Bit(pipe)).value(), (QStringList{"r1", "r2", "r3"}));
}

// Suites gathered from several folders: the classic names first, then the
// rest by name, each name once; a name is found in the first folder holding it.
void TestSuiteFile::suiteList()
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

QTEST_GUILESS_MAIN(TestSuiteFile)
#include "tst_suitefile.moc"
