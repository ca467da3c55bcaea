#include "NqPropertyBag.h"

#include <QtTest>

/*
 * The property bag the board saves into: names matched without regard to
 * case, entries kept in writing order, and a value equal to its default
 * omitted (and read back as that default).
 */
class TestNqPropertyBag : public QObject
{
    Q_OBJECT

private slots:
    void namesIgnoreCase_data();
    void namesIgnoreCase();
    void replacingKeepsOrder();
    void defaultValuesAreOmitted();
};

void TestNqPropertyBag::namesIgnoreCase_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("read");
    QTest::newRow("same case") << "ReverseBoard"
                               << "ReverseBoard";
    QTest::newRow("lower case read") << "ReverseBoard"
                                     << "reverseboard";
    QTest::newRow("upper case read") << "ReverseBoard"
                                     << "REVERSEBOARD";
    QTest::newRow("lower case written") << "squarestyle"
                                        << "SquareStyle";
}

void TestNqPropertyBag::namesIgnoreCase()
{
    QFETCH(QString, written);
    QFETCH(QString, read);
    NqPropertyBag bag;
    bag.WriteProperty(written, 7);
    QVERIFY(bag.contains(read));
    QCOMPARE(bag.ReadProperty(read, 0).toInt(), 7);
    // Writing under another case replaces the entry instead of adding one.
    bag.WriteProperty(read, 9);
    QCOMPARE(bag.count(), 1);
    QCOMPARE(bag.ReadProperty(written).toInt(), 9);
}

void TestNqPropertyBag::replacingKeepsOrder()
{
    NqPropertyBag bag;
    bag.WriteProperty("First", true);
    bag.WriteProperty("Second", 2);
    bag.WriteProperty("first", false);
    QCOMPARE(bag.names(), (QStringList{"First", "Second"}));
    QCOMPARE(bag.ReadProperty("FIRST", true).toBool(), false);
}

void TestNqPropertyBag::defaultValuesAreOmitted()
{
    NqPropertyBag bag;
    bag.WriteProperty("Coordinate", false, false);
    QVERIFY(bag.isEmpty());
    QCOMPARE(bag.ReadProperty("Coordinate", true).toBool(), true);
    QVERIFY(!bag.ReadProperty("Coordinate").isValid());

    bag.WriteProperty("Coordinate", true, false);
    QCOMPARE(bag.count(), 1);
    // Writing the default again drops the entry that was there.
    bag.WriteProperty("coordinate", false, false);
    QVERIFY(bag.isEmpty());

    // Without a default the value is always kept.
    bag.WriteProperty("Coordinate", false);
    QVERIFY(bag.contains("Coordinate"));
}

QTEST_APPLESS_MAIN(TestNqPropertyBag)
#include "tst_nqpropertybag.moc"
