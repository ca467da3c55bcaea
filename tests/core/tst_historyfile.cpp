// The position history file: what is written reads back the same, a line
// that does not hold up is dropped alone, and an entry belongs to the record
// it was met with.

#include "HistoryFile.h"
#include "PositionHistory.h"

#include <QTest>

using namespace kx;

namespace {

const QDate kToday(2024, 6, 15);
const QByteArray kGood = "3 00000000000000ab 4 1 2024-06-10 2 2024-06-11\n";

} // namespace

class TestHistoryFile : public QObject
{
    Q_OBJECT

private slots:
    void readsWhatItWrote();
    void badLinesAreDroppedAlone_data();
    void badLinesAreDroppedAlone();
    void anotherRecordStartsAfresh();
};

void TestHistoryFile::readsWhatItWrote()
{
    PositionHistory history;
    history.Record(40, QStringLiteral("8/8/8/8/8/8/8/K6k w - - bm Kb1;"), false, false, kToday);
    history.Record(2, QStringLiteral("Zoë's position"), true, false, kToday.addDays(-3));
    history.Record(32767, QStringLiteral("r7/8/8/8/8/8/8/K6k b - - bm Ra1+;"), false, false,
                   kToday);
    history.Record(32767, QStringLiteral("r7/8/8/8/8/8/8/K6k b - - bm Ra1+;"), true, true, kToday);
    const QByteArray text = HistoryText(history.entries());
    QVERIFY(text.startsWith("# Kestrelux position history 1\n"));
    QVERIFY(text.contains("\n2 ") && text.contains(" 2024-06-12 0 -\n"));
    const HistoryReading read = ParseHistory(text, kToday);
    QCOMPARE(read.dropped, 0);
    QVERIFY(read.entries == history.entries());
    QCOMPARE(read.entries.back().box, 2);
    QCOMPARE(read.entries.back().due, kToday.addDays(1));
}

void TestHistoryFile::badLinesAreDroppedAlone_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("kept"); // entries read, the good one included
    QTest::newRow("another good one, CR LF") << QByteArray("5 00000000000000cd 1 0 2024-06-15 "
                                                           "1 2024-06-15\r\n")
                                             << 2;
    QTest::newRow("seen tomorrow")
        << QByteArray("5 00000000000000cd 1 0 2024-06-16 1 2024-06-16\n") << 1;
    QTest::newRow("due later than its box waits")
        << QByteArray("5 00000000000000cd 2 1 2024-06-15 2 2024-06-17\n") << 1;
    QTest::newRow("box 7") << QByteArray("5 00000000000000cd 9 7 2024-06-15 7 2024-07-15\n") << 1;
    QTest::newRow("box -1") << QByteArray("5 00000000000000cd 2 0 2024-06-15 -1 2024-06-15\n") << 1;
    QTest::newRow("no day in February 30")
        << QByteArray("5 00000000000000cd 2 0 2024-02-30 1 2024-02-30\n") << 1;
    QTest::newRow("cut short, no line end")
        << QByteArray("5 00000000000000cd 1 0 2024-06-15 1 2024-06-15") << 1;
    QTest::newRow("cut in a field") << QByteArray("5 00000000000000cd 1 0 2024-0\n") << 1;
    QTest::newRow("more solved than tried")
        << QByteArray("5 00000000000000cd 1 2 2024-06-15 0 -\n") << 1;
    QTest::newRow("short key") << QByteArray("5 cd 1 0 2024-06-15 1 2024-06-15\n") << 1;
    QTest::newRow("an eighth field")
        << QByteArray("5 00000000000000cd 1 0 2024-06-15 1 2024-06-15 x\n") << 1;
    QTest::newRow("number too large")
        << QByteArray("99999999999 00000000000000cd 1 0 2024-06-15 1 2024-06-15\n") << 1;
    QTest::newRow("the same number again: the first counts")
        << QByteArray("3 00000000000000cd 1 0 2024-06-15 1 2024-06-15\n") << 1;
}

void TestHistoryFile::badLinesAreDroppedAlone()
{
    QFETCH(QByteArray, line);
    QFETCH(int, kept);
    const HistoryReading read = ParseHistory("# a comment\n" + kGood + line, kToday);
    QCOMPARE(int(read.entries.size()), kept);
    QCOMPARE(read.dropped, 2 - kept);
    QCOMPARE(read.entries.front().number, 3);
    QCOMPARE(read.entries.front().key, quint64(0xab));
}

void TestHistoryFile::anotherRecordStartsAfresh()
{
    PositionHistory history;
    history.Record(9, QStringLiteral("record of the old suite"), false, false, kToday);
    const HistoryEntry after =
        history.Record(9, QStringLiteral("another record"), true, false, kToday);
    QCOMPARE(after.attempts, 1);
    QCOMPARE(after.box, kNoBox);
    QCOMPARE(after.key, RecordKey(QStringLiteral("another record")));
}

QTEST_GUILESS_MAIN(TestHistoryFile)
#include "tst_historyfile.moc"
