// Move entry on the board through real mouse and key events: the move text,
// the position shown after it (castling, en passant, promotion), picking and
// dropping squares, typed moves, and the Solution button with its marks. A
// whole session from the keyboard is in tst_session.

#include "KestreluxTestAccess.h"
#include "TrainerFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Pellomar;

class TestMoveEntry : public QObject
{
    Q_OBJECT

private slots:
    void clicksMakeTheMove_data();
    void clicksMakeTheMove();
    void dragMakesTheSameMove();
    void solutionShowsTheBestMoves_data();
    void solutionShowsTheBestMoves();
    void typedMoveIsMadeAsClicksMakeIt_data();
    void typedMoveIsMadeAsClicksMakeIt();
    void typedTextThatIsNoMoveMovesNothing_data();
    void typedTextThatIsNoMoveMovesNothing();

private:
    // Shows a one-record suite.
    static KestreluxTestAccess& showRecord(TrainerFixture& fx, const QString& record)
    {
        KestreluxTestAccess& a = fx.openOn({record}, true);
        a.w.ShowPosition(1);
        return a;
    }

    // The board holds the squares of the position shown, one by one.
    static bool boardDrawsTheShownPosition(KestreluxTestAccess& a)
    {
        for (int square = 0; square < 64; ++square) {
            if (int(a.board()->Piece(Column(square % 8 + 1), short(square / 8 + 1))) !=
                a.w.shownPosition().squares()[square])
                return false;
        }
        return true;
    }

    // Types keys on the board, which has the keyboard, and shows the line beside it.
    static QString type(KestreluxTestAccess& a, const QString& keys, int last = Qt::Key_Return)
    {
        a.board()->setFocus();
        QCoreApplication::processEvents(); // as a user types: once the position is up
        QTest::keyClicks(a.board(), keys);
        if (last)
            QTest::keyClick(a.board(), Qt::Key(last));
        return a.text("lblTypedMove");
    }
};

// Moves of every kind made with two clicks, and the board after them.
void TestMoveEntry::clicksMakeTheMove_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("choice"); // the promotion piece chosen; "-" cancels; "" not asked
    QTest::addColumn<QString>("move");
    QTest::addColumn<QString>("after");
    const auto row = [](const char* name, const char* record, const char* from, const char* to,
                        const char* choice, const char* move, const char* after) {
        QTest::newRow(name) << record << from << to << choice << move << after;
    };
    // The rules of each kind of move are the position's; here the board
    // draws what they did, turned to the side to move.
    const char* queening = "7k/4P3/8/8/8/8/8/4K3 w - -";
    row("white pawn push", "4k3/8/8/8/8/8/4P3/4K3 w - -", "e2", "e4", "", "Pe2e4",
        "4k3/8/8/8/4P3/8/8/4K3 b - e3");
    row("capture on a reversed board", "4k3/8/8/3p4/4Q3/8/8/4K3 b - -", "d5", "e4", "", "Pd5e4",
        "4k3/8/8/8/4p3/8/8/4K3 w - -");
    row("white short castling", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "e1", "g1", "", "Ke1g1",
        "r3k2r/8/8/8/8/8/8/R4RK1 b kq -");
    row("en passant takes the pawn", "4k3/8/8/3pP3/8/8/8/4K3 w - d6", "e5", "d6", "", "Pe5d6",
        "4k3/8/3P4/8/8/8/8/4K3 b - -");
    row("white knight capturing", "3r3k/4P3/8/8/8/8/8/4K3 w - -", "e7", "d8", "N", "Pe7d8=N",
        "3N3k/8/8/8/8/8/8/4K3 b - -");
    row("cancelled promotion", queening, "e7", "e8", "-", "", "7k/4P3/8/8/8/8/8/4K3 w - -");
}

void TestMoveEntry::clicksMakeTheMove()
{
    QFETCH(QString, record);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, choice);
    QFETCH(QString, move);
    QFETCH(QString, after);
    TrainerFixture fx;
    KestreluxTestAccess& a = showRecord(fx, record);
    NqCBoard* board = a.board();
    int asked = 0;
    a.w.setPromotionChooser([&](Column, short) {
        ++asked;
        return choice == "-" ? QChar() : choice.at(0);
    });
    QVERIFY(boardDrawsTheShownPosition(a));
    // An empty square is not picked; a picked square clicked again is dropped.
    a.clickSquare(QStringLiteral("d3"));
    QVERIFY(!board->OneSelected());
    a.clickSquare(from);
    a.clickSquare(from);
    QVERIFY(!board->OneSelected());

    a.clickSquare(from);
    QVERIFY(
        board->IsSelected(Column(from.at(0).unicode() - 'a' + 1), short(from.at(1).digitValue())));
    QVERIFY(a.userMove().isEmpty());
    a.clickSquare(to);
    QCOMPARE(asked, int(!choice.isEmpty()));
    QCOMPARE(a.userMove(), move);
    QCOMPARE(a.w.BoardToFen(), after);
    QCOMPARE(a.text("lblSideToMove"), after.section(u' ', 1, 1) == "w" ? "WHITE" : "black");
    QVERIFY(!board->OneSelected());
    QVERIFY(boardDrawsTheShownPosition(a)); // and did before the move
}

void TestMoveEntry::dragMakesTheSameMove()
{
    TrainerFixture fx;
    KestreluxTestAccess& a = showRecord(fx, QStringLiteral("4k3/8/8/8/8/8/8/4K1N1 w - -"));
    const QPoint from = a.squareCentre(g, 1);
    const QPoint to = a.squareCentre(f, 3);
    QCoreApplication::processEvents(); // the position is up
    QTest::mousePress(a.board(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(a.board(), (from + to) / 2);
    QTest::mouseMove(a.board(), to);
    QTest::mouseRelease(a.board(), Qt::LeftButton, Qt::NoModifier, to);
    QCOMPARE(a.userMove(), QStringLiteral("Ng1f3"));
    QCOMPARE(a.board()->Piece(f, 3), WKnight);
}

void TestMoveEntry::solutionShowsTheBestMoves_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("marked"); // the first legal best move's squares, in green
    const auto row = [](const char* name, const QString& record, const char* shown,
                        const char* marked) {
        QTest::newRow(name) << record << shown << marked;
    };
    const QString pawn = QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 w - - ");
    row("bm first", pawn + "bm Nf3 Qd4; id \"x\";", "bm Nf3 Qd4", "");
    row("bm after other operations", pawn + "acd 4; acs 3; bm Qg6; ce 20;", "bm Qg6", "");
    row("bm without semicolon", pawn + "0 1 bm e2e4 dm 3", "bm e2e4", "e2g e4g");
    row("no bm", pawn + "id \"bm Qg6\";", "", "");
    row("SAN", "4k3/8/8/8/8/8/8/4K1N1 w - - bm Nf3 Ne2;", "bm Nf3 Ne2", "g1g f3g");
    row("castling", "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - bm O-O;", "bm O-O", "e8g g8g");
}

void TestMoveEntry::solutionShowsTheBestMoves()
{
    QFETCH(QString, record);
    QFETCH(QString, shown);
    QFETCH(QString, marked);
    TrainerFixture fx;
    KestreluxTestAccess& a = showRecord(fx, record);
    QTest::mouseClick(a.element<QPushButton>("CmdSolution"), Qt::LeftButton);
    QCOMPARE(fx.messages, shown.isEmpty() ? QStringList() : QStringList{shown});
    QVERIFY(a.userMove().isEmpty());
    QCOMPARE(a.marks(), marked);
    a.clickSquare(Pellomar::a, 1); // the next click takes them away
    QCOMPARE(a.marks(), QString());
}

void TestMoveEntry::typedMoveIsMadeAsClicksMakeIt_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("move");
    QTest::addColumn<QString>("board"); // the board afterwards, as FEN
    const auto row = [](const char* record, const char* typed, const char* move,
                        const char* board) {
        QTest::newRow(typed) << record << typed << move << board;
    };
    const char* knight = "4k3/8/8/8/8/8/8/4K1N1 w - -";
    const char* capture = "4k3/8/8/3p4/4P3/8/8/4K3 w - -";
    const char* castle = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -";
    const char* promote = "7k/4P3/8/8/8/8/8/4K3 w - -";
    for (const char* typed : {"Nf3", "nf3", "g1f3"})
        row(knight, typed, "Ng1f3", "4k3/8/8/8/8/5N2/8/4K3 b - -");
    for (const char* typed : {"exd5", "ed5"})
        row(capture, typed, "Pe4d5", "4k3/8/8/3P4/8/8/8/4K3 b - -");
    for (const char* typed : {"O-O", "0-0"})
        row(castle, typed, "Ke1g1", "r3k2r/8/8/8/8/8/8/R4RK1 b kq -");
    for (const char* typed : {"e8=Q", "e8Q"})
        row(promote, typed, "Pe7e8=Q", "4Q2k/8/8/8/8/8/8/4K3 b - -");
    row(promote, "e8", "Pe7e8=R", "4R2k/8/8/8/8/8/8/4K3 b - -"); // asked for, as after clicks
    row("4k3/8/8/3pP3/8/8/8/4K3 w - d6", "exd6", "Pe5d6", "4k3/8/3P4/8/8/8/8/4K3 b - -");
    row("r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "o-o-o", "Ke8c8", "2kr3r/8/8/8/8/8/8/R3K2R w KQ -");
    row("4k3/8/8/8/8/8/8/4K1n1 b - -", "Ngf3", "Ng1f3", "4k3/8/8/8/8/5n2/8/4K3 w - -");
}

void TestMoveEntry::typedMoveIsMadeAsClicksMakeIt()
{
    QFETCH(QString, record);
    QFETCH(QString, typed);
    QFETCH(QString, move);
    QFETCH(QString, board);
    TrainerFixture fx;
    KestreluxTestAccess& a = showRecord(fx, record);
    int asked = 0;
    a.w.setPromotionChooser([&](Column, short) { return ++asked, QChar('R'); });
    a.clickSquare(move.mid(1, 2)); // a square picked with the mouse before typing is dropped

    // What is typed shows beside the board until Enter makes the move.
    QCOMPARE(type(a, typed, 0), QStringLiteral("Move: ") + typed);
    QVERIFY(a.userMove().isEmpty());
    QTest::keyClick(a.board(), Qt::Key_Return);
    QCOMPARE(a.userMove(), move);
    QCOMPARE(a.w.BoardToFen(), board);
    QCOMPARE(asked, int(typed == "e8"));
    QVERIFY(!a.board()->OneSelected());
    QCOMPARE(a.text("lblTypedMove"), QStringLiteral("Type a move and press Enter"));
}

void TestMoveEntry::typedTextThatIsNoMoveMovesNothing_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("lastKey");
    QTest::addColumn<QString>("says");
    const auto row = [](const char* name, const char* record, const char* typed, int key,
                        const char* says) {
        QTest::newRow(name) << record << typed << key << says;
    };
    const char* rooks = "4k3/8/8/8/8/8/4K3/R6R w - -";
    row("ambiguous", rooks, "Rf1", Qt::Key_Return, "Move: Rf1 - that could be Raf1 or Rhf1");
    row("illegal", rooks, "Rb2", Qt::Key_Return, "Move: Rb2 - no legal move is written so");
    row("not a move", rooks, "Rz9", Qt::Key_Enter, "Move: R - no legal move is written so");
    row("no position", "", "e4", Qt::Key_Return,
        "Move: e4 - the board shows no position to move in");
    row("Escape clears", rooks, "Ra8", Qt::Key_Escape, "Type a move and press Enter");
    row("Backspace", rooks, "Rf1x", Qt::Key_Backspace, "Move: Rf1");
}

void TestMoveEntry::typedTextThatIsNoMoveMovesNothing()
{
    QFETCH(QString, record);
    QFETCH(QString, typed);
    QFETCH(int, lastKey);
    QFETCH(QString, says);
    TrainerFixture fx;
    KestreluxTestAccess& a = showRecord(fx, record);
    const QString before = a.w.BoardToFen();
    QCOMPARE(type(a, typed, lastKey), says);
    QVERIFY(a.userMove().isEmpty());
    QCOMPARE(a.w.BoardToFen(), before);
    if (says.contains(" - ")) { // after a refusal the next key starts a new move
        QTest::keyClick(a.board(), 'K');
        says = QStringLiteral("Move: K");
        QCOMPARE(a.text("lblTypedMove"), says);
    }

    // Keys in a text box stay there, Enter included.
    auto* pos = a.element<QLineEdit>("txtPos");
    pos->clear();
    pos->setFocus();
    QTest::keyClicks(pos, QStringLiteral("Kd1"));
    QTest::keyClick(pos, Qt::Key_Return);
    QCOMPARE(pos->text(), QStringLiteral("Kd1"));
    QCOMPARE(a.text("lblTypedMove"), says);
}

QTEST_MAIN(TestMoveEntry)
#include "tst_moveentry.moc"
