// Measures the legal-move core: perft node counts and nodes per second on
// the standard test positions, once counting the last ply from the move
// list and once making and taking back every leaf. It checks each count
// against the published figure and prints the rates; it is not a test.

#include "ChessPosition.h"

#include <QElapsedTimer>

#include <cstdio>

namespace {

struct PerftCase
{
    const char* name;
    const char* fen;
    int depth;
    quint64 nodes; // published count
};

constexpr PerftCase kCases[] = {
    {"start", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 5, 4865609},
    {"start", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 6, 119060324},
    {"kiwipete", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -", 4, 4085603},
    {"kiwipete", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -", 5, 193690690},
    {"position 3", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -", 6, 11030083},
    {"position 4", "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 5, 15833292},
    {"position 5", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 4, 2103487},
    {"position 6", "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 4,
     3894594},
};

} // namespace

int main()
{
    bool allRight = true;
    for (const kx::PerftLeaves leaves : {kx::PerftLeaves::Counted, kx::PerftLeaves::Played}) {
        std::printf("%s\n", leaves == kx::PerftLeaves::Counted
                                ? "Last ply counted from the move list:"
                                : "Every leaf made and taken back:");
        quint64 totalNodes = 0;
        qint64 totalNs = 0;
        for (const PerftCase& c : kCases) {
            std::optional<kx::ChessPosition> position =
                kx::ChessPosition::FromFen(QString::fromLatin1(c.fen));
            if (!position) {
                std::printf("  %s: FEN not read\n", c.name);
                allRight = false;
                continue;
            }
            QElapsedTimer timer;
            timer.start();
            const quint64 nodes = kx::Perft(*position, c.depth, leaves);
            const qint64 ns = timer.nsecsElapsed();
            totalNodes += nodes;
            totalNs += ns;
            const bool right = nodes == c.nodes;
            allRight = allRight && right;
            std::printf("  %-10s depth %d: %11llu nodes %s %7.3f s %7.1f M nodes/s\n", c.name,
                        c.depth, static_cast<unsigned long long>(nodes), right ? "  " : "!!",
                        ns / 1e9, nodes * 1e3 / double(ns));
        }
        std::printf("  all: %.1f M nodes/s\n", totalNodes * 1e3 / double(totalNs));
    }
    std::printf(allRight ? "Every count matches the published figure.\n"
                         : "Some counts differ from the published figures!\n");
    return allRight ? 0 : 1;
}
