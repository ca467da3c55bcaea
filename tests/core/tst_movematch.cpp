#include "Epd.h"
#include "Fen.h"
#include "MoveMatch.h"
#include "Notation.h"
#include "TestFiles.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <cstdlib>

using namespace kx;

namespace {

QString squareName(int sq)
{
    return QString(QChar(u'a' + sq % 8)) + QChar(u'1' + sq / 8);
}

// The user's form ("Pe4d5", "Pe7e8=Q") of a record's SAN best move: the first
// piece of the side to move that the SAN allows and whose kind of step leads
// to the destination (blocking pieces, checks and pins ignored); "" if none.
QString userForm(const QString& record, const QString& san)
{
    static const QRegularExpression form(
        QStringLiteral("^([KQRBN])?([a-h])?([1-8])?(x)?([a-h][1-8])(=[QRBN])?[+#!?]*$"));
    const auto m = form.match(san);
    const FenReading pos = ReadPlacement(record);
    const QString type = m.hasCaptured(1) ? m.captured(1) : QStringLiteral("P");
    const QString to = m.captured(5);
    for (int from = 0; m.hasMatch() && from < 64; ++from) {
        const QString name = squareName(from);
        const qint16 code = pos.squares[from];
        if (num2pie(code) != type || (code >= 8) == pos.blackToMove || // 8..13: White
            (m.hasCaptured(2) && name[0] != m.captured(2)[0]) ||
            (m.hasCaptured(3) && name[1] != m.captured(3)[0]))
            continue;
        const int df = std::abs(to[0].unicode() - name[0].unicode());
        const int ahead = (to[1].unicode() - name[1].unicode()) * (pos.blackToMove ? -1 : 1);
        const int dr = std::abs(ahead);
        const bool straight = (df == 0) != (dr == 0);
        const bool diagonal = df == dr && df > 0;
        const bool steps = type == u"P"   ? (m.hasCaptured(4) ? df == 1 && ahead == 1
                                                              : df == 0 && (ahead == 1 || ahead == 2))
                           : type == u"N" ? df * dr == 2
                           : type == u"K" ? std::max(df, dr) == 1
                           : type == u"R" ? straight
                           : type == u"B" ? diagonal
                                          : straight || diagonal;
        if (steps)
            return type + name + to + m.captured(6);
    }
    return {};
}

} // namespace

// Judging the user's move against a best-move entry.
class TestMoveMatch : public QObject
{
    Q_OBJECT

private slots:
    void matchMove_data();
    void matchMove();
    void everySuiteBestMove();
};

void TestMoveMatch::matchMove_data()
{
    QTest::addColumn<QString>("userMove");
    QTest::addColumn<QString>("bestMove");
    QTest::addColumn<bool>("matches");
    const auto row = [](const char* name, const char* user, const char* best, bool matches) {
        QTest::newRow(name) << QString(user) << QString(best) << matches;
    };
    // What the old length-based comparison already judged right.
    row("pawn push", "Pe2e4", "e4", true);
    row("piece move", "Ng1f3", "Nf3", true);
    row("another piece", "Qd1h5", "Nh5", false);
    row("piece as pawn entry", "Qe3e4", "e4", false);
    row("king named by square", "Ke1g1", "Kg1", true);
    row("file given", "Nb1d2", "Nbd2", true);
    row("contradicting file", "Nf3d2", "Nbd2", false);
    row("empty entry", "Pe2e4", "", false);
    // What it judged wrong.
    row("pawn capture", "Pe4d5", "ed5", true);
    row("pawn capture, other file", "Pc4d5", "ed5", false);
    row("bishop is not a b-pawn", "Bb3c4", "bc4", false);
    row("b-pawn capture", "Pb3c4", "bc4", true);
    row("rank given", "Ra1e2", "R1e2", true);
    row("contradicting rank", "Ra3e2", "R1e2", false);
    row("square given", "Nb1d2", "Nb1d2", true);
    row("pawn letter given", "Pe2e4", "Pe4", true);
    row("mate mark", "Qd3h7", "Qh7#", true);
    row("promotion", "Pe7e8=Q", "e8=Q", true);
    row("promotion without =", "Pe7e8=Q", "e8Q", true);
    row("capture promotion", "Pd7e8=N", "de8=N", true);
    row("other promotion piece", "Pe7e8=N", "e8=Q", false);
    row("promotion missing", "Pe7e8", "e8=Q", false);
    row("promoted piece not named", "Pe7e8=N", "e8", true);
    row("white short castling", "Ke1g1", "O-O", true);
    row("black long castling", "Ke8c8", "O-O-O", true);
    row("zero short castling", "Ke8g8", "0-0", true);
    row("zero long castling", "Ke1c1", "0-0-0", true);
    row("king step is not castling", "Ke1f1", "O-O", false);
    row("short is not long", "Ke1g1", "O-O-O", false);
    row("rook cannot castle", "Re1g1", "O-O", false);
    row("castling off the back rank", "Ke2g2", "O-O", false);
    row("several moves, second", "Pc2c4", "d4 c4", true);
    row("several moves, none", "Pe2e4", "d4 c4", false);
    row("long form", "Pe2e4", "e2e4e6", false);
    row("marks only", "Pe2e4", "??", false);
}

void TestMoveMatch::matchMove()
{
    QFETCH(QString, userMove);
    QFETCH(QString, bestMove);
    QTEST(MatchMove(userMove, bestMove), "matches");
}

// Every best move of a public suite, entered on the board as the user would,
// is accepted; the same move with another piece, to another square or with
// another promotion is not.
void TestMoveMatch::everySuiteBestMove()
{
    const QStringList lines = publicSuiteRecords();
    QVERIFY2(!lines.isEmpty(), kNoPublicSuites);
    for (const QString& record : lines) {
        const QString allSlots = CleanMove(GetSolutionText(record));
        for (const QString& san : GetSolutionText(record).split(u' ', Qt::SkipEmptyParts)) {
            const QString user = userForm(record, san);
            const QString entry = CleanMove(san);
            const QByteArray where = (record.trimmed() + " / " + san + " / " + user).toUtf8();
            QVERIFY2(!user.isEmpty(), where);
            QVERIFY2(MatchMove(user, allSlots), where);

            const auto changed = [&](int at, QChar c) {
                return QString(user).replace(at, 1, c);
            };
            QVERIFY2(!MatchMove(changed(0, user[0] == u'Q' ? u'R' : u'Q'), entry), where);
            QVERIFY2(!MatchMove(changed(3, user[3] == u'a' ? u'b' : u'a'), entry), where);
            if (user.contains(u'=')) {
                QVERIFY2(!MatchMove(user.left(5), entry), where);
                QVERIFY2(!MatchMove(changed(6, user[6] == u'Q' ? u'N' : u'Q'), entry), where);
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestMoveMatch)
#include "tst_movematch.moc"
