#include "ReportLines.h"

#include <QTest>

using namespace kx;

namespace {

// 1-based column where text starts in line, 0 when absent.
qsizetype columnOf(const QString& line, const QString& text)
{
    return line.indexOf(text) + 1;
}

// The time used as the clock counts it: 0.1 s added per tick.
double ticks(int count)
{
    double t = 0.0;
    for (int i = 0; i < count; ++i)
        t += 0.1;
    return t;
}

AttemptLineInput workedExample()
{
    AttemptLineInput in;
    in.solved = true;
    in.positionPoints = 96.875;
    in.attemptCount = 1;
    in.userMove = QStringLiteral("Qd1h7");
    in.solutionText = QStringLiteral("Qxh7+");
    in.solvedCount = 1;
    in.elapsedTime = ticks(100);
    in.timePerPosition = 50.0;
    in.currentPosition = 57;
    return in;
}

} // namespace

// Column markers and the two report lines.
class TestReportLines : public QObject
{
    Q_OBJECT

private slots:
    void addTab_data();
    void addTab();
    void workedExampleToTheCharacter();
    void attemptColumns_data();
    void attemptColumns();
    void prefixInCommaLocale();
    void summaryLine();
};

void TestReportLines::addTab_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no marker") << "plain text"
                               << "plain text";
    QTest::newRow("empty brackets removed") << "ab[]x"
                                            << "abx";
    QTest::newRow("four digits are text") << "a[1234]x"
                                          << "a[1234]x";
    QTest::newRow("passed column removed") << "abc[2]x"
                                           << "abcx";
    QTest::newRow("padded to column") << "ab[5]x"
                                      << "ab  x";
    QTest::newRow("exactly at column") << "123456[7]x"
                                       << "123456x";
    QTest::newRow("not a number is zero") << "ab[a]x"
                                          << "abx";
    QTest::newRow("half rounds to even") << "[2.5]x"
                                         << " x";
    QTest::newRow("odd half rounds up") << "[3.5]x"
                                        << "   x";
    QTest::newRow("unclosed bracket is text") << "ab[5]x[3"
                                              << "ab  x[3";
    QTest::newRow("lone bracket at end") << "move["
                                         << "move[";
    QTest::newRow("two markers") << "a[3]b[6]c"
                                 << "a b  c";
    QTest::newRow("level tag after marker") << "x[3][Liv<=3]"
                                            << "x [Liv<=3]";
}

void TestReportLines::addTab()
{
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(AddTab(line), expected);
}

void TestReportLines::workedExampleToTheCharacter()
{
    const QString line = AddTab(AttemptLine(workedExample(), QLocale::c()));
    QCOMPARE(line,
             QStringLiteral(" 96.8 01) Move:Qd1h7 Sol:Qxh7+solv01  Elap100  Save40  PosN057 "));
    QCOMPARE(columnOf(line, "01)"), 7);
    QCOMPARE(columnOf(line, "Move:"), 11);
    QCOMPARE(columnOf(line, "Qd1h7"), 16);
    QCOMPARE(columnOf(line, "Sol:"), 22);
    QCOMPARE(columnOf(line, "solv"), 31);
    QCOMPARE(columnOf(line, "Elap100"), 39);
    QCOMPARE(columnOf(line, "Save40"), 48);
    QCOMPARE(columnOf(line, "PosN057 "), 56);
}

void TestReportLines::attemptColumns_data()
{
    QTest::addColumn<bool>("solved");
    QTest::addColumn<qint32>("attemptCount");
    QTest::addColumn<QString>("userMove");
    QTest::addColumn<int>("tickCount");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("moveColumn");
    QTest::addColumn<int>("solColumn");
    QTest::addColumn<QString>("elap");
    QTest::addColumn<QString>("save");
    QTest::newRow("wrong move after 12.3 s")
        << false << 2 << "Pe2e4" << 123 << " .... " << 11 << 22 << "Elap123"
        << "Save38";
    QTest::newRow("time ran out, no move")
        << false << 3 << "" << 500 << " .... " << 11 << 21 << "Elap500"
        << "Save00";
    QTest::newRow("attempt 100") << true << 100 << "Qd1h7" << 100 << " 96.8 " << 12 << 23
                                 << "Elap100"
                                 << "Save40";
}

void TestReportLines::attemptColumns()
{
    QFETCH(bool, solved);
    QFETCH(qint32, attemptCount);
    QFETCH(QString, userMove);
    QFETCH(int, tickCount);
    AttemptLineInput in = workedExample();
    in.solved = solved;
    in.attemptCount = attemptCount;
    in.userMove = userMove;
    in.elapsedTime = ticks(tickCount);
    const QString line = AddTab(AttemptLine(in, QLocale::c()));

    QTEST(line.left(6), "prefix");
    QTEST(int(columnOf(line, "Move:")), "moveColumn");
    QTEST(int(columnOf(line, "Sol:")), "solColumn");
    QFETCH(QString, elap);
    QFETCH(QString, save);
    QVERIFY2(line.contains(elap), qPrintable(line));
    QVERIFY2(line.contains(save), qPrintable(line));
    QVERIFY2(!line.contains(u'['), qPrintable(line));
}

void TestReportLines::prefixInCommaLocale()
{
    const QString line = AddTab(AttemptLine(workedExample(), QLocale(QLocale::German)));
    QCOMPARE(line.left(11), QStringLiteral(" 96,8 01) M"));
}

void TestReportLines::summaryLine()
{
    SummaryLineInput in;
    in.puntiCaption = QStringLiteral("96");
    in.solvedCaption = QStringLiteral("1/1(100%)");
    in.totTimeCaption = QStringLiteral("10");
    in.totalSaved = 12345;
    in.timeForPosition = QStringLiteral("50");
    in.when = QDateTime(QDate(2024, 3, 5), QTime(7, 9, 42));
    in.suiteName = QStringLiteral("AVERYLONGSUITENAME.EPD");
    in.levelTag = QStringLiteral("[Liv<=3]");
    const QString line = AddTab(SummaryLine(in));

    QCOMPARE(line.left(5), QStringLiteral("  96 "));
    QCOMPARE(columnOf(line, "1/1(100%)"), 6);
    QCOMPARE(columnOf(line, "tottime 10"), 19);
    QCOMPARE(columnOf(line, "saved 2345"), 34);
    QVERIFY(!line.contains(QStringLiteral("12345")));
    QCOMPARE(columnOf(line, "(s/p50) "), 45);
    QCOMPARE(columnOf(line, "05/03/24 07:09"), 55);
    QCOMPARE(columnOf(line, "AVERYLONGSUITE"), 70);
    QVERIFY(!line.contains(QStringLiteral("AVERYLONGSUITEN")));
    QCOMPARE(columnOf(line, "[Liv<=3]"), 85);
    QCOMPARE(line.size(), 84 + 8);
}

QTEST_GUILESS_MAIN(TestReportLines)
#include "tst_reportlines.moc"
