#include "BestMoveScan.h"

#include <QTest>

using namespace kx;

// Table rows built from a suite's records.
class TestBestMoveScan : public QObject
{
    Q_OBJECT

private slots:
    void row_data();
    void row();
};

void TestBestMoveScan::row_data()
{
    QTest::addColumn<QString>("operations");
    QTest::addColumn<QString>("cells"); // columns 1 to 4 joined by "|"
    QTest::newRow("one move") << "bm Qxd1+; id \"a\";"
                              << "Qxd1+|Qd1||";
    QTest::newRow("two moves") << "bm Rxe5 Qg6;"
                               << "Rxe5 Qg6|Re5|Qg6|";
    QTest::newRow("three moves") << "bm a b c;"
                                 << "a b c|a|b|c";
    QTest::newRow("five moves") << "bm a b c d e;"
                                << "a b c d e|a|b|c d e";
    QTest::newRow("no bm") << "id \"a\";"
                           << "a3|a3||";
    QTest::newRow("bm only in quoted text") << "c0 \"try bm Qg6;\";"
                                            << "a3|a3||";
    QTest::newRow("move too short") << "bm e;"
                                    << "a3|a3||";
    QTest::newRow("empty line") << QString() << "a3|a3||";
}

void TestBestMoveScan::row()
{
    QFETCH(QString, operations);
    const QString record =
        operations.isEmpty() ? QString() : QStringLiteral("8/8/8/8/8/8/8/K1k5 w - - ") + operations;
    const QStringList cells = ScanRow(42, record);
    QCOMPARE(cells.size(), 11);
    QCOMPARE(cells.at(0), QStringLiteral("42"));
    QTEST(cells.mid(1, 4).join(u'|'), "cells");
    QCOMPARE(cells.mid(5), QStringList(6));
}

QTEST_GUILESS_MAIN(TestBestMoveScan)
#include "tst_bestmovescan.moc"
