#include "Ranking.h"

#include <QRandomGenerator>
#include <QTest>

using namespace kx;

// Scoring positions by how badly they are solved, and the order they are visited in.
class TestRanking : public QObject
{
    Q_OBJECT

private slots:
    void badness_data();
    void badness();
    void order();
    void passesMatchABubbleSort_data();
    void passesMatchABubbleSort();
    void walkStaysOnTheLast();
};

void TestRanking::badness_data()
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

void TestRanking::badness()
{
    QFETCH(double, attempts);
    QFETCH(double, solved);
    QFETCH(double, difficulty);
    QTEST(int(Badness(attempts, solved, difficulty)), "expected");
}

void TestRanking::order()
{
    QCOMPARE(RankByBadness({17, 324, 0, 170, 324, 0}), (QList<qint32>{2, 5, 4, 1, 3, 6}));
    QCOMPARE(RankByBadness({0, 0, 0}), (QList<qint32>{1, 2, 3}));
    QCOMPARE(RankByBadness({}), QList<qint32>());
}

void TestRanking::passesMatchABubbleSort_data()
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
void TestRanking::passesMatchABubbleSort()
{
    QFETCH(QList<qint16>, scores);
    QList<qint16> sorted = scores;
    qint32 passes = 0;
    for (qsizetype pass = 1; pass <= sorted.size(); ++pass) {
        ++passes;
        bool swapped = false;
        for (qsizetype i = 0; i + 1 < sorted.size(); ++i) {
            if (sorted[i] < sorted[i + 1]) {
                std::swap(sorted[i], sorted[i + 1]);
                swapped = true;
            }
        }
        if (!swapped)
            break;
    }
    QCOMPARE(BubblePasses(scores), passes);
}

void TestRanking::walkStaysOnTheLast()
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

QTEST_GUILESS_MAIN(TestRanking)
#include "tst_ranking.moc"
