#include "ChessPosition.h"

#include <QTest>

using namespace kx;

// The legal-move core: FEN in and out, and move generation checked by perft
// against the published counts.
class TestChessPosition : public QObject
{
    Q_OBJECT

private slots:
    void perft_data();
    void perft();
    void fen_data();
    void fen();
};

void TestChessPosition::perft_data()
{
    QTest::addColumn<QString>("fen");
    QTest::addColumn<QList<quint64>>("nodes"); // depth 1, 2, ...
    const auto row = [](const char* name, const char* fen, QList<quint64> nodes) {
        QTest::newRow(name) << QString(fen) << nodes;
    };
    row("start", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
        {20, 400, 8902, 197281, 4865609});
    row("kiwipete", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
        {48, 2039, 97862, 4085603});
    row("position 3, en passant and pins", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
        {14, 191, 2812, 43238, 674624});
    row("position 4, promotions",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", {6, 264, 9467, 422333});
    row("position 4 mirrored", "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1",
        {6, 264, 9467, 422333});
    row("position 5", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
        {44, 1486, 62379, 2103487});
    row("position 6", "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
        {46, 2079, 89890, 3894594});
}

void TestChessPosition::perft()
{
    QFETCH(QString, fen);
    QFETCH(QList<quint64>, nodes);
    std::optional<ChessPosition> position = ChessPosition::FromFen(fen);
    QVERIFY(position);
    const ChessPosition before = *position;
    for (int depth = 1; depth <= nodes.size(); ++depth)
        QCOMPARE(Perft(*position, depth), nodes[depth - 1]);
    // Leaves made and taken back one by one count the same.
    QCOMPARE(Perft(*position, 3, PerftLeaves::Played), nodes[2]);
    QVERIFY(*position == before);
}

void TestChessPosition::fen_data()
{
    QTest::addColumn<QString>("fen");
    QTest::addColumn<QString>("written"); // "" when the FEN is refused
    const auto row = [](const char* name, const char* fen, const char* written) {
        QTest::newRow(name) << QString(fen) << QString(written);
    };
    row("four fields", "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1");
    row("six fields, runs", "4k3/8/8/8/44/8/8/4K3 w - - 12 40", "4k3/8/8/8/8/8/8/4K3 w - - 12 40");
    row("castling without its rook", "4k2r/8/8/8/8/8/8/R3K3 w KQkq -",
        "4k2r/8/8/8/8/8/8/R3K3 w Qk - 0 1");
    row("en passant", "4k3/8/8/3pP3/8/8/8/4K3 w - d6", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    row("en passant no pawn passed", "4k3/8/8/4P3/8/8/8/4K3 w - d6",
        "4k3/8/8/4P3/8/8/8/4K3 w - - 0 1");
    row("three fields", "4k3/8/8/8/8/8/8/4K3 w -", "");
    row("rank of nine", "4k3/8/8/8/8/8/8/4K4 w - -", "");
    row("seven ranks", "4k3/8/8/8/8/8/4K3 w - -", "");
    row("two white kings", "4k3/8/8/8/8/8/8/3KK3 w - -", "");
    row("no black king", "8/8/8/8/8/8/8/4K3 w - -", "");
    row("pawn on the last rank", "P3k3/8/8/8/8/8/8/4K3 w - -", "");
    row("side that moved in check", "4k3/8/8/8/8/8/4R3/3K4 w - -", "");
    row("bad side", "4k3/8/8/8/8/8/8/4K3 x - -", "");
    row("bad castling", "4k3/8/8/8/8/8/8/4K3 w KX -", "");
}

void TestChessPosition::fen()
{
    QFETCH(QString, fen);
    QFETCH(QString, written);
    const std::optional<ChessPosition> position = ChessPosition::FromFen(fen);
    QCOMPARE(position ? position->ToFen() : QString(), written);
}

QTEST_GUILESS_MAIN(TestChessPosition)
#include "tst_chessposition.moc"
