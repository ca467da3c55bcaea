#include "ReportLines.h"
#include "ScoreLines.h"

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

// A summary line as a session writes it to the log.
QString summary(const char* points, const char* suite, const char* levelTag = "")
{
    return AddTab(SummaryLine({.puntiCaption = points,
                               .solvedCaption = "7/10(70%)",
                               .totTimeCaption = "212",
                               .totalSaved = 288,
                               .timeForPosition = "50",
                               .when = QDateTime(QDate(2024, 3, 9), QTime(21, 5)),
                               .suiteName = suite,
                               .levelTag = levelTag}));
}

} // namespace

// Column markers, the two report lines, and which logged sessions the scores
// view lists in which order.
class TestReportLines : public QObject
{
    Q_OBJECT

private slots:
    void addTab_data()
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
    void addTab()
    {
        QFETCH(QString, line);
        QTEST(AddTab(line), "expected");
    }

    void attemptLine_data()
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
    void attemptLine()
    {
        QFETCH(AttemptLineInput, in);
        QFETCH(QLocale, locale);
        QTEST(AddTab(AttemptLine(in, locale)), "line");
    }

    void summaryLine()
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

    void scoresListed_data()
    {
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("suite");
        QTest::addColumn<bool>("statsMode");
        QTest::addColumn<QList<int>>("expected"); // indexes into log, in listed order
        const QString wac = "WAC.EPD";
        const QString attempt = AddTab(" 96.8 [7]01) [11]Move:Qd3h7 [21]Sol:Qxh7+");
        QTest::newRow("best first, attempt lines never")
            << QStringList{summary("150", "WAC.EPD"), summary("1200", "WAC.EPD"),
                           summary("87", "WAC.EPD"), attempt}
            << wac << false << QList<int>{1, 0, 2};
        QTest::newRow("only the chosen suite")
            << QStringList{summary("150", "WAC.EPD"), summary("900", "WCSAC.EPD")} << wac << false
            << QList<int>{0};
        QTest::newRow("level tag cut off")
            << QStringList{summary("10", "WAC.EPD", "[Liv<=8]")} << wac << false << QList<int>{0};
        QTest::newRow("above 2000 still highest first")
            << QStringList{summary("2500", "WAC.EPD"), summary("1999", "WAC.EPD"),
                           summary("9999", "WAC.EPD")}
            << wac << false << QList<int>{2, 0, 1};
        QTest::newRow("decimal comma")
            << QStringList{summary("7", "WAC.EPD"), summary("7,6", "WAC.EPD")} << wac << false
            << QList<int>{1, 0};
        QTest::newRow("statistics mode: level limit 10")
            << QStringList{summary("30", "WAC.EPD", "[Liv<=8]"),
                           summary("20", "WAC.EPD", "[Liv<=12]"), summary("10", "WAC.EPD"),
                           summary("40", "WAC.EPD", "[Liv<=10]")}
            << wac << true << QList<int>{3, 1, 2};
        QTest::newRow("statistics mode: WAC suites only")
            << QStringList{summary("30", "MYWAC.EPD"), summary("20", "WACX.EPD")} << "WAC" << true
            << QList<int>{1};
        QTest::newRow("normal mode: any suite")
            << QStringList{summary("30", "MYWAC.EPD")} << "WAC" << false << QList<int>{0};
    }
    void scoresListed()
    {
        QFETCH(QStringList, log);
        QFETCH(QString, suite);
        QFETCH(bool, statsMode);
        QFETCH(QList<int>, expected);
        QStringList shown;
        for (const QString& keyed : ScoreRecords(log, {suite, statsMode, 10}))
            shown << keyed.mid(kScoreKeyWidth);
        QStringList want;
        for (int i : expected)
            want << (statsMode ? log.at(i) : log.at(i).left(84));
        QCOMPARE(shown, want);
        for (const QString& line : shown)
            QVERIFY2(statsMode || !line.contains(QLatin1String("[Liv")), qPrintable(line));
    }
};

QTEST_GUILESS_MAIN(TestReportLines)
#include "tst_reportlines.moc"
