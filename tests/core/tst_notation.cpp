#include "Notation.h"

#include <QTest>

using namespace kx;

// Piece letters, piece codes and the two square numberings.
class TestNotation : public QObject
{
    Q_OBJECT

private slots:
    void pieces_data();
    void pieces();
    void squareOrders();
};

// A piece row reads both ways; a row that is no piece gives trad 1 for the
// text and "" for the code.
void TestNotation::pieces_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<qint16>("code");
    QTest::addColumn<bool>("piece");
    const QString letters = QStringLiteral("kqrbnpKQRBNP"); // codes 2..13
    for (qint16 code = 2; code <= 13; ++code) {
        const QString letter = letters.mid(code - 2, 1);
        QTest::newRow(qPrintable(letter)) << letter << code << true;
    }
    QTest::newRow("empty text, code 0") << "" << qint16(0) << false;
    QTest::newRow("digit, empty square") << "1" << qint16(1) << false;
    QTest::newRow("slash, code 14") << "/" << qint16(14) << false;
    QTest::newRow("blank, negative code") << " " << qint16(-2) << false;
    QTest::newRow("two letters, large code") << "kk" << qint16(100) << false;
}

void TestNotation::pieces()
{
    QFETCH(QString, letter);
    QFETCH(qint16, code);
    QFETCH(bool, piece);
    QCOMPARE(trad(letter), piece ? code : qint16(1));
    QCOMPARE(dart(code), piece ? letter : QString());
    QCOMPARE(num2pie(code), piece ? letter.toUpper() : QString());
}

void TestNotation::squareOrders()
{
    // FEN reading order starts at a8, board order at a1.
    QCOMPARE(rov(0), qint16(56));  // a8
    QCOMPARE(rov(7), qint16(63));  // h8
    QCOMPARE(rov(36), qint16(28)); // e4
    QCOMPARE(rov(63), qint16(7));  // h1
    for (qint32 i = 0; i < 64; ++i) {
        QVERIFY(rov(i) >= 0 && rov(i) < 64);
        QCOMPARE(rov(rov(i)), qint16(i));
    }
}

QTEST_GUILESS_MAIN(TestNotation)
#include "tst_notation.moc"
