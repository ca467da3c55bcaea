#include "Scoring.h"

#include <QTest>

using namespace kx;

// The points of a solved position.
class TestScoring : public QObject
{
    Q_OBJECT

private slots:
    void positionPoints_data();
    void positionPoints();
};

void TestScoring::positionPoints_data()
{
    QTest::addColumn<double>("allowed");
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<double>("n");
    QTest::addColumn<double>("expected");
    // With one position the session bonus is zero: the points are the time value.
    QTest::newRow("instant") << 50.0 << 0.0 << 1.0 << 100.0;
    QTest::newRow("just below the pivot") << 50.0 << 49.0 << 1.0 << 75.5;
    QTest::newRow("pivot") << 50.0 << 50.0 << 1.0 << 75.0;
    QTest::newRow("hundred seconds") << 50.0 << 100.0 << 1.0 << 62.5;
    QTest::newRow("long time") << 50.0 << 1e6 << 1.0 << 50.00125;
    QTest::newRow("worked example") << 50.0 << 10.0 << 10.0 << 96.875;
    QTest::newRow("hundred positions") << 50.0 << 10.0 << 100.0 << 98.75;
    QTest::newRow("strict allowance") << 10.0 << 10.0 << 10.0 << 97.375;
}

void TestScoring::positionPoints()
{
    QFETCH(double, allowed);
    QFETCH(double, elapsed);
    QFETCH(double, n);
    QTEST(PositionPoints(allowed, elapsed, n), "expected");
}

QTEST_GUILESS_MAIN(TestScoring)
#include "tst_scoring.moc"
