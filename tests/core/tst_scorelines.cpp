#include "ReportLines.h"
#include "ScoreLines.h"

#include <QTest>

using namespace kx;

namespace {

// A summary line as a session writes it to the log.
QString summary(const char* points, const char* suite, const char* levelTag = "")
{
    SummaryLineInput in;
    in.puntiCaption = QString(points);
    in.solvedCaption = QStringLiteral("7/10(70%)");
    in.totTimeCaption = QStringLiteral("212");
    in.totalSaved = 288;
    in.timeForPosition = QStringLiteral("50");
    in.when = QDateTime(QDate(2024, 3, 9), QTime(21, 5));
    in.suiteName = QString(suite);
    in.levelTag = QString(levelTag);
    return AddTab(SummaryLine(in));
}

} // namespace

// Which past sessions the scores view lists, and in which order.
class TestScoreLines : public QObject
{
    Q_OBJECT

private slots:
    void listed_data();
    void listed();
};

void TestScoreLines::listed_data()
{
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("suite");
    QTest::addColumn<bool>("statsMode");
    QTest::addColumn<QList<int>>("expected"); // indexes into log, in listed order

    const QString attempt = AddTab(QStringLiteral(" 96.8 [7]01) [11]Move:Qd3h7 [21]Sol:Qxh7+"));
    QTest::newRow("best first, attempt lines never")
        << QStringList{summary("150", "WAC.EPD"), summary("1200", "WAC.EPD"),
                       summary("87", "WAC.EPD"), attempt}
        << "WAC.EPD" << false << QList<int>{1, 0, 2};
    QTest::newRow("only the chosen suite")
        << QStringList{summary("150", "WAC.EPD"), summary("900", "WCSAC.EPD")} << "WAC.EPD" << false
        << QList<int>{0};
    QTest::newRow("level tag cut off")
        << QStringList{summary("10", "WAC.EPD", "[Liv<=8]")} << "WAC.EPD" << false << QList<int>{0};
    QTest::newRow("above 2000 still highest first")
        << QStringList{summary("2500", "WAC.EPD"), summary("1999", "WAC.EPD"),
                       summary("9999", "WAC.EPD")}
        << "WAC.EPD" << false << QList<int>{2, 0, 1};
    QTest::newRow("decimal comma")
        << QStringList{summary("7", "WAC.EPD"), summary("7,6", "WAC.EPD")} << "WAC.EPD" << false
        << QList<int>{1, 0};
    QTest::newRow("statistics mode: level limit 10")
        << QStringList{summary("30", "WAC.EPD", "[Liv<=8]"), summary("20", "WAC.EPD", "[Liv<=12]"),
                       summary("10", "WAC.EPD"), summary("40", "WAC.EPD", "[Liv<=10]")}
        << "WAC.EPD" << true << QList<int>{3, 1, 2};
    QTest::newRow("statistics mode: WAC suites only")
        << QStringList{summary("30", "MYWAC.EPD"), summary("20", "WACX.EPD")} << "WAC" << true
        << QList<int>{1};
    QTest::newRow("normal mode: any suite")
        << QStringList{summary("30", "MYWAC.EPD")} << "WAC" << false << QList<int>{0};
}

void TestScoreLines::listed()
{
    QFETCH(QStringList, log);
    QFETCH(QString, suite);
    QFETCH(bool, statsMode);
    QFETCH(QList<int>, expected);
    ScoresQuery query;
    query.suite = suite;
    query.statsMode = statsMode;
    query.levelLimit = 10;
    QStringList shown;
    for (const QString& keyed : ScoreRecords(log, query))
        shown << keyed.mid(kScoreKeyWidth);
    QStringList want;
    for (int i : expected)
        want << (statsMode ? log.at(i) : log.at(i).left(84));
    QCOMPARE(shown, want);
    for (const QString& line : shown)
        QVERIFY2(statsMode || !line.contains(QLatin1String("[Liv")), qPrintable(line));
}

QTEST_GUILESS_MAIN(TestScoreLines)
#include "tst_scorelines.moc"
