#include "Epd.h"
#include "Judging.h"
#include "MoveMatch.h"
#include "MoveNotation.h"
#include "TestFiles.h"

#include <QTest>

#include <functional>

using namespace kx;

namespace {

const QString kWhiteBase = "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -";
const QString kBlackBase = "r1bqkbnr/pppp1ppp/2n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R b KQkq -";

// The parts of a classic record that the dialects rewrite.
struct Parts
{
    ChessPosition position;
    QString fen;      // the four FEN fields
    QStringList best; // best moves as written
};

using Rewrite = std::function<QString(const Parts&)>;

// Each best move in coordinates; odd ones promote in the "e7e8=Q" form.
QStringList coordinates(const Parts& p, bool alternate)
{
    QStringList words;
    for (const QString& san : p.best) {
        const QString c = CoordinateOf(ParseMove(p.position, san).value());
        const bool odd = words.size() % 2;
        words << (alternate && !odd      ? san
                  : odd && c.size() == 5 ? c.left(4) + "=" + c.mid(4).toUpper()
                                         : c);
    }
    return words;
}

// The marks of each move as separate words, and "?" after a move without any.
QString loneMarks(const Parts& p)
{
    QStringList words;
    for (QString san : p.best) {
        qsizetype end = san.size();
        while (end > 0 && QStringLiteral("+#!?").contains(san[end - 1]))
            --end;
        words << san.left(end) << (end < san.size() ? san.mid(end) : QStringLiteral("?"));
    }
    return words.join(u' ');
}

const QList<QPair<const char*, Rewrite>> kDialects = {
    {"bm at the end of a six-field line",
     [](const Parts& p) {
         return p.fen + " 0 1 bm " + p.best.join(u' ');
     }},
    {"another operation after bm",
     [](const Parts& p) {
         return p.fen + " 12 30 bm " + p.best.join(u' ') + " dm 26";
     }},
    {"trailing blank",
     [](const Parts& p) {
         return p.fen + " id \"x\"; bm " + p.best.join(u' ') + " ";
     }},
    {"coordinates",
     [](const Parts& p) {
         return p.fen + " bm " + coordinates(p, false).join(u' ') + ";";
     }},
    {"either notation by slot",
     [](const Parts& p) {
         return p.fen + " bm " + coordinates(p, true).join(u' ') + "; id \"y\";";
     }},
    {"fourth field glued to ;",
     [](const Parts& p) {
         return p.fen + "; bm " + p.best.join(u' ') + ";";
     }},
    {"lone marks",
     [](const Parts& p) {
         return p.fen + " ; bm " + loneMarks(p);
     }},
};

} // namespace

// Judging an answer: legal moves of the side to move only, named by the
// record's bm in any of the dialects public suites are written in.
class TestJudging : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void dialects_data();
    void dialects();
    void agreesWithMatchMoveOnTheClassicSuites();
    void everyDialectOfTheClassicSuites();
};

void TestJudging::answers_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("userMove");
    QTest::addColumn<bool>("solved");
    const QString queens = "8/6k1/5pp1/Q6p/5P2/6PK/P4q1P/8 b - - bm Qf1+; id \"WAC.239\";";
    const QString knights = "4k3/8/8/8/8/8/8/1N2K1N1 w - - bm Nf3";
    const QString noBm = "4k3/8/8/8/p7/8/PP6/4K3 %1 - - id \"no bm\";";
    const QString promotion = "3r3k/4P3/8/8/8/8/8/4K3 w - - bm e8=Q;";
    QTest::newRow("black queen to f1") << queens << "Qf2f1" << true;
    QTest::newRow("white queen to f1, Black to move") << queens << "Qa5f1" << false;
    QTest::newRow("knight g1 to f3") << knights << "Ng1f3" << true;
    QTest::newRow("knight jump b1 to f3") << knights << "Nb1f3" << false;
    QTest::newRow("no bm, white pawn to a3") << noBm.arg("w") << "Pa2a3" << false;
    QTest::newRow("no bm, white pawn b2 to a3") << noBm.arg("w") << "Pb2a3" << false;
    QTest::newRow("no bm, black pawn to a3") << noBm.arg("b") << "Pa4a3" << false;
    QTest::newRow("bm names a pinned knight") << "4k3/4r3/8/8/8/8/4N3/4K3 w - - bm Nc3;"
                                              << "Ne2c3" << false;
    QTest::newRow("castling") << "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - bm O-O;"
                              << "Ke1g1" << true;
    QTest::newRow("castling without the right") << "r3k2r/8/8/8/8/8/8/R3K2R w Qkq - bm O-O;"
                                                << "Ke1g1" << false;
    QTest::newRow("promotion") << promotion << "Pe7e8=Q" << true;
    QTest::newRow("other promotion piece") << promotion << "Pe7e8=N" << false;
    QTest::newRow("promotion piece missing") << promotion << "Pe7e8" << false;
    QTest::newRow("en passant") << "4k3/8/8/3pP3/8/8/8/4K3 w - d6 bm exd6;"
                                << "Pe5d6" << true;
    QTest::newRow("no move") << knights << "" << false;
    QTest::newRow("broken placement") << "4k3/8/8/8/8/8/1N2K1N1 w - - bm Nf3;"
                                      << "Ng1f3" << false;
}

void TestJudging::answers()
{
    QFETCH(QString, record);
    QFETCH(QString, userMove);
    QTEST(JudgeMove(record, userMove), "solved");
}

void TestJudging::dialects_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("accepted");
    QTest::addColumn<QString>("rejected");
    const auto row = [](const char* name, const QString& record, const char* yes, const char* no) {
        QTest::newRow(name) << record << QString(yes) << QString(no);
    };
    row("semicolon", kWhiteBase + " bm Bb5; id \"x\";", "Bf1b5", "Bf1c4");
    row("bm at the end, six fields", kWhiteBase + " 0 3 bm Bb5", "Bf1b5", "Bf1c4");
    row("coordinates at the end", kWhiteBase + " 0 3 bm f1b5", "Bf1b5", "Bf1c4");
    row("another operation follows", kWhiteBase + " 0 3 bm Bb5 dm 26", "Bf1b5", "Bf1c4");
    row("trailing blank", kWhiteBase + " id \"x\"; bm Bb5 ", "Bf1b5", "Bf1c4");
    row("two coordinate moves", kWhiteBase + " bm f1b5 f1c4;", "Bf1c4", "Pd2d4");
    row("fifth move in the fourth slot", kWhiteBase + " bm a3 b3 h3 d2d4 f1b5;", "Bf1b5", "Bf1c4");
    row("fourth field glued to ;", kWhiteBase + "; bm Bb5;", "Bf1b5", "Bf1c4");
    row("spaced ; and lone +", kWhiteBase + " ; bm Bb5 +", "Bf1b5", "Bf1c4");
    row("lone marks between moves", kWhiteBase + " bm Bb5 ! Bc4 ?;", "Bf1c4", "Pd2d4");
    row("long comment first", kWhiteBase + " c0 \"" + QString(40000, u'x') + "\"; bm Bb5;", "Bf1b5",
        "Bf1c4");
    row("tabs between fields", QString(kWhiteBase).replace(u' ', u'\t') + "\tbm Bb5;", "Bf1b5",
        "Bf1c4");
    row("Latin-1 comment", kWhiteBase + QString::fromLatin1(" c0 \"R\xe9ti\xa0!\"; bm Bb5"),
        "Bf1b5", "Bf1c4");
    row("black to move", kBlackBase + " 0 3 bm a6", "Pa7a6", "Pa7a5");
    row("coordinate promotion", "7k/4P3/8/8/8/8/8/4K3 w - - bm e7e8q", "Pe7e8=Q", "Pe7e8=R");
    row("coordinate promotion with =", "7k/4P3/8/8/8/8/8/4K3 w - - bm e7e8=R;", "Pe7e8=R",
        "Pe7e8=Q");
}

void TestJudging::dialects()
{
    QFETCH(QString, record);
    QFETCH(QString, accepted);
    QFETCH(QString, rejected);
    const std::optional<ChessPosition> position = RecordPosition(record);
    QVERIFY(position);
    QVERIFY(JudgeMove(record, accepted));
    // The rejected move is legal: only the bm operation keeps it out.
    QVERIFY(ParseMove(*position, rejected));
    QVERIFY(!JudgeMove(record, rejected));
}

// The old text matching, which every classic and shipped best move passes,
// names exactly the legal moves that the judge accepts.
void TestJudging::agreesWithMatchMoveOnTheClassicSuites()
{
    const QStringList records = publicSuiteRecords() + shippedSuiteRecords();
    QVERIFY(records.size() > 50);
    for (const QString& record : records) {
        BestMoves best;
        SplitBestMoves(GetBmField(record), best);
        const QString allSlots = QStringList(best.begin(), best.end()).join(u' ');
        const ChessPosition position = RecordPosition(record).value();
        int accepted = 0;
        for (const ChessMove& move : position.LegalMoves()) {
            const QString user = BoardMoveText(position, move);
            const bool judged = JudgeMove(record, user);
            accepted += judged;
            if (judged != MatchMove(user, allSlots))
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
        const Parts parts{RecordPosition(record).value(),
                          record.split(u' ', Qt::SkipEmptyParts).mid(0, 4).join(u' '),
                          GetBestMoveWords(record)};
        QList<QPair<QString, bool>> moves;
        for (const ChessMove& move : parts.position.LegalMoves()) {
            const QString user = BoardMoveText(parts.position, move);
            moves.append({user, JudgeMove(record, user)});
        }
        for (const auto& [name, rewrite] : kDialects) {
            const QString rewritten = rewrite(parts);
            for (const auto& [user, best] : moves) {
                if (JudgeMove(rewritten, user) != best)
                    QFAIL(qPrintable(QString(name) + ": " + rewritten + " / " + user));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestJudging)
#include "tst_judging.moc"
