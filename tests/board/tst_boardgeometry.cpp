#include "BoardGeometry.h"
#include "PellomarTypes.h"

#include <QtTest>

using namespace Pellomar;

/*
 * Where squares, tiles and labels stand for a control height and orientation,
 * in twips and in pixels, and the mapping from a pixel back to its square.
 */
class TestBoardGeometry : public QObject
{
    Q_OBJECT

private slots:
    void squarePlaces();
    void labelPlaces_data();
    void labelPlaces();
    void squareAtRoundTrip_data();
    void squareAtRoundTrip();
    void frameHasNoSquare_data();
    void frameHasNoSquare();
};

void TestBoardGeometry::squarePlaces()
{
    // 4320 twips: T = 900, S = 450 (30 px). The corners a8 and h1 are checked
    // through the control; a1 and e4 tell files from ranks.
    const BoardGeometry normal(4320, false);
    const BoardGeometry reversed(4320, true);
    QCOMPARE(normal.tileSize(), qreal(900));
    QCOMPARE(normal.squareRectTwips(a, 1), QRectF(360, 3510, 450, 450));
    QCOMPARE(normal.squareRectPixels(e, 4), QRect(144, 144, 30, 30));
    QCOMPARE(reversed.squareRectTwips(a, 1), QRectF(3510, 360, 450, 450));
    QCOMPARE(reversed.squareRectPixels(e, 4), QRect(114, 114, 30, 30));
    // Tiles never turn with the board.
    QCOMPARE(reversed.tileRectTwips(6), QRectF(2160, 1260, 900, 900));
}

void TestBoardGeometry::labelPlaces_data()
{
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<QPointF>("place");
    // Label widths 120 and 110 twips: X0 is 525 for the letters and 530 for
    // the digits; one square is 450.
    QTest::newRow("H above, last column") << false << 0 << 7 << QPointF(3675, 120);
    QTest::newRow("1 left, bottom row") << false << 1 << 7 << QPointF(150, 3680);
    QTest::newRow("reversed H above, first column") << true << 0 << 15 << QPointF(525, 120);
    QTest::newRow("reversed H below") << true << 0 << 7 << QPointF(525, 4010);
    QTest::newRow("reversed 1 left, top row") << true << 1 << 15 << QPointF(150, 530);
    QTest::newRow("reversed 8 right, bottom row") << true << 1 << 0 << QPointF(4040, 3680);
}

void TestBoardGeometry::labelPlaces()
{
    QFETCH(bool, reversed);
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(QPointF, place);
    const BoardGeometry geo(4320, reversed, 120, 110);
    QCOMPARE(geo.labelPosTwips(BoardGeometry::LabelKind(kind), index), place);
}

void TestBoardGeometry::squareAtRoundTrip_data()
{
    QTest::addColumn<int>("heightPixels");
    QTest::addColumn<bool>("reversed");
    for (const int height : {288, 301, 97}) {
        QTest::addRow("%d px", height) << height << false;
        QTest::addRow("%d px reversed", height) << height << true;
    }
}

void TestBoardGeometry::squareAtRoundTrip()
{
    QFETCH(int, heightPixels);
    QFETCH(bool, reversed);
    const BoardGeometry geo(heightPixels * BoardGeometry::TwipsPerPixel, reversed);
    // Every pixel of the board belongs to exactly the square whose rectangle holds it.
    const QRect board = geo.boardRectPixels();
    int covered = 0;
    for (int col = 1; col <= 8; ++col) {
        for (int row = 1; row <= 8; ++row) {
            const QRect rect = geo.squareRectPixels(col, row);
            QVERIFY(board.contains(rect));
            covered += rect.width() * rect.height();
            for (const QPoint corner : {rect.topLeft(), rect.bottomRight(), rect.center()}) {
                const auto square = geo.squareAt(corner);
                QVERIFY(square);
                QCOMPARE(QPoint(square->col, square->row), QPoint(col, row));
            }
        }
    }
    QCOMPARE(covered, board.width() * board.height());
}

void TestBoardGeometry::frameHasNoSquare_data()
{
    // The squares of a 4320-twip board run from pixel 24 to 263.
    QTest::addColumn<int>("heightTwips");
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<QPoint>("pixel");
    for (const bool reversed : {false, true}) {
        const char* suffix = reversed ? " reversed" : "";
        QTest::addRow("just left of a square%s", suffix) << 4320 << reversed << QPoint(23, 100);
        QTest::addRow("just above a square%s", suffix) << 4320 << reversed << QPoint(100, 23);
        QTest::addRow("just right of the board%s", suffix) << 4320 << reversed << QPoint(264, 100);
        QTest::addRow("just below the board%s", suffix) << 4320 << reversed << QPoint(100, 264);
    }
    // No room for squares at all: nothing to divide by.
    QTest::newRow("exactly the frame") << 720 << false << QPoint(24, 24);
    QTest::newRow("negative height") << -150 << false << QPoint(24, 24);
}

void TestBoardGeometry::frameHasNoSquare()
{
    QFETCH(int, heightTwips);
    QFETCH(bool, reversed);
    QFETCH(QPoint, pixel);
    QVERIFY(!BoardGeometry(heightTwips, reversed).squareAt(pixel));
}

QTEST_APPLESS_MAIN(TestBoardGeometry)
#include "tst_boardgeometry.moc"
