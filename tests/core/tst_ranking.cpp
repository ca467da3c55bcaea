#include "Ranking.h"
#include "Scoring.h"

#include <QRandomGenerator>
#include <QTest>

using namespace kx;

// The points of a solved position, the badness of a position from its
// statistics, and the order positions are visited in by badness.
class TestRanking : public QObject
{
    Q_OBJECT

private slots:
    void positionPoints_data()
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
    void positionPoints()
    {
        QFETCH(double, allowed);
        QFETCH(double, elapsed);
        QFETCH(double, n);
        QTEST(PositionPoints(allowed, elapsed, n), "expected");
    }

    void badness_data()
    {
        QTest::addColumn<double>("attempts");
        QTest::addColumn<double>("solved");
        QTest::addColumn<double>("difficulty");
        QTest::addColumn<int>("expected");
        const auto row = [](const char* name, double a, double s, double d, int expected) {
            QTest::newRow(name) << a << s << d << expected;
        };
        row("failed once", 1, 0, 5, 170);
        row("solved once", 1, 1, 5, 17);
        row("one in four, hard", 4, 1, 8, 324);
        row("failed twice, easy", 2, 0, 0, 311);
        row("two in ten, hardest", 10, 2, 10, 542);
        row("always solved", 3, 3, 0, 69);
        row("never attempted", 0, 0, 3, 0);
        row("more solves than attempts", 1, 3, 5, -260); // (floor(20 - 59.94) + 0 + 2.5) x 10 ln 2
        row("negative attempts", -2, 0, 5, 0);
        row("beyond 16 bits", 1e30, 0, 0, 32767);
    }
    void badness()
    {
        QFETCH(double, attempts);
        QFETCH(double, solved);
        QFETCH(double, difficulty);
        QTEST(int(Badness(attempts, solved, difficulty)), "expected");
    }

    void order()
    {
        QCOMPARE(RankByBadness({17, 324, 0, 170, 324, 0}), (QList<qint32>{2, 5, 4, 1, 3, 6}));
        QCOMPARE(RankByBadness({0, 0, 0}), (QList<qint32>{1, 2, 3}));
        QCOMPARE(RankByBadness({}), QList<qint32>());
    }

    void passesMatchABubbleSort_data()
    {
        QTest::addColumn<QList<qint16>>("scores");
        QTest::newRow("empty") << QList<qint16>{};
        QTest::newRow("one") << QList<qint16>{5};
        QTest::newRow("already ordered, ties") << QList<qint16>{324, 170, 170, 17};
        QTest::newRow("reversed") << QList<qint16>{17, 170, 324};
        QTest::newRow("extremes") << QList<qint16>{-32768, 32767, 0, -32768, 32767};
        QRandomGenerator random(9);
        for (int size : {2, 30, 200}) {
            QList<qint16> scores;
            for (int i = 0; i < size; ++i)
                scores << qint16(random.bounded(-5, 40));
            QTest::addRow("random %d", size) << scores;
        }
    }
    // The plain sort the ranking's captions count the passes of.
    void passesMatchABubbleSort()
    {
        QFETCH(QList<qint16>, scores);
        QList<qint16> sorted = scores;
        qint32 passes = 0;
        for (bool swapped = true; swapped && passes < sorted.size(); ++passes) {
            swapped = false;
            for (qsizetype i = 0; i + 1 < sorted.size(); ++i) {
                if (sorted[i] < sorted[i + 1]) {
                    std::swap(sorted[i], sorted[i + 1]);
                    swapped = true;
                }
            }
        }
        QCOMPARE(BubblePasses(scores), passes);
    }

    void walkStaysOnTheLast()
    {
        WorstRanking ranking;
        QCOMPARE(ranking.Next(), 0);
        ranking.Begin({170, 17, 324});
        QCOMPARE(ranking.state(), WorstRanking::State::Sorting);
        QCOMPARE(ranking.Next(), 0); // nothing to show before the ranking is done
        ranking.Finish();
        QList<qint32> shown;
        for (int i = 0; i < 5; ++i)
            shown << ranking.Next();
        QCOMPARE(shown, (QList<qint32>{3, 1, 2, 2, 2}));
    }
};

QTEST_GUILESS_MAIN(TestRanking)
#include "tst_ranking.moc"
