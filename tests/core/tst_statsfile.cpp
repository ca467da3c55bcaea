#include "FileSizeLimit.h"
#include "StatsFile.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kx;

// The per-suite statistics file: its records, reading what others wrote, and safe saving.
class TestStatsFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void reads_data();
    void reads();
    void failedSaveKeepsOldFile();

private:
    QTemporaryDir m_dir;
};

namespace {

QStringList row(int n, const QString& comment = QString())
{
    return {QString::number(n), "Qxd1+", "Qd1", "", "", "3", "+1.2", "14", "4", "1", comment};
}

} // namespace

void TestStatsFile::roundTrip_data()
{
    QTest::addColumn<TableRows>("rows");
    QTest::addColumn<int>("lines");
    QTest::newRow("header and two positions") << TableRows{QStringList(), row(1), row(2)} << 39;
    QTest::newRow("two-line comment") << TableRows{QStringList(), row(1, "a\nb"), row(2)} << 40;
    QTest::newRow("closing line in a comment")
        << TableRows{QStringList(), row(1, "*/\nafter"), row(2)} << 40;
    QTest::newRow("opening line, escapes")
        << TableRows{{"/*"}, row(1, "\\*/\n/*\n\\\\/*"), row(2)} << 41;
    QTest::newRow("non-ASCII") << TableRows{QStringList(), row(1, "Zoë's idea")} << 26;
}

void TestStatsFile::roundTrip()
{
    QFETCH(TableRows, rows);
    const QString path = m_dir.filePath("round.txt");
    QVERIFY(WriteStatsFile(path, rows));
    const QByteArray data = readAll(path);
    QCOMPARE(data.count("\r\n"), data.count('\n'));
    QTEST(int(data.count('\n')), "lines");

    StatsReading back = ReadStatsFile(path);
    QVERIFY(back.error.isEmpty());
    for (QStringList& r : rows)
        r.resize(TableCol::Count);
    QCOMPARE(back.rows, rows);
}

void TestStatsFile::reads_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("rows"); // count, then rows joined by "|", cells by ","
    const auto record = [](const char* comment) {
        return QByteArray("/*\n1\nbm\nb1\n\n\n5\n\n\n2\n1\n") + comment + "\n*/\n";
    };
    QTest::newRow("no file") << QByteArray("-") << QString("1:");
    QTest::newRow("empty file") << QByteArray() << QString("1:");
    QTest::newRow("LF only, extra comment lines")
        << record("c1\nc2") << QString("1:1,bm,b1,,,5,,,2,1,c1\nc2");
    QTest::newRow("ends inside a record")
        << record("c") + "/*\n2\nbm" << QString("2:1,bm,b1,,,5,,,2,1,c|2,bm");
    QTest::newRow("short record, stray lines")
        << QByteArray("/*\n1\n*/\nnoise\n") + record("c") << QString("2:1|1,bm,b1,,,5,,,2,1,c");
    QTest::newRow("opening line inside a comment, old writer")
        << record("/*\nx") + record("y")
        << QString("2:1,bm,b1,,,5,,,2,1,/*\nx|1,bm,b1,,,5,,,2,1,y");
    QTest::newRow("Latin-1") << QByteArray("/*\n\xe9\n*/\n") << QString("1:\u00e9");
}

void TestStatsFile::reads()
{
    QFETCH(QByteArray, content);
    const QString path = m_dir.filePath("read.txt");
    QFile::remove(path);
    if (content != "-")
        writeAll(path, content);
    const StatsReading reading = ReadStatsFile(path);
    QVERIFY(reading.error.isEmpty());
    QStringList rows;
    for (const QStringList& r : reading.rows)
        rows << r.join(u',');
    QTEST(QString::number(rows.size()) + u':' + rows.join(u'|'), "rows");
}

void TestStatsFile::failedSaveKeepsOldFile()
{
    const QTemporaryDir dir;
    const QString path = dir.filePath("WAC.EPD_KXI.txt");
    QVERIFY(WriteStatsFile(path, {QStringList(), row(1)}));
    const QByteArray before = readAll(path);
    Result<> saved;
    {
        const FileSizeLimit limit(64); // the disk fills up during the save
        saved = WriteStatsFile(path, {QStringList(), row(1), row(2), row(3)});
    }
    QVERIFY(!saved);
    QVERIFY2(saved.error().contains(path), qPrintable(saved.error()));
    QCOMPARE(readAll(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no new file left behind

    QVERIFY(!ReadStatsFile(dir.path()).error.isEmpty()); // a folder cannot be read
}

QTEST_GUILESS_MAIN(TestStatsFile)
#include "tst_statsfile.moc"
