#include "Epd.h"
#include "Judging.h"
#include "MoveNotation.h"
#include "TestFiles.h"
#include "TypedMove.h"

#include <QTest>

using namespace kx;

namespace {

const QString kStart = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
const QString kTwoRooks = "4k3/8/8/8/8/R7/8/R3K3 w - -";
const QString kPromotion = "3r3k/4P3/8/8/8/8/8/4K3 w - -";
const QString kCastling = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -";
const QString kEnPassant = "4k3/8/8/3pP3/8/8/8/4K3 w - d6";

ChessPosition position(const QString& fen)
{
    return ChessPosition::FromFen(fen).value();
}

// Three text columns: a position, a move's text, and what comes of it.
void addColumns(const char* position, const char* text, const char* result)
{
    QTest::addColumn<QString>(position);
    QTest::addColumn<QString>(text);
    QTest::addColumn<QString>(result);
}

void row(const char* name, const QString& fen, const char* text, const char* result)
{
    QTest::newRow(name) << fen << QString(text) << QString(result);
}

} // namespace

// Moves as text: SAN, coordinates and the board's form, read and written; moves
// typed by the user, and the position the board shows.
class TestMoveNotation : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        addColumns("fen", "text", "move"); // move: coordinates, "" when no legal move fits
        row("piece", kStart, "Nf3", "g1f3");
        row("coordinates", kStart, "g1f3", "g1f3");
        row("board form with marks", kStart, "Ng1-f3+!?", "g1f3");
        row("pawn push", kStart, "e4", "e2e4");
        row("no piece goes there", kStart, "Nf4", "");
        row("pawn cannot jump", kStart, "e5", "");
        row("pawn capture", "4k3/8/8/3p4/4P3/8/8/4K3 w - -", "exd5", "e4d5");
        row("pawn capture without x", "4k3/8/8/3p4/4P3/8/8/4K3 w - -", "ed5", "e4d5");
        row("en passant", kEnPassant, "exd6", "e5d6");
        row("rank given", kTwoRooks, "R1a2", "a1a2");
        row("ambiguous", kTwoRooks, "Ra2", "");
        row("short castling", kCastling, "O-O", "e1g1");
        row("long castling with zeros", kCastling, "0-0-0+", "e1c1");
        row("castling as the king's move", kCastling, "e1g1", "e1g1");
        row("no castling right", "r3k2r/8/8/8/8/8/8/R3K2R w - -", "O-O", "");
        row("promotion without =", kPromotion, "e8Q", "e7e8q");
        row("under-promotion", kPromotion, "e8=N", "e7e8n");
        row("promotion piece left out", kPromotion, "e8", "e7e8q");
        row("capturing promotion", kPromotion, "exd8=R", "e7d8r");
        row("coordinate promotion", kPromotion, "e7e8q", "e7e8q");
        row("king is no promotion", kPromotion, "e8=K", "");
        row("pinned knight", "4k3/4r3/8/8/8/8/4N3/4K3 w - -", "Nc3", "");
        row("king into check", "4k3/8/8/8/8/8/3r4/4K3 w - -", "Kd1", "");
        row("check must be met", "4k3/4r3/8/8/8/8/3P4/4K3 w - -", "d3", "");
    }
    void parse()
    {
        QFETCH(QString, fen);
        QFETCH(QString, text);
        const std::optional<ChessMove> move = ParseMove(position(fen), text);
        QTEST(move ? CoordinateOf(*move) : QString(), "move");
    }

    void san_data()
    {
        addColumns("fen", "move", "san"); // move: coordinates
        const QString queens = "4k3/8/8/8/8/Q7/8/Q1Q1K3 w - -";
        row("pawn", kStart, "e2e4", "e4");
        row("by rank", kTwoRooks, "a1a2", "R1a2");
        row("by file", "4k3/8/8/8/8/8/8/1N1K1N2 w - -", "b1d2", "Nbd2");
        row("file and rank", queens, "a1b2", "Qa1b2");
        row("rank of three", queens, "a3b2", "Q3b2");
        row("file of three", queens, "c1b2", "Qcb2");
        row("en passant", kEnPassant, "e5d6", "exd6");
        row("promotion with check", "4k3/P7/8/8/8/8/8/4K3 w - -", "a7a8q", "a8=Q+");
        row("capture with check", "5rk1/6pp/8/8/8/8/8/5RK1 w - -", "f1f8", "Rxf8+");
        row("mate", "6k1/5ppp/8/8/8/8/8/R5K1 w - -", "a1a8", "Ra8#");
        row("short castling", kCastling, "e1g1", "O-O");
        row("long castling with check", "3k4/8/8/8/8/8/8/R3K3 w Q -", "e1c1", "O-O-O+");
    }
    void san()
    {
        QFETCH(QString, fen);
        QFETCH(QString, move);
        const ChessPosition pos = position(fen);
        const std::optional<ChessMove> parsed = ParseMove(pos, move);
        QVERIFY(parsed);
        QTEST(SanOf(pos, *parsed), "san");
    }

    // Case resolved without guessing.
    void typed_data()
    {
        addColumns("fen", "typed", "result"); // result: the SAN found, the candidates, or "none"
        // The b-pawn and the bishop on e5 can both take on c3; then each alone.
        const QString both = "4k3/8/8/4b3/1p6/2N5/8/4K3 b - - 0 1";
        const QString bishop = "4k3/8/8/4b3/8/2N5/8/4K3 b - - 0 1";
        const QString pawn = "4k3/8/8/8/1p6/2N5/8/4K3 b - - 0 1";
        row("all capitals", kStart, "NF3", "Nf3");
        row("capitals of a pawn move", kStart, "E4", "e4");
        row("b is the pawn as typed", both, "bxc3", "bxc3");
        row("B is the bishop as typed", both, "Bxc3", "Bxc3+");
        row("case ignored, both fit", both, "BXC3", "bxc3 Bxc3+");
        row("case ignored, only the bishop", bishop, "bxc3", "Bxc3+");
        row("case ignored, only the pawn", pawn, "Bxc3", "bxc3");
        row("two knights", "4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1", "nd2", "Nbd2 Nfd2");
        row("no such move", kStart, "Nd4", "none");
        row("not a move", kStart, "hello", "none");
        row("nothing", kStart, " ", "none");
    }
    void typed()
    {
        QFETCH(QString, fen);
        QFETCH(QString, typed);
        const ChessPosition pos = position(fen);
        const TypedMove read = ReadTypedMove(pos, typed);
        QStringList found;
        if (read.outcome == TypedMove::Outcome::Found)
            found << SanOf(pos, read.move);
        for (const ChessMove& move : read.candidates)
            found << SanOf(pos, move);
        QTEST(found.isEmpty() ? QStringLiteral("none") : found.join(u' '), "result");
        QCOMPARE(read.outcome == TypedMove::Outcome::Several, found.size() > 1);
    }

    // Every legal move of every record of the shipped and the public suites reads
    // back from its SAN, its coordinates and the board's form as the same move.
    void roundTripsOverEverySuite()
    {
        QStringList records = publicSuiteRecords();
        if (records.isEmpty())
            qWarning("%s: only the shipped suite is checked", kNoPublicSuites);
        records += shippedSuiteRecords();
        QVERIFY(records.size() > 50);
        int moves = 0;
        for (const QString& record : records) {
            const std::optional<ChessPosition> pos = RecordPosition(record);
            QVERIFY2(pos, qPrintable(record));
            for (const ChessMove& move : pos->LegalMoves()) {
                for (const QString& text :
                     {SanOf(*pos, move), CoordinateOf(move), BoardMoveText(*pos, move)}) {
                    const std::optional<ChessMove> back = ParseMove(*pos, text);
                    QVERIFY2(back && *back == move, qPrintable(record + " / " + text));
                }
                ++moves;
            }
        }
        QVERIFY(moves > records.size() * 10);
    }
};

QTEST_GUILESS_MAIN(TestMoveNotation)
#include "tst_movenotation.moc"
