// The review boxes on a fixed day: where an attempt leaves a position, and
// in which order the positions due come up for a review.

#include "ReviewBoxes.h"

#include <QTest>

#include <set>

using namespace kx;

namespace {

const QDate kToday(2024, 6, 15);
constexpr int kNoDue = 999; // the days column's "no due day"

HistoryEntry entry(qint32 number, int box, int dueInDays, int attempts = 3, int solves = 1)
{
    HistoryEntry e;
    e.number = number;
    e.attempts = attempts;
    e.solves = solves;
    e.lastSeen = kToday.addDays(-40);
    e.box = box;
    e.due = dueInDays == kNoDue ? QDate() : kToday.addDays(dueInDays);
    return e;
}

} // namespace

class TestReviewBoxes : public QObject
{
    Q_OBJECT

private slots:
    void afterAttempt_data();
    void afterAttempt();
    void dueOrder_data();
    void dueOrder();
};

void TestReviewBoxes::afterAttempt_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("dueInDays"); // before the attempt
    QTest::addColumn<bool>("solved");
    QTest::addColumn<bool>("review");
    QTest::addColumn<int>("boxAfter");
    QTest::addColumn<int>("dueAfter"); // days from today
    QTest::newRow("met first, missed: box 1, due at once")
        << 0 << kNoDue << false << false << 1 << 0;
    QTest::newRow("met first, solved: no box") << 0 << kNoDue << true << false << 0 << kNoDue;
    QTest::newRow("missed in box 4, ordinary session") << 4 << 5 << false << false << 1 << 0;
    QTest::newRow("missed in box 5, review") << 5 << -2 << false << true << 1 << 0;
    QTest::newRow("solved in box 3, ordinary: stays") << 3 << 2 << true << false << 3 << 2;
    const int waits[] = {1, 3, 7, 14, 30};
    for (int box = 1; box <= 5; ++box)
        QTest::addRow("review solves box %d: box %d, %d days", box, box + 1, waits[box - 1])
            << box << 0 << true << true << box + 1 << waits[box - 1];
    QTest::newRow("review solves box 6: leaves review") << 6 << -1 << true << true << 0 << kNoDue;
}

void TestReviewBoxes::afterAttempt()
{
    QFETCH(int, box);
    QFETCH(int, dueInDays);
    QFETCH(bool, solved);
    QFETCH(bool, review);
    QFETCH(int, dueAfter);
    const HistoryEntry before = entry(7, box, dueInDays, box ? 6 : 0, box ? 5 : 0);
    const HistoryEntry after = AfterAttempt(before, solved, review, kToday);
    QTEST(after.box, "boxAfter");
    QCOMPARE(after.due, dueAfter == kNoDue ? QDate() : kToday.addDays(dueAfter));
    QCOMPARE(after.attempts, before.attempts + 1);
    QCOMPARE(after.solves, before.solves + (solved ? 1 : 0));
    QCOMPARE(after.lastSeen, kToday);
    // What the rules write, the file takes back.
    QVERIFY(IsPlausible(after, kToday));
}

void TestReviewBoxes::dueOrder_data()
{
    QTest::addColumn<qsizetype>("most");
    QTest::addColumn<QList<qint32>>("changed"); // records no longer those met
    QTest::addColumn<QList<qint32>>("order");
    QTest::addColumn<QList<qint32>>("stale");
    QTest::newRow("most overdue, then lower box, then lower number")
        << qsizetype(10) << QList<qint32>{} << QList<qint32>{9, 5, 3, 2, 8} << QList<qint32>{};
    QTest::newRow("no more than most")
        << qsizetype(2) << QList<qint32>{} << QList<qint32>{9, 5} << QList<qint32>{};
    QTest::newRow("changed records left out, the next come up")
        << qsizetype(2) << QList<qint32>{9, 3} << QList<qint32>{5, 2} << QList<qint32>{9, 3};
    QTest::newRow("every due one changed") << qsizetype(10) << QList<qint32>{2, 3, 5, 8, 9}
                                           << QList<qint32>{} << QList<qint32>{9, 5, 3, 2, 8};
}

void TestReviewBoxes::dueOrder()
{
    QFETCH(qsizetype, most);
    QFETCH(QList<qint32>, changed);
    // Sorted by number, as the history keeps them.
    const std::vector<HistoryEntry> entries = {
        entry(1, 0, kNoDue),                                  // never missed
        entry(2, 1, 0),      entry(3, 1, -1), entry(4, 2, 1), // 4: due tomorrow
        entry(5, 2, -3),     entry(7, 6, 20), entry(8, 3, 0), entry(9, 1, -3)};
    std::vector<qint32> stale;
    std::set<qint32> asked;
    bool askedTwice = false;
    const std::vector<qint32> order = DueOrder(
        entries, kToday, most,
        [&](const HistoryEntry& e) {
            askedTwice |= !asked.insert(e.number).second;
            return !changed.contains(e.number);
        },
        stale);
    QVERIFY(!askedTwice);
    QTEST(QList<qint32>(order.begin(), order.end()), "order");
    QTEST(QList<qint32>(stale.begin(), stale.end()), "stale");
}

QTEST_GUILESS_MAIN(TestReviewBoxes)
#include "tst_reviewboxes.moc"
