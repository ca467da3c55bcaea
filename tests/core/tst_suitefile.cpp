#include "SuiteFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kx;

namespace {

void writeAll(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

} // namespace

// Suite files: records by number, line counts and the suite list.
class TestSuiteFile : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void outOfRange_data();
    void outOfRange();
    void unreadableFile();
    void publicSuite();
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
}

void TestSuiteFile::lines()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, records);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("T.EPD"));
    writeAll(path, content);
    QCOMPARE(CountSuiteLines(path), records.size());
    for (qsizetype i = 0; i < records.size(); ++i) {
        const SuiteRecord record = ReadSuiteRecord(path, qint32(i + 1));
        QVERIFY2(record.ok, qPrintable(record.error));
        QCOMPARE(record.record, records[i]);
    }
}

void TestSuiteFile::outOfRange_data()
{
    QTest::addColumn<qint32>("n");
    QTest::addColumn<QString>("message");
    QTest::newRow("zero") << 0 << "Position 0 does not exist in T.EPD";
    QTest::newRow("negative") << -3 << "Position -3 does not exist in T.EPD";
    QTest::newRow("beyond the end") << 4 << "Position 4 is beyond the end of T.EPD (3 positions).";
}

void TestSuiteFile::outOfRange()
{
    QFETCH(qint32, n);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("T.EPD"));
    writeAll(path, "r1\r\nr2\r\nr3\r\n");
    const SuiteRecord record = ReadSuiteRecord(path, n);
    QVERIFY(!record.ok);
    QVERIFY2(record.error.startsWith(message), qPrintable(record.error));
}

void TestSuiteFile::unreadableFile()
{
    const QString path = QStringLiteral("/nonexistent-kx-folder/WAC.EPD");
    QCOMPARE(CountSuiteLines(path), -1);
    const SuiteRecord record = ReadSuiteRecord(path, 1);
    QVERIFY(!record.ok);
    QVERIFY2(record.error.startsWith(QStringLiteral("Cannot open the suite file ") + path + ": "),
             qPrintable(record.error));
}

void TestSuiteFile::publicSuite()
{
    const QString path = QStringLiteral(KX_SUITES_DIR "/WAC.EPD");
    if (!QFile::exists(path))
        QSKIP("Public suite WAC.EPD not found in " KX_SUITES_DIR);
    QCOMPARE(CountSuiteLines(path), 300);
    const SuiteRecord last = ReadSuiteRecord(path, 300);
    QVERIFY(last.ok);
    QVERIFY(last.record.endsWith(QStringLiteral("bm g6; id WAC.300;")));
    QCOMPARE(ReadSuiteRecord(path, 301).error,
             QStringLiteral("Position 301 is beyond the end of WAC.EPD (300 positions)."));
}

void TestSuiteFile::suiteList()
{
    QTemporaryDir dir;
    for (const char* name : {"b.epd", "WAC.EPD", "notes.txt", "c.Epd", "A.EPD", "epd"})
        writeAll(dir.filePath(QString::fromLatin1(name)), "x\n");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.epd")));
    QCOMPARE(SuiteList(dir.path()),
             (QStringList{"WAC.EPD", "BWTC.EPD", "WCSAC.EPD", "A.EPD", "b.epd", "c.Epd"}));
    QCOMPARE(SuiteList(dir.filePath(QStringLiteral("missing"))),
             (QStringList{"WAC.EPD", "BWTC.EPD", "WCSAC.EPD"}));
}

QTEST_GUILESS_MAIN(TestSuiteFile)
#include "tst_suitefile.moc"
