// Reading engine output: thinking lines and their first move, whether that
// move is a best move; UCI info lines read as the same thinking lines, and the
// answers that tell the two protocols apart; and the engine's verdict on a
// missed move from two such scores.

#include "EngineLine.h"
#include "EngineVerdict.h"
#include "UciLine.h"

#include <QLocale>
#include <QTest>

class TestEngineLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); } // the verdicts' decimal points
    void thinkingLines_data();
    void thinkingLines();
    void bestMoves_data();
    void bestMoves();
    void uciInfoLines_data();
    void uciInfoLines();
    void protocolAnswers_data();
    void protocolAnswers();
    void engineVerdicts_data();
    void engineVerdicts();
};

void TestEngineLine::thinkingLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("read"); // "depth score time nodes firstMove", "" when rejected

    const auto row = [](const char* name, const char* line, const char* read) {
        QTest::newRow(name) << QString::fromLatin1(line) << QString::fromLatin1(read);
    };
    row("numbered", "7 35 120 900 1. Nf3 d5 2. d4", "7 35 120 900 Nf3");
    row("Black to move, check mark", "12 -41 33 12345 1. ... Rxb2+ 2. Kf1", "12 -41 33 12345 Rxb2");
    row("mate score, nodes past 32 bits", "8 +100002 0 9876543210 Qg6 fxg6 Nxg6#",
        "8 100002 0 9876543210 Qg6");
    row("aligned, with a note after", " 3    -84    17     1536  Qg6 !", "3 -84 17 1536 Qg6");
    row("note before", "4 -204 2 25906 (+) 1. Nh5 Nxe5", "4 -204 2 25906 Nh5");
    row("long algebraic", "  3  29997     2     5385  Qg3-g6", "3 29997 2 5385 Qg3-g6");
    row("coordinates, promotion", "5 900 1 77 e7e8q d8e8", "5 900 1 77 e7e8q");
    row("NNUE notice", "1 +0 0 0 NNUE evaluation using nn-ad9b42354671.nnue enabled", "");
    row("status line", "stat01: 2 4502 3 58 59 g3g6", "");
    row("depth past 32 bits", "99999999999 35 1 1 e4", "");
    // A long run of blanks (a padded engine, or a flood cut into pieces) reads like any other.
    const QString blanks(100000, u' ');
    QTest::newRow("long blank runs")
        << "9 12 3 4 Qg6" + blanks + "fxg6" + blanks << QStringLiteral("9 12 3 4 Qg6");
}

void TestEngineLine::thinkingLines()
{
    QFETCH(QString, line);
    QFETCH(QString, read);
    const kx::ThinkingLine t = kx::ReadThinkingLine(line);
    QCOMPARE(t.ok, !read.isEmpty());
    if (t.ok)
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(t.depth)
                     .arg(t.score)
                     .arg(t.time)
                     .arg(t.nodes)
                     .arg(t.firstMove),
                 read);
}

void TestEngineLine::bestMoves_data()
{
    QTest::addColumn<QString>("move");
    QTest::addColumn<QString>("best");
    QTest::addColumn<QString>("fen");
    QTest::addColumn<bool>("solves");

    const QString wac1 = "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - 0 1";
    QTest::newRow("second of two, marks differ") << "Rxb2"
                                                 << "Qd4 Rxb2+" << wac1 << true;
    QTest::newRow("coordinates: piece from the board") << "g3g6"
                                                       << "Qg6" << wac1 << true;
    QTest::newRow("coordinates, other piece") << "c2g6"
                                              << "Qg6" << wac1 << false;
    QTest::newRow("coordinates from an empty square") << "e4e5"
                                                      << "e5" << wac1 << false;
    QTest::newRow("castling in coordinates") << "e1g1"
                                             << "O-O"
                                             << "4k3/8/8/8/8/8/8/4K2R w K -" << true;
    QTest::newRow("promotion in coordinates") << "e7e8q"
                                              << "e8=Q+"
                                              << "8/4P3/8/8/8/8/k7/6K1 w" << true;
}

void TestEngineLine::bestMoves()
{
    QFETCH(QString, move);
    QFETCH(QString, best);
    QFETCH(QString, fen);
    QFETCH(bool, solves);
    QCOMPARE(kx::IsBestMove(move, best, fen), solves);
}

void TestEngineLine::uciInfoLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("fen");     // "" when the position is not known
    QTest::addColumn<QString>("text");    // the thinking line shown; "" when it is none
    QTest::addColumn<QString>("illegal"); // the first illegal pv move

    const QString wac1 = "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - 0 1";
    const QString castles = "r3k2r/6P1/8/8/8/8/8/R3K2R w KQkq - 0 12";
    const QString black = "4k3/8/8/8/8/8/4P3/4K3 b - - 3 40";
    const auto row = [](const char* name, const QString& line, const QString& fen, const char* text,
                        const char* illegal = "") {
        QTest::newRow(name) << line << fen << QString::fromLatin1(text)
                            << QString::fromLatin1(illegal);
    };
    row("mate in 2, time to centiseconds",
        "info depth 245 seldepth 4 multipv 1 score mate 2 nodes 43552 nps 2419555 hashfull 0 "
        "tbhits 0 time 17 pv g3g6 f7g6 e5g6",
        wac1, "245 +100002 1 43552 1. Qg6 fxg6 2. Nxg6#");
    row("centipawns; castling, promotion, numbered from the move number",
        "info depth 9 score cp -35 time 1234 nodes 9876543210 pv e1g1 e8c8 g7h8q", castles,
        "9 -35 123 9876543210 12. O-O O-O-O 13. gxh8=Q");
    row("Black to move, mated in 3", "info depth 4 score mate -3 time 0 nodes 5 pv e8d7 e2e4",
        black, "4 -100003 0 5 40. ... Kd7 41. e4");
    row("lower bound marks the first move", "info depth 20 score cp 150 lowerbound pv g3g6", wac1,
        "20 +150 0 0 1. Qg6!");
    row("upper bound, fields after the pv",
        "info depth 3 score cp 0 upperbound pv e8d7 e2e4 nodes 77 time 5", black,
        "3 +0 0 77 40. ... Kd7? 41. e4");
    row("illegal move: the variation up to it",
        "info depth 3 score cp 5 time 10 nodes 100 pv e8d7 e1e5 e2e4", black,
        "3 +5 1 100 40. ... Kd7", "e1e5");
    row("illegal first move: no thinking line", "info depth 3 score cp 5 pv e2e4", black, "",
        "e2e4");
    row("position unknown: coordinates kept", "info depth 2 score cp 7 pv e2e4 e7e5", "",
        "2 +7 0 0 e2e4 e7e5");
    row("no pv", "info depth 2", wac1, "");
    row("current move", "info depth 12 currmove g3g6 currmovenumber 1", wac1, "");
    row("no score", "info depth 5 nodes 10 pv g3g6", wac1, "");
    row("second line of a multipv", "info depth 5 multipv 2 score cp 1 pv g3g6", wac1, "");
    row("depth past 32 bits", "info depth 99999999999 score cp 1 pv g3g6", wac1, "");
    row("a number missing", "info depth 5 score cp pv g3g6", wac1, "");
    row("string with a pv in its text", "info string pv g3g6 depth 9 score cp 1", wac1, "");
    row("not an info line", "bestmove g3g6 ponder f7g6", wac1, "");
}

void TestEngineLine::uciInfoLines()
{
    QFETCH(QString, line);
    QFETCH(QString, fen);
    QFETCH(QString, text);
    QFETCH(QString, illegal);
    const auto position =
        fen.isEmpty() ? std::nullopt : std::optional(kx::ChessPosition::FromFen(fen).value());
    const kx::UciThinking read = kx::ReadUciInfo(line, position);
    QCOMPARE(read.thinking.ok ? read.text : QString(), text);
    QCOMPARE(read.illegalMove, illegal);
    QCOMPARE(read.infoString, line.startsWith("info string"));
    if (!read.thinking.ok)
        return;
    // The window, the grading and the solution check read the text as an xboard line.
    const kx::ThinkingLine back = kx::ReadThinkingLine(read.text);
    QVERIFY(back.ok);
    QCOMPARE((QList<qint64>{back.depth, back.score, back.time, back.nodes}),
             (QList<qint64>{read.thinking.depth, read.thinking.score, read.thinking.time,
                            read.thinking.nodes}));
    QCOMPARE(back.firstMove, read.thinking.firstMove);
}

void TestEngineLine::protocolAnswers_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("uci");     // says UCI in answer to "uci"
    QTest::addColumn<bool>("refusal"); // refuses the xboard greeting

    QTest::newRow("id name") << "id name Stockfish 15.1" << true << false;
    QTest::newRow("option") << "option name Hash type spin default 16 min 1 max 33554432" << true
                            << false;
    QTest::newRow("uciok") << "uciok" << true << false;
    QTest::newRow("refusal, quoted")
        << "Unknown command: 'xboard'. Type help for more information." << false << true;
    QTest::newRow("refusal of protover") << "Unknown command: protover 2" << false << true;
    QTest::newRow("xboard-style refusal") << "Error (unknown command): protover" << false << true;
    QTest::newRow("feature line") << "feature myname=\"Fake\" done=1" << false << false;
    QTest::newRow("banner") << "Stockfish 15.1 by the Stockfish developers" << false << false;
    QTest::newRow("an xboard engine refusing uci")
        << "Error (unknown command): uci" << false << false;
    QTest::newRow("id without a name") << "id 5" << false << false;
    QTest::newRow("uciok in a sentence") << "uciok received" << false << false;
    QTest::newRow("xboard named, nothing refused") << "tellics say xboard mode" << false << false;
}

void TestEngineLine::protocolAnswers()
{
    QFETCH(QString, line);
    QTEST(kx::IsUciGreeting(line), "uci");
    QTEST(kx::RefusesXboardGreeting(line), "refusal");
}

// Scores as the engine prints them for the side to move after the move (so
// from the opponent's view), the user's first; the margin widens with the lead.
void TestEngineLine::engineVerdicts_data()
{
    QTest::addColumn<qint64>("user");
    QTest::addColumn<qint64>("best");
    QTest::addColumn<QString>("verdict");
    const auto row = [](const char* name, qint64 user, qint64 best, const char* verdict) {
        QTest::newRow(name) << user << best << QString(verdict);
    };
    row("within half a pawn", -230, -250, "also good (+2.3 vs +2.5)");
    row("more than half a pawn", -190, -250, "worse (+1.9 vs +2.5), refuted by Kd7");
    row("better than the best", -40, 30, "also good (+0.4 vs -0.3)");
    row("above 3 pawns: a pawn", -260, -350, "also good (+2.6 vs +3.5)");
    row("above 3 pawns: more than a pawn", -240, -350, "worse (+2.4 vs +3.5), refuted by Kd7");
    row("above 5 pawns: a pawn and a half", -410, -550, "also good (+4.1 vs +5.5)");
    row("above 5 pawns: more", -390, -550, "worse (+3.9 vs +5.5), refuted by Kd7");
    row("lost either way, within the margin", 410, 380, "also good (-4.1 vs -3.8)");
    row("mate two moves longer", -100005, -100003, "also good (#5 vs #3)");
    row("mate three moves longer", -100006, -100003, "worse (#6 vs #3), refuted by Kd7");
    row("a mate given up", -900, -100003, "worse (+9.0 vs #3), refuted by Kd7");
    row("a mate instead of a lead", -100002, -100, "also good (#2 vs +1.0)");
    row("mated later than the best is mated", 100005, 100003, "also good (-#5 vs -#3)");
    row("mated sooner by three moves", 100002, 100005, "worse (-#2 vs -#5), refuted by Kd7");
    row("mated instead of a draw", 100003, 0, "worse (-#3 vs 0.0), refuted by Kd7");
}

void TestEngineLine::engineVerdicts()
{
    QFETCH(qint64, user);
    QFETCH(qint64, best);
    const kx::EngineVerdict verdict =
        kx::CompareScores(kx::EngineScore::FromLine(user, false),
                          kx::EngineScore::FromLine(best, false), QStringLiteral("Kd7"));
    QTEST(verdict.text, "verdict");
    QCOMPARE(verdict.kind == kx::EngineVerdict::Kind::Equal,
             verdict.text.startsWith(QLatin1String("also good")));
}

QTEST_MAIN(TestEngineLine)
#include "tst_engineline.moc"
