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
    void squarePlaces_data();
    void squarePlaces();
    void tilesStayWhenReversed();
    void labelPlaces_data();
    void labelPlaces();
    void pixelRounding_data();
    void pixelRounding();
    void squareAtRoundTrip_data();
    void squareAtRoundTrip();
    void frameHasNoSquare_data();
    void frameHasNoSquare();
    void tooSmallForSquares_data();
    void tooSmallForSquares();
};

namespace {

// Label 0 widths used throughout: X0 = T / 4 - 60 + 360.
constexpr qreal FileWidth = 120;
constexpr qreal RankWidth = 110;

} // namespace

void TestBoardGeometry::squarePlaces_data()
{
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QPointF>("topLeft");
    QTest::newRow("a8 top left") << false << int(a) << 8 << QPointF(360, 360);
    QTest::newRow("h1 bottom right") << false << int(h) << 1 << QPointF(3510, 3510);
    QTest::newRow("a1 bottom left") << false << int(a) << 1 << QPointF(360, 3510);
    QTest::newRow("e4") << false << int(e) << 4 << QPointF(2160, 2160);
    QTest::newRow("reversed h1 top left") << true << int(h) << 1 << QPointF(360, 360);
    QTest::newRow("reversed a8 bottom right") << true << int(a) << 8 << QPointF(3510, 3510);
    QTest::newRow("reversed a1 top right") << true << int(a) << 1 << QPointF(3510, 360);
    QTest::newRow("reversed e4") << true << int(e) << 4 << QPointF(1710, 1710);
}

void TestBoardGeometry::squarePlaces()
{
    QFETCH(bool, reversed);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QPointF, topLeft);
    const BoardGeometry geo(4320, reversed);
    QCOMPARE(geo.squareRectTwips(col, row), QRectF(topLeft, QSizeF(450, 450)));
    QCOMPARE(geo.squareRectPixels(col, row), QRect((topLeft / 15).toPoint(), QSize(30, 30)));
}

void TestBoardGeometry::tilesStayWhenReversed()
{
    const BoardGeometry normal(4320, false);
    const BoardGeometry reversed(4320, true);
    QCOMPARE(normal.tileRectTwips(0), QRectF(360, 360, 900, 900));
    QCOMPARE(normal.tileRectTwips(6), QRectF(2160, 1260, 900, 900));
    QCOMPARE(normal.tileRectTwips(15), QRectF(3060, 3060, 900, 900));
    for (int tile = 0; tile < 16; ++tile) {
        QCOMPARE(reversed.tileRectTwips(tile), normal.tileRectTwips(tile));
        QCOMPARE(reversed.tileRectPixels(tile), normal.tileRectPixels(tile));
    }
    // Tile 0 covers a8 normally and h1 reversed: the light corner square.
    QVERIFY(normal.tileRectPixels(0).contains(normal.squareRectPixels(a, 8)));
    QVERIFY(reversed.tileRectPixels(0).contains(reversed.squareRectPixels(h, 1)));
}

void TestBoardGeometry::labelPlaces_data()
{
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<QPointF>("place");
    // 4320 twips: X0 is 525 for the letters and 530 for the digits, one square is 450.
    QTest::newRow("A above, first column") << false << 0 << 0 << QPointF(525, 120);
    QTest::newRow("H above, last column") << false << 0 << 7 << QPointF(525 + 7 * 450, 120);
    QTest::newRow("A below") << false << 0 << 8 << QPointF(525, 4010);
    QTest::newRow("8 left, top row") << false << 1 << 0 << QPointF(150, 530);
    QTest::newRow("1 left, bottom row") << false << 1 << 7 << QPointF(150, 530 + 7 * 450);
    QTest::newRow("8 right") << false << 1 << 8 << QPointF(4040, 530);
    QTest::newRow("reversed H above, first column") << true << 0 << 15 << QPointF(525, 120);
    QTest::newRow("reversed H below") << true << 0 << 7 << QPointF(525, 4010);
    QTest::newRow("reversed A above, last column") << true << 0 << 8 << QPointF(525 + 7 * 450, 120);
    QTest::newRow("reversed 1 left, top row") << true << 1 << 15 << QPointF(150, 530);
    QTest::newRow("reversed 1 right, top row") << true << 1 << 7 << QPointF(4040, 530);
    QTest::newRow("reversed 8 left, bottom row") << true << 1 << 8 << QPointF(150, 530 + 7 * 450);
}

void TestBoardGeometry::labelPlaces()
{
    QFETCH(bool, reversed);
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(QPointF, place);
    const BoardGeometry geo(4320, reversed, FileWidth, RankWidth);
    QCOMPARE(geo.labelPosTwips(BoardGeometry::LabelKind(kind), index), place);
}

void TestBoardGeometry::pixelRounding_data()
{
    QTest::addColumn<qreal>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("whole") << qreal(360) << 24;
    QTest::newRow("half down to even") << qreal(337.5) << 22;
    QTest::newRow("half up to even") << qreal(352.5) << 24;
    QTest::newRow("below half") << qreal(367) << 24;
    QTest::newRow("above half") << qreal(368) << 25;
}

void TestBoardGeometry::pixelRounding()
{
    QFETCH(qreal, twips);
    QFETCH(int, pixels);
    QCOMPARE(BoardGeometry::toPixels(twips), pixels);
}

void TestBoardGeometry::squareAtRoundTrip_data()
{
    QTest::addColumn<int>("heightPixels");
    QTest::addColumn<bool>("reversed");
    for (const int height : {288, 301, 333, 480, 97}) {
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
            for (const QPoint corner : {rect.topLeft(), rect.topRight(), rect.bottomLeft(),
                                        rect.bottomRight(), rect.center()}) {
                const auto square = geo.squareAt(corner);
                QVERIFY2(square,
                         qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
                QCOMPARE(square->col, col);
                QCOMPARE(square->row, row);
            }
        }
    }
    QCOMPARE(covered, board.width() * board.height());
}

void TestBoardGeometry::frameHasNoSquare_data()
{
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<QPoint>("pixel");
    for (const bool reversed : {false, true}) {
        const char* suffix = reversed ? " reversed" : "";
        QTest::addRow("control corner%s", suffix) << reversed << QPoint(0, 0);
        QTest::addRow("just left of a square%s", suffix) << reversed << QPoint(23, 100);
        QTest::addRow("just above a square%s", suffix) << reversed << QPoint(100, 23);
        QTest::addRow("just right of the board%s", suffix) << reversed << QPoint(264, 100);
        QTest::addRow("just below the board%s", suffix) << reversed << QPoint(100, 264);
        QTest::addRow("label place%s", suffix) << reversed << QPoint(37, 10);
        QTest::addRow("outside the control%s", suffix) << reversed << QPoint(-5, 400);
    }
}

void TestBoardGeometry::frameHasNoSquare()
{
    QFETCH(bool, reversed);
    QFETCH(QPoint, pixel);
    const BoardGeometry geo(4320, reversed);
    QVERIFY(!geo.squareAt(pixel));
}

void TestBoardGeometry::tooSmallForSquares_data()
{
    QTest::addColumn<int>("heightTwips");
    QTest::newRow("nothing") << 0;
    QTest::newRow("negative") << -150;
    QTest::newRow("smaller than the frame") << 600;
    QTest::newRow("exactly the frame") << 720;
}

void TestBoardGeometry::tooSmallForSquares()
{
    QFETCH(int, heightTwips);
    const BoardGeometry geo(heightTwips, false, FileWidth, RankWidth);
    QCOMPARE(geo.squareSize(), qreal(0));
    for (int x = -2; x < 60; x += 3) {
        for (int y = -2; y < 60; y += 3)
            QVERIFY(!geo.squareAt(QPoint(x, y)));
    }
    QVERIFY(geo.squareRectPixels(a, 8).isEmpty());
}

QTEST_APPLESS_MAIN(TestBoardGeometry)
#include "tst_boardgeometry.moc"
