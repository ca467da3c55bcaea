// The position on the board: moves made through the legal-move core
// (castling, en passant, promotion), moves it does not allow never made, and
// the board written back as FEN with the castling rights and the en passant
// square that still hold.

#include "ShownPosition.h"

#include <QTest>

using namespace kx;

namespace {

int square(const QString& name) // "e2" -> board order
{
    return (name[1].unicode() - '1') * 8 + (name[0].unicode() - 'a');
}

} // namespace

class TestShownPosition : public QObject
{
    Q_OBJECT

private slots:
    void moves_data();
    void moves();
    void pickingAndShowing();
};

void TestShownPosition::moves_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("becomes"); // the piece a pawn becomes; "" for none
    QTest::addColumn<QString>("move");
    QTest::addColumn<QString>("after");
    const auto row = [](const char* name, const char* record, const char* from, const char* to,
                        const char* becomes, const char* move, const char* after) {
        QTest::newRow(name) << record << from << to << becomes << move << after;
    };
    const char* castle = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - bm O-O;";
    const char* castleBlack = "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -";
    const char* queening = "7k/4P3/8/8/8/8/8/4K3 w - -";
    row("pawn push, its square kept", "4k3/8/8/8/8/8/4P3/4K3 w - -", "e2", "e4", "", "Pe2e4",
        "4k3/8/8/8/4P3/8/8/4K3 b - e3");
    row("black knight", "4k3/8/8/8/8/8/8/4K1n1 b - -", "g1", "f3", "", "Ng1f3",
        "4k3/8/8/8/8/5n2/8/4K3 w - -");
    row("white short castling", castle, "e1", "g1", "", "Ke1g1", "r3k2r/8/8/8/8/8/8/R4RK1 b kq -");
    row("white long castling", castle, "e1", "c1", "", "Ke1c1", "r3k2r/8/8/8/8/8/8/2KR3R b kq -");
    row("black short castling", castleBlack, "e8", "g8", "", "Ke8g8",
        "r4rk1/8/8/8/8/8/8/R3K2R w KQ -");
    row("black long castling", castleBlack, "e8", "c8", "", "Ke8c8",
        "2kr3r/8/8/8/8/8/8/R3K2R w KQ -");
    row("a rook's move takes its right", castle, "h1", "h5", "", "Rh1h5",
        "r3k2r/8/8/7R/8/8/8/R3K3 b Qkq -");
    row("en passant takes the pawn", "4k3/8/8/3pP3/8/8/8/4K3 w - d6", "e5", "d6", "", "Pe5d6",
        "4k3/8/3P4/8/8/8/8/4K3 b - -");
    row("white queen", queening, "e7", "e8", "Q", "Pe7e8=Q", "4Q2k/8/8/8/8/8/8/4K3 b - -");
    row("knight capturing", "3r3k/4P3/8/8/8/8/8/4K3 w - -", "e7", "d8", "N", "Pe7d8=N",
        "3N3k/8/8/8/8/8/8/4K3 b - -");
    row("black rook", "4k3/8/8/8/8/8/p7/4K3 b - -", "a2", "a1", "R", "Pa2a1=R",
        "4k3/8/8/8/8/8/8/r3K3 w - -");
    // Moves the position does not allow are not made.
    row("a diagonal step to an empty square", "4k3/8/8/4P3/8/8/8/4K3 w - -", "e5", "f6", "", "",
        "4k3/8/8/4P3/8/8/8/4K3 w - -");
    row("a king's two steps without the right", "r3k2r/8/8/8/8/8/8/R3K2R w kq -", "e1", "g1", "",
        "", "r3k2r/8/8/8/8/8/8/R3K2R w kq -");
    row("into check", "4k3/8/8/8/8/8/3r4/4K3 w - -", "e1", "e2", "", "",
        "4k3/8/8/8/8/8/3r4/4K3 w - -");
    row("a board that is no position", "4k3/8/8/8/8/8/8/K3K3 w - -", "a1", "a2", "", "",
        "4k3/8/8/8/8/8/8/K3K3 w - -");
}

void TestShownPosition::moves()
{
    QFETCH(QString, record);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, becomes);
    ShownPosition shown;
    shown.Show(7, record);
    QFETCH(QString, move);
    shown.PickSquare(square(from));
    QCOMPARE(shown.CanReach(square(to)), !move.isEmpty());
    QCOMPARE(shown.IsPromotion(square(to)), !becomes.isEmpty());
    const PieceKind kind = becomes.isEmpty()
                               ? NoKind
                               : PieceKind(QByteArray(kPieceLetters).indexOf(becomes.toLatin1()));
    QTEST(shown.Move(square(to), kind), "move");
    QTEST(shown.userMove(), "move");
    QTEST(shown.Fen(), "after");
    QCOMPARE(shown.picked(), -1);
    QCOMPARE(shown.blackToMove(), shown.Fen().section(u' ', 1, 1) == "b");
}

void TestShownPosition::pickingAndShowing()
{
    ShownPosition shown;
    shown.Show(3, QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 w - - bm e4;"));
    const quint64 serial = shown.serial();
    QCOMPARE(shown.number(), 3);
    QVERIFY(shown.position());
    QCOMPARE(shown.squares()[square("e2")], BoardPieceCode(Pawn, false));
    using Pick = ShownPosition::Pick;
    QCOMPARE(shown.PickSquare(square("d3")), Pick::Empty);
    QCOMPARE(shown.PickSquare(square("e8")), Pick::NotToMove);
    QCOMPARE(shown.picked(), -1);
    QCOMPARE(shown.PickSquare(square("e2")), Pick::Picked);
    shown.Drop();
    QCOMPARE(shown.picked(), -1);

    // A record that is no board at all still shows its squares, side and number.
    shown.Show(4, QStringLiteral("8/8/8/8/8/8/8/8 b - -"));
    QVERIFY(shown.serial() != serial);
    QVERIFY(!shown.position());
    QVERIFY(shown.blackToMove());
    shown.Show(5, QStringLiteral("4k3/8/8/8/8/8/8/K3K3 w - -"));
    QCOMPARE(shown.PickSquare(square("a1")), Pick::NoPosition);
    shown.Show(4, QStringLiteral("8/8/8/8/8/8/8/8 b - -"));
    QCOMPARE(shown.Fen(), QStringLiteral("8/8/8/8/8/8/8/8 b - -"));
    shown.LeaveSuite();
    QCOMPARE(shown.number(), 0);
    QCOMPARE(shown.record(), QStringLiteral("8/8/8/8/8/8/8/8 b - -"));
}

QTEST_GUILESS_MAIN(TestShownPosition)
#include "tst_shownposition.moc"
