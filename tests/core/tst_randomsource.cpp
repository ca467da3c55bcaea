#include "RandomSource.h"

#include <QTest>

#include <vector>

using namespace kx;

// The random draw of position numbers.
class TestRandomSource : public QObject
{
    Q_OBJECT

private slots:
    void drawPositionNumber()
    {
        QCOMPARE(DrawPositionNumber(0.5, 300), qint16(150)); // 150.5, halves to even
        QCOMPARE(DrawPositionNumber(0.7, 1), qint16(1));

        // Seeded draws over a suite: always in range, the two ends half as often.
        constexpr qint32 kSuiteSize = 300;
        const int draws = 2000 * kSuiteSize;
        RandomSource random, again; // the same seed gives the same draws
        random.Seed(20240305);
        again.Seed(20240305);
        std::vector<int> counts(kSuiteSize + 1, 0);
        for (int i = 0; i < draws; ++i) {
            const double r = random.Next();
            QCOMPARE(again.Next(), r);
            const qint16 p = DrawPositionNumber(r, kSuiteSize);
            QVERIFY2(p >= 1 && p <= kSuiteSize, qPrintable(QString::number(r)));
            ++counts[p];
        }
        const double inner = double(draws) / (kSuiteSize - 1);
        for (qint32 p = 1; p <= kSuiteSize; ++p) {
            const double expected = (p == 1 || p == kSuiteSize) ? inner / 2 : inner;
            QVERIFY2(
                counts[p] > 0.85 * expected && counts[p] < 1.15 * expected,
                qPrintable(QStringLiteral("position %1 drawn %2 times").arg(p).arg(counts[p])));
        }
    }
};

QTEST_GUILESS_MAIN(TestRandomSource)
#include "tst_randomsource.moc"
