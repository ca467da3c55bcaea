#include "BoardModel.h"

#include <QtTest>

using namespace Pellomar;

/*
 * The board's model without any window: the position square by square, the
 * initial position, moves and the two kinds of marks, and how bad squares and
 * bad piece codes are kept out of the tables.
 */
class TestBoardModel : public QObject
{
    Q_OBJECT

private slots:
    void newGamePieces_data();
    void newGamePieces();
    void clearEmptiesEverything();
    void movePiece_data();
    void movePiece();
    void initialPositionSquareBySquare_data();
    void initialPositionSquareBySquare();
    void badSquaresAreIgnored_data();
    void badSquaresAreIgnored();
    void badPieceCodesAreRefused_data();
    void badPieceCodesAreRefused();
    void marksAreIndependentAndNeverDoubled();
};

namespace {

/// Every square's content, rank 8 first, for before/after comparisons.
QList<int> snapshot(const BoardModel& model)
{
    QList<int> out;
    for (int row = 8; row >= 1; --row) {
        for (int col = 1; col <= 8; ++col)
            out.append(model.piece(col, row));
    }
    return out;
}

} // namespace

void TestBoardModel::newGamePieces_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("piece");
    QTest::newRow("a1 white rook") << int(a) << 1 << int(WRook);
    QTest::newRow("b1 white knight") << int(b) << 1 << int(WKnight);
    QTest::newRow("c1 white bishop") << int(c) << 1 << int(WBishop);
    QTest::newRow("d1 white queen") << int(d) << 1 << int(WQuenn);
    QTest::newRow("e1 white king") << int(e) << 1 << int(WKing);
    QTest::newRow("h1 white rook") << int(h) << 1 << int(WRook);
    QTest::newRow("e2 white pawn") << int(e) << 2 << int(Wpawn);
    QTest::newRow("e4 empty") << int(e) << 4 << int(NoPiece);
    QTest::newRow("a6 empty") << int(a) << 6 << int(NoPiece);
    QTest::newRow("h7 black pawn") << int(h) << 7 << int(Bpawn);
    QTest::newRow("d8 black queen") << int(d) << 8 << int(BQuenn);
    QTest::newRow("e8 black king") << int(e) << 8 << int(BKing);
    QTest::newRow("f8 black bishop") << int(f) << 8 << int(BBishop);
    QTest::newRow("g8 black knight") << int(g) << 8 << int(BKnight);
    QTest::newRow("a8 black rook") << int(a) << 8 << int(BRook);
}

void TestBoardModel::newGamePieces()
{
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(int, piece);
    BoardModel model;
    model.setInitialPosition();
    QCOMPARE(int(model.piece(col, row)), piece);
    QVERIFY(model.isInitialPosition());
}

void TestBoardModel::clearEmptiesEverything()
{
    BoardModel model;
    model.setInitialPosition();
    model.select(e, 2);
    model.highlight(d, 4, 0xFF);
    model.setReversed(true);
    model.setCoordinateFlag(true);
    model.clear();
    QCOMPARE(snapshot(model), QList<int>(64, NoPiece));
    QVERIFY(!model.isInitialPosition());
    QVERIFY(!model.anySelected());
    QVERIFY(!model.isHighlighted(d, 4));
    // The display flags are not part of the position.
    QVERIFY(model.reversed());
    QVERIFY(model.coordinateFlag());
}

void TestBoardModel::movePiece_data()
{
    QTest::addColumn<int>("fromCol");
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("toCol");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<int>("fromAfter");
    QTest::addColumn<int>("toAfter");
    QTest::newRow("pawn to empty square")
        << int(e) << 2 << int(e) << 4 << int(NoPiece) << int(Wpawn);
    QTest::newRow("knight takes pawn")
        << int(g) << 1 << int(e) << 7 << int(NoPiece) << int(WKnight);
    QTest::newRow("onto itself empties it")
        << int(e) << 2 << int(e) << 2 << int(NoPiece) << int(NoPiece);
    QTest::newRow("empty square onto a piece")
        << int(e) << 4 << int(d) << 8 << int(NoPiece) << int(NoPiece);
}

void TestBoardModel::movePiece()
{
    QFETCH(int, fromCol);
    QFETCH(int, fromRow);
    QFETCH(int, toCol);
    QFETCH(int, toRow);
    QFETCH(int, fromAfter);
    QFETCH(int, toAfter);
    BoardModel model;
    model.setInitialPosition();
    QVERIFY(model.movePiece(fromCol, fromRow, toCol, toRow));
    QCOMPARE(int(model.piece(fromCol, fromRow)), fromAfter);
    QCOMPARE(int(model.piece(toCol, toRow)), toAfter);
    QVERIFY(!model.isInitialPosition());
}

void TestBoardModel::initialPositionSquareBySquare_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("spoiler");
    QTest::newRow("untouched") << 0 << 0 << 0;
    QTest::newRow("extra piece on e4") << int(e) << 4 << int(Wpawn);
    QTest::newRow("kings swapped colour") << int(e) << 1 << int(BKing);
    QTest::newRow("king on the queen square") << int(d) << 8 << int(BKing);
    QTest::newRow("missing pawn") << int(a) << 7 << int(NoPiece);
}

void TestBoardModel::initialPositionSquareBySquare()
{
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(int, spoiler);
    // Built by hand, never through setInitialPosition.
    const Material back[] = {BRook, BKnight, BBishop, BQuenn, BKing, BBishop, BKnight, BRook};
    BoardModel model;
    for (int file = 1; file <= 8; ++file) {
        QVERIFY(model.setPiece(file, 8, back[file - 1]));
        QVERIFY(model.setPiece(file, 7, Bpawn));
        QVERIFY(model.setPiece(file, 2, Wpawn));
        QVERIFY(model.setPiece(file, 1, back[file - 1] + (WKing - BKing)));
    }
    QVERIFY(model.isInitialPosition());
    if (spoiler == 0)
        return;
    QVERIFY(model.setPiece(col, row, spoiler));
    QVERIFY(!model.isInitialPosition());
}

void TestBoardModel::badSquaresAreIgnored_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::newRow("rank 0") << int(a) << 0;
    QTest::newRow("rank 9") << int(a) << 9;
    QTest::newRow("negative rank") << int(e) << -1;
    QTest::newRow("smallest 16-bit rank") << int(e) << -32768;
    QTest::newRow("file 0") << 0 << 4;
    QTest::newRow("file 9") << 9 << 4;
    QTest::newRow("negative file") << -3 << 4;
    QTest::newRow("huge file") << 0x7FFFFFFF << 1;
}

void TestBoardModel::badSquaresAreIgnored()
{
    QFETCH(int, col);
    QFETCH(int, row);
    BoardModel model;
    model.setInitialPosition();
    const QList<int> before = snapshot(model);

    QCOMPARE(BoardModel::indexOf(col, row), -1);
    QCOMPARE(int(model.piece(col, row)), 0);
    QVERIFY(!model.setPiece(col, row, WQuenn));
    QVERIFY(!model.movePiece(col, row, e, 4));
    QVERIFY(!model.movePiece(e, 2, col, row));
    QCOMPARE(snapshot(model), before);

    QVERIFY(!model.select(col, row));
    QVERIFY(!model.isSelected(col, row));
    QVERIFY(!model.anySelected());
    QVERIFY(!model.unselect(col, row));
    QVERIFY(!model.highlight(col, row, 0xFF));
    QVERIFY(!model.isHighlighted(col, row));
    QVERIFY(!model.unhighlight(col, row));
}

void TestBoardModel::badPieceCodesAreRefused_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("zero") << 0;
    QTest::newRow("one past white pawn") << 14;
    QTest::newRow("negative") << -1;
    QTest::newRow("large") << 1000;
}

void TestBoardModel::badPieceCodesAreRefused()
{
    QFETCH(int, code);
    BoardModel model;
    model.setInitialPosition();
    QVERIFY(!model.setPiece(e, 1, code));
    QCOMPARE(model.piece(e, 1), WKing);
    // The limits themselves are valid codes.
    QVERIFY(model.setPiece(e, 4, NoPiece));
    QVERIFY(model.setPiece(e, 5, Wpawn));
    QCOMPARE(model.piece(e, 5), Wpawn);
}

void TestBoardModel::marksAreIndependentAndNeverDoubled()
{
    BoardModel model;
    QVERIFY(model.select(e, 2));
    QVERIFY(!model.select(e, 2));
    QVERIFY(model.highlight(e, 2, 0x000000FF));
    // A marked square keeps its first colour.
    QVERIFY(!model.highlight(e, 2, 0x00FF0000));
    QCOMPARE(model.highlightColor(e, 2), quint32(0x000000FF));
    QVERIFY(model.unhighlight(e, 2));
    QVERIFY(!model.unhighlight(e, 2));
    QVERIFY(model.isSelected(e, 2));
    QVERIFY(model.anySelected());
    QVERIFY(model.unselect(e, 2));
    QVERIFY(!model.unselect(e, 2));
    QVERIFY(!model.anySelected());
}

QTEST_APPLESS_MAIN(TestBoardModel)
#include "tst_boardmodel.moc"
