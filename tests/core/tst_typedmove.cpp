#include "MoveNotation.h"
#include "TypedMove.h"

#include <QTest>

using namespace kx;

// Typed moves: case resolved without guessing, and the position the board shows.
class TestTypedMove : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void boardPosition_data();
    void boardPosition();
};

void TestTypedMove::read_data()
{
    QTest::addColumn<QString>("fen");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result"); // the SAN found, the candidates, or "none"
    const auto row = [](const char* name, const char* fen, const char* typed, const char* result) {
        QTest::newRow(name) << fen << typed << result;
    };
    const char* start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    // The b-pawn and the bishop on e5 can both take on c3; then each alone.
    const char* both = "4k3/8/8/4b3/1p6/2N5/8/4K3 b - - 0 1";
    const char* bishop = "4k3/8/8/4b3/8/2N5/8/4K3 b - - 0 1";
    const char* pawn = "4k3/8/8/8/1p6/2N5/8/4K3 b - - 0 1";
    row("all capitals", start, "NF3", "Nf3");
    row("capitals of a pawn move", start, "E4", "e4");
    row("b is the pawn as typed", both, "bxc3", "bxc3");
    row("B is the bishop as typed", both, "Bxc3", "Bxc3+");
    row("case ignored, both fit", both, "BXC3", "bxc3 Bxc3+");
    row("case ignored, only the bishop", bishop, "bxc3", "Bxc3+");
    row("case ignored, only the pawn", pawn, "Bxc3", "bxc3");
    row("two knights", "4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1", "nd2", "Nbd2 Nfd2");
    row("no such move", start, "Nd4", "none");
    row("not a move", start, "hello", "none");
    row("nothing", start, " ", "none");
}

void TestTypedMove::read()
{
    QFETCH(QString, fen);
    QFETCH(QString, typed);
    QFETCH(QString, result);
    const ChessPosition position = ChessPosition::FromFen(fen).value();
    const TypedMove read = ReadTypedMove(position, typed);
    QStringList found;
    if (read.outcome == TypedMove::Outcome::Found)
        found << SanOf(position, read.move);
    for (const ChessMove& move : read.candidates)
        found << SanOf(position, move);
    QCOMPARE(found.isEmpty() ? QStringLiteral("none") : found.join(u' '), result);
    QCOMPARE(read.outcome == TypedMove::Outcome::Several, found.size() > 1);
}

void TestTypedMove::boardPosition_data()
{
    QTest::addColumn<QString>("board");
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("fen"); // "" when there is no position
    const auto row = [](const char* name, const char* board, const char* record, const char* fen) {
        QTest::newRow(name) << board << record << fen;
    };
    row("the record's: rights and en passant kept", "4k3/8/8/3pP3/8/8/8/4K3 w - -",
        "4k3/8/8/3pP3/8/8/8/4K3 w - d6 bm exd6;", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    row("after a move: the rights at home kept", "r3k2r/8/8/8/8/8/8/R4RK1 b - -",
        "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - bm O-O;", "r3k2r/8/8/8/8/8/8/R4RK1 b kq - 0 1");
    row("no record", "4k3/8/8/8/8/8/8/4K3 b - -", "", "4k3/8/8/8/8/8/8/4K3 b - - 0 1");
    row("an empty board", "8/8/8/8/8/8/8/8 w - -", "", "");
}

void TestTypedMove::boardPosition()
{
    QFETCH(QString, board);
    QFETCH(QString, record);
    QFETCH(QString, fen);
    const std::optional<ChessPosition> position = BoardPosition(board, record);
    QCOMPARE(position ? position->ToFen() : QString(), fen);
}

QTEST_APPLESS_MAIN(TestTypedMove)
#include "tst_typedmove.moc"
