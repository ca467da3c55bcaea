#include "ReportLines.h"

#include <QTest>

using namespace kx;

namespace {

// An attempt on position 57, solution Qxh7+, 50 s allowed, the time counted
// as the clock does (0.1 s added per tick). Solved at the first attempt after
// 100 ticks it is the worked example: 96.875 points.
AttemptLineInput attempt(bool solved, qint32 count, const char* move, int tickCount)
{
    double elapsed = 0.0;
    for (int i = 0; i < tickCount; ++i)
        elapsed += 0.1;
    return {.solved = solved,
            .positionPoints = 96.875,
            .attemptCount = count,
            .userMove = move,
            .solutionText = "Qxh7+",
            .solvedCount = 1,
            .elapsedTime = elapsed,
            .timePerPosition = 50.0,
            .currentPosition = 57};
}

} // namespace

// Column markers and the two report lines.
class TestReportLines : public QObject
{
    Q_OBJECT

private slots:
    void addTab_data();
    void addTab();
    void attemptLine_data();
    void attemptLine();
    void summaryLine();
};

void TestReportLines::addTab_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* line, const char* expected) {
        QTest::newRow(name) << QString(line) << QString(expected);
    };
    row("empty brackets removed", "ab[]x", "abx");
    row("four digits are text", "a[1234]x", "a[1234]x");
    row("passed column removed", "abc[2]x", "abcx");
    row("padded to column", "ab[5]x", "ab  x");
    row("exactly at column", "123456[7]x", "123456x");
    // Only decimal digits name a column: a record's "bm [9e9]" or a suite
    // named "x[1e9].epd" must not ask for 2^31 blanks.
    row("exponents are text", "a[9e9]b[1e9]", "a[9e9]b[1e9]");
    row("point, sign, blank are text", "[2.5]x[-5]y[ 5]", "[2.5]x[-5]y[ 5]");
    QTest::newRow("widest column") << "ab[999]x" << QString("ab") + QString(996, u' ') + "x";
    row("marker right after a passed one", "abc[2][1]x", "abc[1]x");
    row("unclosed bracket is text", "ab[5]x[3", "ab  x[3");
    row("two markers", "a[3]b[6]c", "a b  c");
    row("level tag after marker", "x[3][Liv<=3]", "x [Liv<=3]");
}

void TestReportLines::addTab()
{
    QFETCH(QString, line);
    QTEST(AddTab(line), "expected");
}

void TestReportLines::attemptLine_data()
{
    QTest::addColumn<AttemptLineInput>("in");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("line");
    const QLocale c = QLocale::c();
    // Columns: "01)" 7, "Move:" 11, "Sol:" 22, "solv" 31, "Elap" 39, "Save" 48, "PosN" 56.
    QTest::newRow("worked example, 5-character move")
        << attempt(true, 1, "Qd1h7", 100) << c
        << " 96.8 01) Move:Qd1h7 Sol:Qxh7+solv01  Elap100  Save40  PosN057 ";
    QTest::newRow("comma locale")
        << attempt(true, 1, "Qd1h7", 100) << QLocale(QLocale::German)
        << " 96,8 01) Move:Qd1h7 Sol:Qxh7+solv01  Elap100  Save40  PosN057 ";
    QTest::newRow("wrong move after 12.3 s")
        << attempt(false, 2, "Pe2e4", 123) << c
        << " .... 02) Move:Pe2e4 Sol:Qxh7+solv01  Elap123  Save38  PosN057 ";
    QTest::newRow("time ran out, no move")
        << attempt(false, 3, "", 500) << c
        << " .... 03) Move:     Sol:Qxh7+solv01  Elap500   Save00  PosN057 ";
    QTest::newRow("attempt 100")
        << attempt(true, 100, "Qd1h7", 100) << c
        << " 96.8 100) Move:Qd1h7 Sol:Qxh7+solv01  Elap100 Save40  PosN057 ";
}

void TestReportLines::attemptLine()
{
    QFETCH(AttemptLineInput, in);
    QFETCH(QLocale, locale);
    QTEST(AddTab(AttemptLine(in, locale)), "line");
}

void TestReportLines::summaryLine()
{
    const SummaryLineInput in{.puntiCaption = "96",
                              .solvedCaption = "1/1(100%)",
                              .totTimeCaption = "10",
                              .totalSaved = 12345, // only the last four digits are shown
                              .timeForPosition = "50",
                              .when = QDateTime(QDate(2024, 3, 5), QTime(7, 9, 42)),
                              .suiteName = "AVERYLONGSUITENAME.EPD", // cut at 14 characters
                              .levelTag = "[Liv<=3]"};
    // Columns 1, 6, 19, 34, 45, 55, 70 and 85.
    const QString head =
        QStringLiteral("  96 1/1(100%)    tottime 10     saved 2345 (s/p50)   05/03/24 07:09 ");
    QCOMPARE(AddTab(SummaryLine(in)), head + QStringLiteral("AVERYLONGSUITE [Liv<=3]"));
    SummaryLineInput bracketed = in;
    bracketed.suiteName = QStringLiteral("x[9e9].epd");
    QCOMPARE(AddTab(SummaryLine(bracketed)), head + QStringLiteral("x[9e9].epd     [Liv<=3]"));
}

QTEST_GUILESS_MAIN(TestReportLines)
#include "tst_reportlines.moc"
