#include "BoardModel.h"

#include <QtTest>

using namespace Pellomar;

/*
 * The board's model without any window: the initial position, moves, the two
 * kinds of marks, and how bad squares and bad piece codes are kept out of the
 * tables.
 */
class TestBoardModel : public QObject
{
    Q_OBJECT

private slots:
    void initialPosition_data();
    void initialPosition();
    void movePiece_data();
    void movePiece();
    void badSquaresAreIgnored_data();
    void badSquaresAreIgnored();
    void badPieceCodesAreRefused();
    void marksAndClear();
};

void TestBoardModel::initialPosition_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("spoiler");
    QTest::newRow("untouched") << 0 << 0 << 0;
    QTest::newRow("extra piece on e4") << int(e) << 4 << int(Wpawn);
    QTest::newRow("kings swapped colour") << int(e) << 1 << int(BKing);
    QTest::newRow("missing pawn") << int(a) << 7 << int(NoPiece);
}

void TestBoardModel::initialPosition()
{
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(int, spoiler);
    // Built by hand, square by square, never through setInitialPosition.
    const Material back[] = {BRook, BKnight, BBishop, BQuenn, BKing, BBishop, BKnight, BRook};
    BoardModel model;
    for (int file = 1; file <= 8; ++file) {
        model.setPiece(file, 8, back[file - 1]);
        model.setPiece(file, 7, Bpawn);
        model.setPiece(file, 2, Wpawn);
        model.setPiece(file, 1, back[file - 1] + (WKing - BKing));
    }
    QVERIFY(model.isInitialPosition());
    if (spoiler != 0) {
        QVERIFY(model.setPiece(col, row, spoiler));
        QVERIFY(!model.isInitialPosition());
    }
}

void TestBoardModel::movePiece_data()
{
    QTest::addColumn<int>("fromCol");
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("toCol");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<int>("toAfter");
    QTest::newRow("pawn to empty square") << int(e) << 2 << int(e) << 4 << int(Wpawn);
    QTest::newRow("onto a piece replaces it") << int(g) << 1 << int(e) << 7 << int(WKnight);
    QTest::newRow("onto itself empties it") << int(e) << 2 << int(e) << 2 << int(NoPiece);
}

void TestBoardModel::movePiece()
{
    QFETCH(int, fromCol);
    QFETCH(int, fromRow);
    QFETCH(int, toCol);
    QFETCH(int, toRow);
    QFETCH(int, toAfter);
    BoardModel model;
    model.setInitialPosition();
    QVERIFY(model.movePiece(fromCol, fromRow, toCol, toRow));
    QCOMPARE(int(model.piece(fromCol, fromRow)), int(NoPiece));
    QCOMPARE(int(model.piece(toCol, toRow)), toAfter);
    QVERIFY(!model.isInitialPosition());
}

void TestBoardModel::badSquaresAreIgnored_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::newRow("rank 0") << int(a) << 0;
    QTest::newRow("rank 9") << int(a) << 9;
    QTest::newRow("smallest 16-bit rank") << int(e) << -32768;
    QTest::newRow("file 0") << 0 << 1;
    QTest::newRow("file 9") << 9 << 4;
}

void TestBoardModel::badSquaresAreIgnored()
{
    QFETCH(int, col);
    QFETCH(int, row);
    BoardModel model;
    model.setInitialPosition();
    QCOMPARE(int(model.piece(col, row)), 0);
    QVERIFY(!model.setPiece(col, row, WQuenn));
    QVERIFY(!model.movePiece(col, row, e, 4));
    QVERIFY(!model.movePiece(e, 2, col, row));
    QVERIFY(model.isInitialPosition());
    QVERIFY(!model.select(col, row) && !model.highlight(col, row, 0xFF));
    QVERIFY(!model.isSelected(col, row) && !model.isHighlighted(col, row));
}

void TestBoardModel::badPieceCodesAreRefused()
{
    BoardModel model;
    model.setInitialPosition();
    for (const int code : {0, 14, -1})
        QVERIFY2(!model.setPiece(e, 1, code), qPrintable(QString::number(code)));
    QCOMPARE(model.piece(e, 1), WKing);
    // The limits themselves are valid codes.
    QVERIFY(model.setPiece(e, 4, NoPiece) && model.setPiece(e, 5, Wpawn));
}

void TestBoardModel::marksAndClear()
{
    BoardModel model;
    model.setInitialPosition();
    model.setReversed(true);
    QVERIFY(model.select(e, 2));
    QVERIFY(!model.select(e, 2));
    // A marked square keeps its first colour; each mark goes on its own.
    QVERIFY(model.highlight(e, 2, 0x000000FF));
    QVERIFY(!model.highlight(e, 2, 0x00FF0000));
    QCOMPARE(model.highlightColor(e, 2), quint32(0x000000FF));
    QVERIFY(model.unhighlight(e, 2));
    QVERIFY(model.isSelected(e, 2));
    QVERIFY(model.highlight(d, 4, 0xFF));
    // Clear empties the position and drops the marks, not the display flags.
    model.clear();
    for (int i = 0; i < 64; ++i)
        QCOMPARE(model.piece(i % 8 + 1, i / 8 + 1), NoPiece);
    QVERIFY(!model.anySelected() && !model.isHighlighted(d, 4));
    QVERIFY(model.reversed());
}

QTEST_APPLESS_MAIN(TestBoardModel)
#include "tst_boardmodel.moc"
