#include "Scoring.h"

#include <QTest>

using namespace kx;

// The points of a solved position.
class TestScoring : public QObject
{
    Q_OBJECT

private slots:
    void timeValue_data();
    void timeValue();
    void positionPoints_data();
    void positionPoints();
};

void TestScoring::timeValue_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<double>("expected");
    QTest::newRow("instant") << 0.0 << 100.0;
    QTest::newRow("ten seconds") << 10.0 << 95.0;
    QTest::newRow("just below the pivot") << 49.0 << 75.5;
    QTest::newRow("pivot") << 50.0 << 75.0;
    QTest::newRow("hundred seconds") << 100.0 << 62.5;
    QTest::newRow("long time") << 1e6 << 50.00125;
}

void TestScoring::timeValue()
{
    QFETCH(double, seconds);
    QFETCH(double, expected);
    QCOMPARE(TimeValue(seconds), expected);
}

void TestScoring::positionPoints_data()
{
    QTest::addColumn<double>("allowed");
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<double>("n");
    QTest::addColumn<double>("expected");
    QTest::newRow("worked example") << 50.0 << 10.0 << 10.0 << 96.875;
    QTest::newRow("hundred positions") << 50.0 << 10.0 << 100.0 << 98.75;
    QTest::newRow("thousand positions") << 50.0 << 10.0 << 1000.0 << 100.625;
    QTest::newRow("strict allowance") << 10.0 << 10.0 << 10.0 << 97.375;
}

void TestScoring::positionPoints()
{
    QFETCH(double, allowed);
    QFETCH(double, elapsed);
    QFETCH(double, n);
    QFETCH(double, expected);
    QCOMPARE(PositionPoints(allowed, elapsed, n), expected);
}

QTEST_GUILESS_MAIN(TestScoring)
#include "tst_scoring.moc"
