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
    const QString start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    QTest::newRow("start") << start << QList<quint64>{20, 400, 8902, 197281, 4865609};
    QTest::newRow("kiwipete") << "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -"
                              << QList<quint64>{48, 2039, 97862, 4085603};
    QTest::newRow("position 3, en passant and pins")
        << "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -" << QList<quint64>{14, 191, 2812, 43238, 674624};
    QTest::newRow("position 4, promotions")
        << "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1"
        << QList<quint64>{6, 264, 9467, 422333};
    QTest::newRow("position 4 mirrored")
        << "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1"
        << QList<quint64>{6, 264, 9467, 422333};
    QTest::newRow("position 5") << "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8"
                                << QList<quint64>{44, 1486, 62379, 2103487};
    QTest::newRow("position 6")
        << "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10"
        << QList<quint64>{46, 2079, 89890, 3894594};
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
    QTest::newRow("four fields") << "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -"
                                 << "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1";
    QTest::newRow("six fields, runs written again") << "4k3/8/8/8/44/8/8/4K3 w - - 12 40"
                                                    << "4k3/8/8/8/8/8/8/4K3 w - - 12 40";
    QTest::newRow("castling without its rook dropped") << "4k2r/8/8/8/8/8/8/R3K3 w KQkq -"
                                                       << "4k2r/8/8/8/8/8/8/R3K3 w Qk - 0 1";
    QTest::newRow("en passant kept") << "4k3/8/8/3pP3/8/8/8/4K3 w - d6"
                                     << "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1";
    QTest::newRow("en passant no pawn passed") << "4k3/8/8/4P3/8/8/8/4K3 w - d6"
                                               << "4k3/8/8/4P3/8/8/8/4K3 w - - 0 1";
    QTest::newRow("three fields") << "4k3/8/8/8/8/8/8/4K3 w -"
                                  << "";
    QTest::newRow("five fields") << "4k3/8/8/8/8/8/8/4K3 w - - 0"
                                 << "";
    QTest::newRow("rank of nine") << "4k3/8/8/8/8/8/8/4K4 w - -"
                                  << "";
    QTest::newRow("seven ranks") << "4k3/8/8/8/8/8/4K3 w - -"
                                 << "";
    QTest::newRow("unknown letter") << "4k3/8/8/8/8/8/8/4K2X w - -"
                                    << "";
    QTest::newRow("two white kings") << "4k3/8/8/8/8/8/8/3KK3 w - -"
                                     << "";
    QTest::newRow("no black king") << "8/8/8/8/8/8/8/4K3 w - -"
                                   << "";
    QTest::newRow("pawn on the last rank") << "P3k3/8/8/8/8/8/8/4K3 w - -"
                                           << "";
    QTest::newRow("side that moved in check") << "4k3/8/8/8/8/8/4R3/3K4 w - -"
                                              << "";
    QTest::newRow("bad side") << "4k3/8/8/8/8/8/8/4K3 x - -"
                              << "";
    QTest::newRow("bad castling") << "4k3/8/8/8/8/8/8/4K3 w KX -"
                                  << "";
    QTest::newRow("bad square") << "4k3/8/8/8/8/8/8/4K3 w - e9"
                                << "";
    QTest::newRow("bad counter") << "4k3/8/8/8/8/8/8/4K3 w - - x 1"
                                 << "";
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
