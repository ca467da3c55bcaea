#include "Notation.h"

#include <QSet>
#include <QTest>

using namespace kx;

// Piece letters, piece codes and the two square numberings.
class TestNotation : public QObject
{
    Q_OBJECT

private slots:
    void pieces_data();
    void pieces();
    void notPieces_data();
    void notPieces();
    void squareOrders_data();
    void squareOrders();
    void squareOrderRoundTrip();
};

void TestNotation::pieces_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<qint16>("code");
    QTest::addColumn<QString>("upper");
    const char* letters = "kqrbnpKQRBNP";
    for (int i = 0; i < 12; ++i) {
        const QString letter(QLatin1Char(letters[i]));
        QTest::newRow(qPrintable(letter)) << letter << qint16(i + 2) << letter.toUpper();
    }
}

void TestNotation::pieces()
{
    QFETCH(QString, letter);
    QFETCH(qint16, code);
    QFETCH(QString, upper);
    QCOMPARE(trad(letter), code);
    QCOMPARE(dart(code), letter);
    QCOMPARE(num2pie(code), upper);
}

void TestNotation::notPieces_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<qint16>("code");
    QTest::newRow("empty text, code 0") << "" << qint16(0);
    QTest::newRow("digit, empty square") << "1" << qint16(1);
    QTest::newRow("slash, code 14") << "/" << qint16(14);
    QTest::newRow("blank, negative code") << " " << qint16(-2);
    QTest::newRow("other letter") << "x" << qint16(100);
    QTest::newRow("two letters") << "kk" << qint16(0);
}

void TestNotation::notPieces()
{
    QFETCH(QString, letter);
    QFETCH(qint16, code);
    QCOMPARE(trad(letter), qint16(1));
    QCOMPARE(dart(code), QString());
    QCOMPARE(num2pie(code), QString());
}

void TestNotation::squareOrders_data()
{
    QTest::addColumn<qint32>("fenIndex");
    QTest::addColumn<qint16>("boardIndex");
    QTest::newRow("a8") << 0 << qint16(56);
    QTest::newRow("h8") << 7 << qint16(63);
    QTest::newRow("a7") << 8 << qint16(48);
    QTest::newRow("e4") << 36 << qint16(28);
    QTest::newRow("a1") << 56 << qint16(0);
    QTest::newRow("h1") << 63 << qint16(7);
}

void TestNotation::squareOrders()
{
    QFETCH(qint32, fenIndex);
    QFETCH(qint16, boardIndex);
    QCOMPARE(rov(fenIndex), boardIndex);
    QCOMPARE(rov(boardIndex), qint16(fenIndex));
}

void TestNotation::squareOrderRoundTrip()
{
    QSet<qint16> seen;
    for (qint32 i = 0; i < 64; ++i) {
        QCOMPARE(rov(rov(i)), qint16(i));
        seen.insert(rov(i));
    }
    QCOMPARE(seen.size(), 64);
}

QTEST_GUILESS_MAIN(TestNotation)
#include "tst_notation.moc"
