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
    void namesIgnoreCase();
    void defaultValuesAreOmitted();
};

void TestNqPropertyBag::namesIgnoreCase()
{
    NqPropertyBag bag;
    bag.WriteProperty("ReverseBoard", 7);
    bag.WriteProperty("Enabled", true);
    QCOMPARE(bag.ReadProperty("reverseboard", 0).toInt(), 7);
    // Writing under another case replaces the entry in its place.
    bag.WriteProperty("REVERSEBOARD", 9);
    QCOMPARE(bag.names(), (QStringList{"ReverseBoard", "Enabled"}));
    QCOMPARE(bag.ReadProperty("ReverseBoard").toInt(), 9);
}

void TestNqPropertyBag::defaultValuesAreOmitted()
{
    NqPropertyBag bag;
    bag.WriteProperty("Coordinate", false, false);
    QVERIFY(bag.isEmpty());
    QCOMPARE(bag.ReadProperty("Coordinate", true).toBool(), true);
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
