#include "RandomSource.h"

#include <QTest>

#include <vector>

using namespace kx;

// The random draw of position numbers.
class TestRandomSource : public QObject
{
    Q_OBJECT

private slots:
    void seededSequenceRepeats();
    void drawPositionNumber_data();
    void drawPositionNumber();
    void distribution_data();
    void distribution();
};

void TestRandomSource::seededSequenceRepeats()
{
    RandomSource a;
    RandomSource b;
    a.Seed(42);
    b.Seed(42);
    for (int i = 0; i < 1000; ++i) {
        const double r = a.Next();
        QCOMPARE(b.Next(), r);
        QVERIFY(r >= 0.0 && r < 1.0);
    }
}

void TestRandomSource::drawPositionNumber_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<qint32>("suiteSize");
    QTest::addColumn<qint16>("expected");
    QTest::newRow("lowest draw") << 0.0 << 300 << qint16(1);
    QTest::newRow("highest draw") << 0.9999999999 << 300 << qint16(300);
    QTest::newRow("half to even") << 0.5 << 300 << qint16(150);
    QTest::newRow("one position") << 0.7 << 1 << qint16(1);
    QTest::newRow("two positions, half") << 0.5 << 2 << qint16(2);
}

void TestRandomSource::drawPositionNumber()
{
    QFETCH(double, r);
    QFETCH(qint32, suiteSize);
    QFETCH(qint16, expected);
    QCOMPARE(DrawPositionNumber(r, suiteSize), expected);
}

void TestRandomSource::distribution_data()
{
    QTest::addColumn<qint32>("suiteSize");
    QTest::newRow("one position") << 1;
    QTest::newRow("three positions") << 3;
    QTest::newRow("WAC size") << 300;
}

void TestRandomSource::distribution()
{
    QFETCH(qint32, suiteSize);
    constexpr int kDrawsPerPosition = 2000;
    const int draws = kDrawsPerPosition * suiteSize;
    RandomSource random;
    random.Seed(20240305);
    std::vector<int> counts(suiteSize + 1, 0);
    for (int i = 0; i < draws; ++i) {
        const qint16 p = DrawPositionNumber(random.Next(), suiteSize);
        QVERIFY2(p >= 1 && p <= suiteSize, qPrintable(QString::number(p)));
        ++counts[p];
    }
    if (suiteSize == 1) {
        QCOMPARE(counts[1], draws);
        return;
    }
    // Inner numbers get 1/(N-1) of the draws, the two ends half of that.
    const double inner = double(draws) / (suiteSize - 1);
    for (qint32 p = 1; p <= suiteSize; ++p) {
        const double expected = (p == 1 || p == suiteSize) ? inner / 2 : inner;
        const double ratio = counts[p] / expected;
        QVERIFY2(ratio > 0.85 && ratio < 1.15,
                 qPrintable(QStringLiteral("position %1 drawn %2 times, expected about %3")
                                .arg(p)
                                .arg(counts[p])
                                .arg(expected)));
    }
}

QTEST_GUILESS_MAIN(TestRandomSource)
#include "tst_randomsource.moc"
