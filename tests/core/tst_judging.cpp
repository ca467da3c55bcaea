#include "Epd.h"
#include "Judging.h"
#include "MoveMatch.h"
#include "MoveNotation.h"
#include "TestFiles.h"

#include <QTest>

using namespace kx;

namespace {

const QString kWhiteBase = "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -";

// How a dialect writes the best moves: as the record does, in coordinates
// (odd slots promote in the "e7e8=Q" form), SAN and coordinates by turns, or
// with their marks as separate words ("?" after a move without any).
enum Words { AsWritten, Coordinates, ByTurns, LoneMarks };

struct Dialect
{
    const char* name;
    const char* form; // %1 the four FEN fields, %2 the best moves
    Words words;
};

constexpr Dialect kDialects[] = {
    {"bm at the end of a six-field line", "%1 0 1 bm %2", AsWritten},
    {"another operation after bm", "%1 12 30 bm %2 dm 26", AsWritten},
    {"trailing blank", "%1 id \"x\"; bm %2 ", AsWritten},
    {"coordinates", "%1 bm %2;", Coordinates},
    {"either notation by slot", "%1 bm %2; id \"y\";", ByTurns},
    {"fourth field glued to ;", "%1; bm %2;", AsWritten},
    {"lone marks", "%1 ; bm %2", LoneMarks},
};

QString bestMovesIn(Words style, const ChessPosition& position, const QStringList& best)
{
    QStringList words;
    for (const QString& san : best) {
        QString coordinates = CoordinateOf(ParseMove(position, san).value());
        if (words.size() % 2 && coordinates.size() == 5)
            coordinates = coordinates.left(4) + "=" + coordinates.mid(4).toUpper();
        qsizetype end = san.size();
        while (end > 0 && QStringLiteral("+#!?").contains(san[end - 1]))
            --end;
        if (style == LoneMarks)
            words << san.left(end) << (end < san.size() ? san.mid(end) : QStringLiteral("?"));
        else
            words << (style == AsWritten || (style == ByTurns && words.size() % 2 == 0)
                          ? san
                          : coordinates);
    }
    return words.join(u' ');
}

const char* answerName(Verdict::Answer answer)
{
    static const char* const kNames[] = {"None", "Wrong", "Avoided", "Best", "NotAvoided", "Mate"};
    return kNames[int(answer)];
}

} // namespace

// Judging an answer: legal moves of the side to move only, named by the
// record's bm in any of the dialects public suites are written in, its am,
// any mate, and the moves along its line.
class TestJudging : public QObject
{
    Q_OBJECT

private slots:
    void judge_data();
    void judge();
    void verdicts_data();
    void verdicts();
    void agreesWithMatchMoveOnTheClassicSuites();
    void everyDialectOfTheClassicSuites();
};

void TestJudging::judge_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("accepted"); // "" when no move may count
    QTest::addColumn<QString>("rejected");
    const auto row = [](const char* name, const QString& record, const char* yes, const char* no) {
        QTest::newRow(name) << record << QString(yes) << QString(no);
    };
    const QString noBm = "4k3/8/8/8/p7/8/PP6/4K3 %1 - - id \"no bm\";";
    const QString promotion = "3r3k/4P3/8/8/8/8/8/4K3 w - - bm e8=Q;";
    const QString castling = "r3k2r/8/8/8/8/8/8/R3K2R w %1 - bm O-O;";
    row("white queen a5 to f1, Black to move",
        "8/6k1/5pp1/Q6p/5P2/6PK/P4q1P/8 b - - bm Qf1+; id \"WAC.239\";", "Qf2f1", "Qa5f1");
    row("knight jump b1 to f3", "4k3/8/8/8/8/8/8/1N2K1N1 w - - bm Nf3", "Ng1f3", "Nb1f3");
    row("no bm, pawn to a3", noBm.arg("w"), "", "Pa2a3");
    row("no bm, pawn b2 to a3", noBm.arg("w"), "", "Pb2a3");
    row("no bm, black pawn to a3", noBm.arg("b"), "", "Pa4a3");
    row("bm names a pinned knight", "4k3/4r3/8/8/8/8/4N3/4K3 w - - bm Nc3;", "", "Ne2c3");
    row("castling", castling.arg("KQkq"), "Ke1g1", "Ke1c1");
    row("castling without the right", castling.arg("Qkq"), "", "Ke1g1");
    row("other promotion piece", promotion, "Pe7e8=Q", "Pe7e8=N");
    row("promotion piece missing", promotion, "Pe7e8=Q", "Pe7e8");
    row("en passant", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 bm exd6;", "Pe5d6", "Pe5e6");
    row("broken placement", "4k3/8/8/8/8/8/1N2K1N1 w - - bm Nf3;", "", "Ng1f3");
    // The dialects: each accepts its best move and no other legal move.
    row("coordinates at the end", kWhiteBase + " 0 3 bm f1b5", "Bf1b5", "Bf1c4");
    row("another operation follows", kWhiteBase + " 0 3 bm Bb5 dm 26", "Bf1b5", "Bf1c4");
    row("trailing blank", kWhiteBase + " id \"x\"; bm Bb5 ", "Bf1b5", "Bf1c4");
    row("fifth move in the fourth slot", kWhiteBase + " bm a3 b3 h3 d2d4 f1b5;", "Bf1b5", "Bf1c4");
    row("fourth field glued to ;", kWhiteBase + "; bm Bb5;", "Bf1b5", "Bf1c4");
    row("spaced ; and lone +", kWhiteBase + " ; bm Bb5 +", "Bf1b5", "Bf1c4");
    row("lone marks between moves", kWhiteBase + " bm Bb5 ! Bc4 ?;", "Bf1c4", "Pd2d4");
    row("record of 40,000 characters", kWhiteBase + " c0 \"" + QString(40000, u'x') + "\"; bm Bb5;",
        "Bf1b5", "Bf1c4");
    row("tabs between fields", QString(kWhiteBase).replace(u' ', u'\t') + "\tbm Bb5;", "Bf1b5",
        "Bf1c4");
    row("Latin-1 comment", kWhiteBase + QString::fromLatin1(" c0 \"R\xe9ti\xa0!\"; bm Bb5"),
        "Bf1b5", "Bf1c4");
    row("coordinate promotion with =", "7k/4P3/8/8/8/8/8/4K3 w - - bm e7e8=R;", "Pe7e8=R",
        "Pe7e8=Q");
}

void TestJudging::judge()
{
    QFETCH(QString, record);
    QFETCH(QString, accepted);
    QFETCH(QString, rejected);
    QCOMPARE(JudgeMove(record, {accepted}).right(), !accepted.isEmpty());
    QVERIFY(!JudgeMove(record, {rejected}).right());
}

void TestJudging::verdicts_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>(
        "moves"); // as the board writes them, "|" between; "" at the end: time up
    QTest::addColumn<bool>("wholeLine");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("reply"); // coordinates; "" when the line does not go on
    QTest::addColumn<QString>("solution");
    QTest::addColumn<QString>("wanted");
    const auto row = [](const char* name, const QString& record, const char* moves, bool line,
                        const char* answer, const char* reply, const char* solution,
                        const char* wanted) {
        QTest::newRow(name) << record << QString(moves) << line << QString(answer) << QString(reply)
                            << QString(solution) << QString(wanted);
    };
    const QString rook = "4k3/8/8/8/8/8/4P3/R3K3 w - - am Ra8+;%1";
    const QString twoMates = "7k/6pp/8/8/8/8/8/RR4K1 w - - bm Ra8#;";
    const QString pawns = "4k3/8/8/8/8/8/PPP5/4K3 w - - %1";
    row("am only: any other move", rook.arg(""), "Pe2e4", false, "NotAvoided", "", "not Ra8+", "");
    row("am only: the avoided move", rook.arg(""), "Ra1a8", false, "Avoided", "", "not Ra8+", "");
    row("am with bm: bm governs", rook.arg(" bm Kd2;"), "Pe2e4", false, "Wrong", "", "Kd2", "e1d2");
    row("am with bm: the best move", rook.arg(" bm Kd2;"), "Ke1d2", false, "Best", "", "Kd2",
        "e1d2");
    row("two mates in one: the one bm names", twoMates, "Ra1a8", false, "Mate", "", "Ra8#", "a1a8");
    row("two mates in one: the other", twoMates, "Rb1b8", false, "Mate", "", "Ra8#", "a1a8");
    row("line, trained on its first move", pawns.arg("bm a3; pv a3 Kd7 b3;"), "Pa2a3", false,
        "Best", "", "a3", "a2a3");
    row("line of two: the reply comes", pawns.arg("bm a3; pv a3 Kd7 b3;"), "Pa2a3", true, "Best",
        "e8d7", "a3", "a2a3");
    row("line of two: played through", pawns.arg("bm a3; pv a3 Kd7 b3;"), "Pa2a3|Ke8d7|Pb2b3", true,
        "Best", "", "1.a3 Kd7 2.b3", "b2b3");
    row("line of two: wrong second move", pawns.arg("bm a3; pv a3 Kd7 b3;"), "Pa2a3|Ke8d7|Pc2c3",
        true, "Wrong", "", "1.a3 Kd7 2.b3", "b2b3");
    row("line of three: the second answered", pawns.arg("pv a3 Kd7 b3 Ke6 c3"), "Pa2a3|Ke8d7|Pb2b3",
        true, "Best", "d7e6", "1.a3 Kd7 2.b3", "b2b3");
    row("line of three: time up at the third", pawns.arg("pv a3 Kd7 b3 Ke6 c3"),
        "Pa2a3|Ke8d7|Pb2b3|Kd7e6|", true, "None", "", "1.a3 Kd7 2.b3 Ke6 3.c3", "c2c3");
    row("moves before the last off the line", pawns.arg("pv a3 Kd7 b3 Ke6 c3"), "Pa2a3|Ke8e7|Pb2b3",
        true, "None", "", "", "");
    row("a mate on the way ends the line",
        "3r2k1/5ppp/8/8/8/8/4RPPP/4R1K1 w - - bm Re8+; pv Re8+ Rxe8 Rxe8# Kf8", "Re2e8|Rd8e8|Re1e8",
        true, "Mate", "", "1.Re8+ Rxe8 2.Rxe8#", "e1e8");
    row("illegal pv: used up to its last legal move", pawns.arg("bm a3; pv a3 Kd7 b3 Ke6 c5;"),
        "Pa2a3|Ke8d7|Pb2b3", true, "Best", "", "1.a3 Kd7 2.b3", "b2b3");
    row("illegal pv: no move of the user's left", pawns.arg("bm a3; pv a3 Kd7 b5;"), "Pa2a3", true,
        "Best", "", "a3", "a2a3");
    row("pv not starting with a best move: one move", pawns.arg("bm b3; pv a3 Kd7 b3;"), "Pb2b3",
        true, "Best", "", "b3", "b2b3");
    row("pv alone: its first move is the answer", pawns.arg("pv a3 Kd7 b3"), "Pb2b3", false,
        "Wrong", "", "a3", "a2a3");
    row("numbered from Black's move", "4k3/ppp5/8/8/8/8/8/4K3 b - - pv a6 Kd2 b6 Kc3 c6",
        "Pa7a6|Ke1d2|Pc7c6", true, "Wrong", "", "1...a6 2.Kd2 b6", "b7b6");
}

void TestJudging::verdicts()
{
    QFETCH(QString, record);
    QFETCH(QString, moves);
    QFETCH(bool, wholeLine);
    QFETCH(QString, reply);
    const Verdict verdict =
        JudgeMove(record, moves.split(u'|'), wholeLine ? LineMode::WholeLine : LineMode::FirstMove);
    QTEST(QString(answerName(verdict.answer)), "answer");
    QCOMPARE(verdict.reply ? CoordinateOf(*verdict.reply) : QString(), reply);
    QTEST(verdict.solution, "solution");
    QTEST(verdict.wanted, "wanted");
}

// The old text matching, which every classic and shipped best move passes,
// names exactly the legal moves that the judge accepts, mates aside.
void TestJudging::agreesWithMatchMoveOnTheClassicSuites()
{
    const QStringList records = publicSuiteRecords() + shippedSuiteRecords();
    QVERIFY(records.size() > 50);
    for (const QString& record : records) {
        const QString allSlots = CleanMove(GetSolutionText(record));
        const ChessPosition position = RecordPosition(record).value();
        int accepted = 0;
        for (const ChessMove& move : position.LegalMoves()) {
            const QString user = BoardMoveText(position, move);
            const Verdict verdict = JudgeMove(record, {user});
            accepted += verdict.right();
            // A mate is right whatever bm names.
            const bool mate = verdict.answer == Verdict::Answer::Mate;
            if (verdict.right() != (MatchMove(user, allSlots) || mate))
                QFAIL(qPrintable(record + " / " + user));
        }
        QVERIFY2(accepted > 0, qPrintable(record));
    }
}

// Every classic record rewritten into each dialect keeps exactly its best
// moves: they are accepted and no other legal move is.
void TestJudging::everyDialectOfTheClassicSuites()
{
    const QStringList records = publicSuiteRecords();
    if (records.isEmpty())
        QSKIP(kNoPublicSuites);
    for (const QString& record : records) {
        const ChessPosition position = RecordPosition(record).value();
        const QString fen = record.split(u' ', Qt::SkipEmptyParts).mid(0, 4).join(u' ');
        QList<QPair<QString, bool>> moves;
        for (const ChessMove& move : position.LegalMoves()) {
            const QString user = BoardMoveText(position, move);
            moves.append({user, JudgeMove(record, {user}).right()});
        }
        for (const Dialect& dialect : kDialects) {
            const QString rewritten =
                QString::fromLatin1(dialect.form)
                    .arg(fen, bestMovesIn(dialect.words, position, GetBestMoveWords(record)));
            for (const auto& [user, best] : moves) {
                if (JudgeMove(rewritten, {user}).right() != best)
                    QFAIL(qPrintable(QString(dialect.name) + ": " + rewritten + " / " + user));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestJudging)
#include "tst_judging.moc"
