// Move entry on the board through real mouse and key events: the move text,
// the position shown after it (castling, en passant, promotion), picking and
// dropping squares, typed moves, and the Solution button with its marks.

#include "../core/Mutations.h"
#include "../core/TestFiles.h"
#include "Fen.h"
#include "KestreluxTestAccess.h"
#include "TrainerFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Pellomar;

class TestMoveEntry : public QObject
{
    Q_OBJECT

private slots:
    void twoClicksMakeAMove_data();
    void twoClicksMakeAMove();
    void emptySquareIsNotPicked();
    void pickedSquareClickedAgainIsDropped();
    void castlingMovesTheRook_data();
    void castlingMovesTheRook();
    void enPassantTakesThePawn();
    void promotionAsksForThePiece_data();
    void promotionAsksForThePiece();
    void cancelledPromotionMakesNoMove();
    void dragMakesTheSameMove();
    void solutionShowsTheBestMoves_data();
    void solutionShowsTheBestMoves();
    void typedMoveIsMadeAsClicksMakeIt_data();
    void typedMoveIsMadeAsClicksMakeIt();
    void typedTextThatIsNoMoveMovesNothing_data();
    void typedTextThatIsNoMoveMovesNothing();
    void wholeSessionFromTheKeyboard();
    void mutatedRecordsSetUpTheBoard_data() { mutations::addKindRows(); }
    void mutatedRecordsSetUpTheBoard();

private:
    // Shows a one-record suite and returns the window.
    frmKestrelux& showRecord(TrainerFixture& fx, const QString& record)
    {
        fx.addSuite(QStringLiteral("WAC.EPD"), {record});
        frmKestrelux& w = fx.open();
        w.show();
        w.ShowPosition(1);
        return w;
    }

    // Types keys on the board, which has the keyboard, and shows the line beside it.
    static QString type(KestreluxTestAccess& a, const QString& keys, int last = Qt::Key_Return)
    {
        a.board()->setFocus();
        QTest::keyClicks(a.board(), keys);
        if (last)
            QTest::keyClick(a.board(), Qt::Key(last));
        return a.element<QLabel>("lblTypedMove")->text();
    }
};

namespace {

// The hatched squares in board order, each with the colour of its lines as
// drawn: "e2g" green, "d2r" red.
QString marks(NqCBoard& board)
{
    const QImage shot = board.grab().toImage();
    const qreal dpr = shot.devicePixelRatio();
    QStringList found;
    for (short row = 1; row <= 8; ++row) {
        for (int col = 1; col <= 8; ++col) {
            if (!board.IsHighlighted(Column(col), row))
                continue;
            const QRectF t = board.SquareRectTwips(Column(col), row);
            const QRect r = QRectF(t.topLeft() / 15 * dpr, t.size() / 15 * dpr).toRect();
            int red = 0;
            int green = 0;
            for (int y = r.top(); y <= r.bottom(); ++y) {
                for (int x = r.left(); x <= r.right(); ++x) {
                    const QColor c = shot.pixelColor(x, y);
                    red += c.red() > c.green() + 80 && c.red() > c.blue() + 80;
                    green += c.green() > c.red() + 60 && c.green() > c.blue() + 60;
                }
            }
            found << QChar('a' + col - 1) + QString::number(row) +
                         (red > 20 && !green   ? "r"
                          : green > 20 && !red ? "g"
                                               : "?");
        }
    }
    return found.join(' ');
}

} // namespace

void TestMoveEntry::twoClicksMakeAMove_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<int>("fromCol");
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("toCol");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<QString>("move");
    QTest::addColumn<QString>("sideAfter");
    QTest::newRow("white pawn push") << "4k3/8/8/8/8/8/4P3/4K3 w - -" << 5 << 2 << 5 << 4 << "Pe2e4"
                                     << "black";
    QTest::newRow("black knight from g1")
        << "4k3/8/8/8/8/8/8/4K1n1 b - -" << 7 << 1 << 6 << 3 << "Ng1f3"
        << "WHITE";
    QTest::newRow("capture on a reversed board")
        << "4k3/8/8/3p4/4Q3/8/8/4K3 b - -" << 4 << 5 << 5 << 4 << "Pd5e4"
        << "WHITE";
}

void TestMoveEntry::twoClicksMakeAMove()
{
    QFETCH(QString, record);
    QFETCH(int, fromCol);
    QFETCH(int, fromRow);
    QFETCH(int, toCol);
    QFETCH(int, toRow);
    QFETCH(QString, move);
    QFETCH(QString, sideAfter);
    TrainerFixture fx;
    frmKestrelux& w = showRecord(fx, record);
    KestreluxTestAccess a(w);
    NqCBoard* board = a.board();
    const Material piece = board->Piece(Column(fromCol), short(fromRow));

    a.clickSquare(Column(fromCol), short(fromRow));
    QVERIFY(board->IsSelected(Column(fromCol), short(fromRow)));
    QCOMPARE(a.selRow(), qint16(fromRow));
    QVERIFY(a.userMove().isEmpty());

    a.clickSquare(Column(toCol), short(toRow));
    QCOMPARE(a.userMove(), move);
    QCOMPARE(board->Piece(Column(toCol), short(toRow)), piece);
    QCOMPARE(board->Piece(Column(fromCol), short(fromRow)), NoPiece);
    QCOMPARE(a.element<QLabel>("lblSideToMove")->text(), sideAfter);
    QCOMPARE(a.selRow(), qint16(0));
    QVERIFY(!board->OneSelected());
}

void TestMoveEntry::emptySquareIsNotPicked()
{
    TrainerFixture fx;
    frmKestrelux& w = showRecord(fx, QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 w - -"));
    KestreluxTestAccess a(w);
    a.clickSquare(e, 3);
    QCOMPARE(a.selRow(), qint16(0));
    QVERIFY(!a.board()->OneSelected());
    a.playMove(e, 2, e, 4);
    QCOMPARE(a.userMove(), QStringLiteral("Pe2e4"));
}

void TestMoveEntry::pickedSquareClickedAgainIsDropped()
{
    TrainerFixture fx;
    frmKestrelux& w = showRecord(fx, QStringLiteral("4k3/8/8/8/8/8/3PP3/4K3 w - -"));
    KestreluxTestAccess a(w);
    a.clickSquare(e, 2);
    a.clickSquare(e, 2);
    QCOMPARE(a.selRow(), qint16(0));
    QVERIFY(!a.board()->IsSelected(e, 2));
    QVERIFY(a.userMove().isEmpty());
    a.playMove(d, 2, d, 4);
    QCOMPARE(a.userMove(), QStringLiteral("Pd2d4"));
    QCOMPARE(a.board()->Piece(e, 2), Wpawn);
}

void TestMoveEntry::castlingMovesTheRook_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<int>("toCol");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("move");
    QTest::addColumn<int>("rookFrom");
    QTest::addColumn<int>("rookTo");
    QTest::newRow("white short") << "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -" << 7 << 1 << "Ke1g1" << 8
                                 << 6;
    QTest::newRow("white long") << "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -" << 3 << 1 << "Ke1c1" << 1
                                << 4;
    QTest::newRow("black short") << "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -" << 7 << 8 << "Ke8g8" << 8
                                 << 6;
    QTest::newRow("black long") << "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -" << 3 << 8 << "Ke8c8" << 1
                                << 4;
}

void TestMoveEntry::castlingMovesTheRook()
{
    QFETCH(QString, record);
    QFETCH(int, toCol);
    QFETCH(int, row);
    QFETCH(QString, move);
    QFETCH(int, rookFrom);
    QFETCH(int, rookTo);
    TrainerFixture fx;
    frmKestrelux& w = showRecord(fx, record);
    KestreluxTestAccess a(w);
    const Material rook = row == 1 ? WRook : BRook;
    a.playMove(e, short(row), Column(toCol), short(row));
    QCOMPARE(a.userMove(), move);
    QCOMPARE(a.board()->Piece(Column(toCol), short(row)), row == 1 ? WKing : BKing);
    QCOMPARE(a.board()->Piece(Column(rookFrom), short(row)), NoPiece);
    QCOMPARE(a.board()->Piece(Column(rookTo), short(row)), rook);
    // The other rook stays where it was.
    QCOMPARE(a.board()->Piece(Column(rookFrom == 8 ? 1 : 8), short(row)), rook);
}

void TestMoveEntry::enPassantTakesThePawn()
{
    TrainerFixture fx;
    frmKestrelux& w = showRecord(fx, QStringLiteral("4k3/8/8/3pP3/8/8/8/4K3 w - d6"));
    KestreluxTestAccess a(w);
    a.playMove(e, 5, d, 6);
    QCOMPARE(a.userMove(), QStringLiteral("Pe5d6"));
    QCOMPARE(a.board()->Piece(d, 6), Wpawn);
    QCOMPARE(a.board()->Piece(d, 5), NoPiece);

    // A plain diagonal step onto an empty square without a pawn beside it takes nothing.
    TrainerFixture other;
    frmKestrelux& w2 = showRecord(other, QStringLiteral("4k3/8/8/4P3/8/8/8/4K3 w - -"));
    KestreluxTestAccess b(w2);
    b.playMove(e, 5, f, 6);
    QCOMPARE(b.board()->Piece(f, 6), Wpawn);
    QCOMPARE(b.board()->Piece(e, 8), BKing);
}

void TestMoveEntry::promotionAsksForThePiece_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<int>("fromCol");
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("toCol");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<QChar>("choice");
    QTest::addColumn<QString>("move");
    QTest::addColumn<int>("placed");
    QTest::newRow("white queen") << "7k/4P3/8/8/8/8/8/4K3 w - -" << 5 << 7 << 5 << 8 << QChar('Q')
                                 << "Pe7e8=Q" << int(WQuenn);
    QTest::newRow("white knight capturing") << "3r3k/4P3/8/8/8/8/8/4K3 w - -" << 5 << 7 << 4 << 8
                                            << QChar('N') << "Pe7d8=N" << int(WKnight);
    QTest::newRow("black rook") << "4k3/8/8/8/8/8/p7/4K3 b - -" << 1 << 2 << 1 << 1 << QChar('R')
                                << "Pa2a1=R" << int(BRook);
}

void TestMoveEntry::promotionAsksForThePiece()
{
    QFETCH(QString, record);
    QFETCH(int, fromCol);
    QFETCH(int, fromRow);
    QFETCH(int, toCol);
    QFETCH(int, toRow);
    QFETCH(QChar, choice);
    QFETCH(QString, move);
    QFETCH(int, placed);
    TrainerFixture fx;
    frmKestrelux& w = showRecord(fx, record);
    KestreluxTestAccess a(w);
    int asked = 0;
    w.setPromotionChooser([&](Column, short) {
        ++asked;
        return choice;
    });
    a.playMove(Column(fromCol), short(fromRow), Column(toCol), short(toRow));
    QCOMPARE(asked, 1);
    QCOMPARE(a.userMove(), move);
    QCOMPARE(int(a.board()->Piece(Column(toCol), short(toRow))), placed);
    QCOMPARE(a.board()->Piece(Column(fromCol), short(fromRow)), NoPiece);
}

void TestMoveEntry::cancelledPromotionMakesNoMove()
{
    TrainerFixture fx;
    frmKestrelux& w = showRecord(fx, QStringLiteral("7k/4P3/8/8/8/8/8/4K3 w - -"));
    KestreluxTestAccess a(w);
    w.setPromotionChooser([](Column, short) { return QChar(); });
    a.playMove(e, 7, e, 8);
    QVERIFY(a.userMove().isEmpty());
    QCOMPARE(a.board()->Piece(e, 7), Wpawn);
    QCOMPARE(a.selRow(), qint16(0));
    QVERIFY(!a.board()->OneSelected());
    QCOMPARE(a.element<QLabel>("lblSideToMove")->text(), QStringLiteral("WHITE"));
}

void TestMoveEntry::dragMakesTheSameMove()
{
    TrainerFixture fx;
    frmKestrelux& w = showRecord(fx, QStringLiteral("4k3/8/8/8/8/8/8/4K1N1 w - -"));
    KestreluxTestAccess a(w);
    const QPoint from = a.squareCentre(g, 1);
    const QPoint to = a.squareCentre(f, 3);
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
    QTest::newRow("bm first") << "4k3/8/8/8/8/8/4P3/4K3 w - - bm Nf3 Qd4; id \"x\";"
                              << "bm Nf3 Qd4"
                              << "";
    QTest::newRow("bm after other operations")
        << "4k3/8/8/8/8/8/4P3/4K3 w - - acd 4; acs 3; bm Qg6; ce 20;"
        << "bm Qg6"
        << "";
    QTest::newRow("bm without semicolon") << "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1 bm e2e4 dm 3"
                                          << "bm e2e4"
                                          << "e2g e4g";
    QTest::newRow("no bm") << "4k3/8/8/8/8/8/4P3/4K3 w - - id \"bm Qg6\";"
                           << ""
                           << "";
    QTest::newRow("SAN") << "4k3/8/8/8/8/8/8/4K1N1 w - - bm Nf3 Ne2;"
                         << "bm Nf3 Ne2"
                         << "g1g f3g";
    QTest::newRow("castling") << "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - bm O-O;"
                              << "bm O-O"
                              << "e8g g8g";
}

void TestMoveEntry::solutionShowsTheBestMoves()
{
    QFETCH(QString, record);
    QFETCH(QString, shown);
    QFETCH(QString, marked);
    TrainerFixture fx;
    frmKestrelux& w = showRecord(fx, record);
    KestreluxTestAccess a(w);
    QTest::mouseClick(a.element<QPushButton>("CmdSolution"), Qt::LeftButton);
    if (shown.isEmpty()) {
        QVERIFY(fx.messages.isEmpty());
    } else {
        QCOMPARE(fx.messages, QStringList{shown});
    }
    QVERIFY(a.userMove().isEmpty());
    QCOMPARE(marks(*a.board()), marked);
    a.clickSquare(Pellomar::a, 1); // the next click takes them away
    QCOMPARE(marks(*a.board()), QString());
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
    row(knight, "Nf3", "Ng1f3", "4k3/8/8/8/8/5N2/8/4K3 b - -");
    row(knight, "nf3", "Ng1f3", "4k3/8/8/8/8/5N2/8/4K3 b - -");
    row(knight, "g1f3", "Ng1f3", "4k3/8/8/8/8/5N2/8/4K3 b - -");
    row(capture, "exd5", "Pe4d5", "4k3/8/8/3P4/8/8/8/4K3 b - -");
    row(capture, "ed5", "Pe4d5", "4k3/8/8/3P4/8/8/8/4K3 b - -");
    row(castle, "O-O", "Ke1g1", "r3k2r/8/8/8/8/8/8/R4RK1 b - -");
    row(castle, "0-0", "Ke1g1", "r3k2r/8/8/8/8/8/8/R4RK1 b - -");
    row(promote, "e8=Q", "Pe7e8=Q", "4Q2k/8/8/8/8/8/8/4K3 b - -");
    row(promote, "e8Q", "Pe7e8=Q", "4Q2k/8/8/8/8/8/8/4K3 b - -");
    row(promote, "e8", "Pe7e8=R", "4R2k/8/8/8/8/8/8/4K3 b - -"); // asked for, as after clicks
    row("4k3/8/8/3pP3/8/8/8/4K3 w - d6", "exd6", "Pe5d6", "4k3/8/3P4/8/8/8/8/4K3 b - -");
    row("r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "o-o-o", "Ke8c8", "2kr3r/8/8/8/8/8/8/R3K2R w - -");
    row("4k3/8/8/8/8/8/8/4K1n1 b - -", "Ngf3", "Ng1f3", "4k3/8/8/8/8/5n2/8/4K3 w - -");
}

void TestMoveEntry::typedMoveIsMadeAsClicksMakeIt()
{
    QFETCH(QString, record);
    QFETCH(QString, typed);
    QFETCH(QString, move);
    QFETCH(QString, board);
    TrainerFixture fx;
    frmKestrelux& w = showRecord(fx, record);
    KestreluxTestAccess a(w);
    int asked = 0;
    w.setPromotionChooser([&](Column, short) { return ++asked, QChar('R'); });
    // A square picked with the mouse before typing is dropped.
    a.clickSquare(Column(move.at(1).unicode() - 'a' + 1), short(move.at(2).digitValue()));

    // What is typed shows beside the board until Enter makes the move.
    QCOMPARE(type(a, typed, 0), QStringLiteral("Move: ") + typed);
    QVERIFY(a.userMove().isEmpty());
    QTest::keyClick(a.board(), Qt::Key_Return);
    QCOMPARE(a.userMove(), move);
    QCOMPARE(w.BoardToFen(), board);
    QCOMPARE(asked, int(typed == "e8"));
    QVERIFY(!a.board()->OneSelected());
    QCOMPARE(a.selRow(), qint16(0));
    QCOMPARE(a.element<QLabel>("lblTypedMove")->text(),
             QStringLiteral("Type a move and press Enter"));
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
    frmKestrelux& w = showRecord(fx, record);
    KestreluxTestAccess a(w);
    const QString before = w.BoardToFen();
    QCOMPARE(type(a, typed, lastKey), says);
    QVERIFY(a.userMove().isEmpty());
    QCOMPARE(w.BoardToFen(), before);
    if (says.contains(" - ")) { // after a refusal the next key starts a new move
        QTest::keyClick(a.board(), 'K');
        QCOMPARE(a.element<QLabel>("lblTypedMove")->text(), QStringLiteral("Move: K"));
        says = QStringLiteral("Move: K");
    }

    // Keys in a text box stay there, Enter included.
    auto* pos = a.element<QLineEdit>("txtPos");
    pos->clear();
    pos->setFocus();
    QTest::keyClicks(pos, QStringLiteral("Kd1"));
    QTest::keyClick(pos, Qt::Key_Return);
    QCOMPARE(pos->text(), QStringLiteral("Kd1"));
    QCOMPARE(a.element<QLabel>("lblTypedMove")->text(), says);
}

void TestMoveEntry::wholeSessionFromTheKeyboard()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(20));
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    a.element<QPushButton>("cmdNew")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    for (int i = 0; i < 10; ++i) {
        a.clock()->stop();
        // The board has the keyboard from the start: nothing to click between positions.
        QCOMPARE(QApplication::focusWidget(), a.board());
        QTest::keyClicks(QApplication::focusWidget(), i % 2 ? "ke1d2" : "e4");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        w.tmrTime_Timer();
    }
    QVERIFY(!a.element<QCheckBox>("chkTimer")->isChecked());
    QCOMPARE(a.element<QLabel>("lblSolved")->text(), QStringLiteral("5/10(50%)"));

    // A missed position from the report: the best move e2-e4 in green, the
    // user's Ke1-d2 in red.
    FlexGrid* report = a.report();
    const QRect second = report->visualRect(report->model()->index(1, 0));
    QTest::mouseClick(report->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    QCOMPARE(a.currentPosition(), report->TextMatrix(2, 5).toInt());
    QCOMPARE(marks(*a.board()), QStringLiteral("e1r d2r e2g e4g"));
    w.ShowPosition(2); // the next position takes them away
    QCOMPARE(marks(*a.board()), QString());
}

// Broken records of the public suites, shown one by one: the board holds
// exactly the squares read from each line, never more.
void TestMoveEntry::mutatedRecordsSetUpTheBoard()
{
    mutations::Mutator m;
    const QByteArray wac = readAll(QStringLiteral(KX_SUITES_DIR "/WAC.EPD"));
    QVERIFY2(!wac.isEmpty(), kNoPublicSuites);
    const QList<QByteArray> records = wac.split('\n');
    QByteArray suite;
    for (int i = m.cases(40); i > 0; --i)
        suite += m.mutate(m.pick(records) + '\n');
    TrainerFixture fx;
    fx.writeFile(fx.programFile(QStringLiteral("WAC.EPD")), suite);
    frmKestrelux& w = fx.open();
    const QStringList lines = kx::ReadSuiteLines(fx.programFile(QStringLiteral("WAC.EPD"))).value();
    for (qsizetype n = 1; n <= lines.size(); ++n) {
        QVERIFY(w.ShowPosition(qint16(n)));
        const kx::FenReading read = kx::ReadPlacement(lines.at(n - 1));
        QVERIFY2(w.BoardToFen() == kx::PlacementToFen(read.squares, read.blackToMove),
                 m.where(int(n), lines.at(n - 1).toUtf8()));
    }
}

QTEST_MAIN(TestMoveEntry)
#include "tst_moveentry.moc"
