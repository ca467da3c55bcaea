#include "Epd.h"
#include "MoveMatch.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <array>
#include <cstdlib>

using namespace kx;

namespace {

// Just enough chess to say where a suite's best move starts: pieces as FEN
// letters in board order (a1 = 0), '.' for an empty square.
struct Position
{
    std::array<char, 64> board{};
    bool white = true;
};

int fileOf(int sq)
{
    return sq % 8;
}
int rankOf(int sq)
{
    return sq / 8;
}
bool isWhite(char piece)
{
    return piece >= 'A' && piece <= 'Z';
}

Position parsePosition(const QString& record)
{
    Position pos;
    pos.board.fill('.');
    const QStringList fields = record.split(u' ', Qt::SkipEmptyParts);
    int rank = 7;
    int file = 0;
    for (const QChar c : fields[0]) {
        if (c == u'/') {
            --rank;
            file = 0;
        } else if (c.isDigit()) {
            file += c.digitValue();
        } else {
            pos.board[rank * 8 + file++] = char(c.unicode());
        }
    }
    pos.white = fields[1] == u"w";
    return pos;
}

// Whether the piece on from attacks (or, for sliders, can move to) to.
bool reaches(const Position& pos, int from, int to)
{
    const char piece = pos.board[from];
    const int df = fileOf(to) - fileOf(from);
    const int dr = rankOf(to) - rankOf(from);
    switch (std::toupper(piece)) {
    case 'P':
        return std::abs(df) == 1 && dr == (isWhite(piece) ? 1 : -1);
    case 'N':
        return std::abs(df * dr) == 2;
    case 'K':
        return std::max(std::abs(df), std::abs(dr)) == 1;
    default:
        break;
    }
    const bool straight = df == 0 || dr == 0;
    const bool diagonal = std::abs(df) == std::abs(dr);
    const char type = char(std::toupper(piece));
    if (from == to || (type == 'R' && !straight) || (type == 'B' && !diagonal) ||
        (type == 'Q' && !straight && !diagonal))
        return false;
    const int step = (dr > 0 ? 8 : dr < 0 ? -8 : 0) + (df > 0 ? 1 : df < 0 ? -1 : 0);
    for (int sq = from + step; sq != to; sq += step) {
        if (pos.board[sq] != '.')
            return false;
    }
    return true;
}

bool inCheckAfter(Position pos, int from, int to)
{
    pos.board[to] = pos.board[from];
    pos.board[from] = '.';
    const char king = pos.white ? 'K' : 'k';
    const int kingSq = int(std::find(pos.board.begin(), pos.board.end(), king) - pos.board.begin());
    for (int sq = 0; sq < 64; ++sq) {
        const char p = pos.board[sq];
        if (p != '.' && isWhite(p) != pos.white && reaches(pos, sq, kingSq))
            return true;
    }
    return false;
}

QString squareName(int sq)
{
    return QString(QChar(u'a' + fileOf(sq))) + QChar(u'1' + rankOf(sq));
}

// The user's form of a SAN move in pos ("Pe4d5", "Pe7e8=Q"), or "" when the
// move cannot be placed.
QString userForm(const Position& pos, const QString& san)
{
    static const QRegularExpression form(
        QStringLiteral("^([KQRBN])?([a-h])?([1-8])?x?([a-h])([1-8])(?:=([QRBN]))?[+#!?]*$"));
    const auto m = form.match(san);
    if (!m.hasMatch())
        return {};
    const char type = m.hasCaptured(1) ? m.captured(1)[0].toLatin1() : 'P';
    const int to = (m.captured(5)[0].unicode() - u'1') * 8 + (m.captured(4)[0].unicode() - u'a');
    const int forward = pos.white ? 8 : -8;
    QList<int> origins;
    if (type == 'P' && !m.hasCaptured(2)) {
        // A push: one square back, or two from the pawn's first rank.
        const char pawn = pos.white ? 'P' : 'p';
        const int one = to - forward;
        if (pos.board[one] == pawn)
            origins += one;
        else if (pos.board[one] == '.' && rankOf(to) == (pos.white ? 3 : 4) &&
                 pos.board[one - forward] == pawn)
            origins += one - forward;
    } else {
        for (int sq = 0; sq < 64; ++sq) {
            const char p = pos.board[sq];
            if (p == '.' || isWhite(p) != pos.white || std::toupper(p) != type)
                continue;
            if (m.hasCaptured(2) && fileOf(sq) != m.captured(2)[0].unicode() - u'a')
                continue;
            if (m.hasCaptured(3) && rankOf(sq) != m.captured(3)[0].unicode() - u'1')
                continue;
            if (reaches(pos, sq, to) && !inCheckAfter(pos, sq, to))
                origins += sq;
        }
    }
    if (origins.size() != 1)
        return {};
    QString move = QChar(type) + squareName(origins[0]) + squareName(to);
    if (m.hasCaptured(6))
        move += u'=' + m.captured(6);
    return move;
}

} // namespace

// Judging the user's move against a best-move entry.
class TestMoveMatch : public QObject
{
    Q_OBJECT

private slots:
    void matchMove_data();
    void matchMove();
    void everySuiteBestMove_data();
    void everySuiteBestMove();
};

void TestMoveMatch::matchMove_data()
{
    QTest::addColumn<QString>("userMove");
    QTest::addColumn<QString>("bestMove");
    QTest::addColumn<bool>("matches");
    // What the simple length-based comparison already judged right.
    QTest::newRow("pawn push") << "Pe2e4"
                               << "e4" << true;
    QTest::newRow("any pawn to e4") << "Pe3e4"
                                    << "e4" << true;
    QTest::newRow("pawn to another square") << "Pe2e4"
                                            << "e5" << false;
    QTest::newRow("piece move") << "Ng1f3"
                                << "Nf3" << true;
    QTest::newRow("piece to another square") << "Ng1f3"
                                             << "Nf4" << false;
    QTest::newRow("another piece") << "Qd1h5"
                                   << "Nh5" << false;
    QTest::newRow("piece as pawn entry") << "Qe3e4"
                                         << "e4" << false;
    QTest::newRow("king named by square") << "Ke1g1"
                                          << "Kg1" << true;
    QTest::newRow("file given") << "Nb1d2"
                                << "Nbd2" << true;
    QTest::newRow("rook with file") << "Ra1e2"
                                    << "Rae2" << true;
    QTest::newRow("contradicting file") << "Nf3d2"
                                        << "Nbd2" << false;
    QTest::newRow("white short castling") << "Ke1g1"
                                          << "O-O" << true;
    QTest::newRow("black short castling") << "Ke8g8"
                                          << "O-O" << true;
    QTest::newRow("white long castling") << "Ke1c1"
                                         << "O-O-O" << true;
    QTest::newRow("black long castling") << "Ke8c8"
                                         << "O-O-O" << true;
    QTest::newRow("king step is not castling") << "Ke1f1"
                                               << "O-O" << false;
    QTest::newRow("short is not long") << "Ke1g1"
                                       << "O-O-O" << false;
    QTest::newRow("rook cannot castle") << "Re1g1"
                                        << "O-O" << false;
    QTest::newRow("castling off the back rank") << "Ke2g2"
                                                << "O-O" << false;
    QTest::newRow("empty origin square") << "e3e4"
                                         << "e4" << false;
    QTest::newRow("empty entry") << "Pe2e4"
                                 << "" << false;
    // What the length-based comparison judged wrong.
    QTest::newRow("pawn capture") << "Pe4d5"
                                  << "ed5" << true;
    QTest::newRow("pawn capture, other file") << "Pc4d5"
                                              << "ed5" << false;
    QTest::newRow("bishop is not a b-pawn") << "Bb3c4"
                                            << "bc4" << false;
    QTest::newRow("b-pawn capture") << "Pb3c4"
                                    << "bc4" << true;
    QTest::newRow("rank given") << "Ra1e2"
                                << "R1e2" << true;
    QTest::newRow("contradicting rank") << "Ra3e2"
                                        << "R1e2" << false;
    QTest::newRow("square given") << "Nb1d2"
                                  << "Nb1d2" << true;
    QTest::newRow("pawn letter given") << "Pe2e4"
                                       << "Pe4" << true;
    QTest::newRow("mate mark") << "Qd3h7"
                               << "Qh7#" << true;
    QTest::newRow("mate by another piece") << "Bd3h7"
                                           << "Qh7#" << false;
    QTest::newRow("promotion") << "Pe7e8=Q"
                               << "e8=Q" << true;
    QTest::newRow("promotion without =") << "Pe7e8=Q"
                                         << "e8Q" << true;
    QTest::newRow("capture promotion") << "Pd7e8=N"
                                       << "de8=N" << true;
    QTest::newRow("other promotion piece") << "Pe7e8=N"
                                           << "e8=Q" << false;
    QTest::newRow("promotion missing") << "Pe7e8"
                                       << "e8=Q" << false;
    QTest::newRow("promoted piece not named") << "Pe7e8=N"
                                              << "e8" << true;
    QTest::newRow("zero castling") << "Ke1g1"
                                   << "0-0" << true;
    QTest::newRow("zero long castling") << "Ke8c8"
                                        << "0-0-0" << true;
    QTest::newRow("several moves, first") << "Pd2d4"
                                          << "d4 c4" << true;
    QTest::newRow("several moves, last") << "Pc2c4"
                                         << "d4 c4" << true;
    QTest::newRow("several moves, none") << "Pe2e4"
                                         << "d4 c4" << false;
    QTest::newRow("no such rank") << "Pe2e4"
                                  << "e9" << false;
    QTest::newRow("lower-case piece") << "Ng1f3"
                                      << "nf3" << false;
    QTest::newRow("long form") << "Pe2e4"
                               << "e2e4e6" << false;
    QTest::newRow("marks only") << "Pe2e4"
                                << "??" << false;
}

void TestMoveMatch::matchMove()
{
    QFETCH(QString, userMove);
    QFETCH(QString, bestMove);
    QFETCH(bool, matches);
    QCOMPARE(MatchMove(userMove, bestMove), matches);
}

void TestMoveMatch::everySuiteBestMove_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("WAC") << "WAC.EPD";
    QTest::newRow("WCSAC") << "WCSAC.EPD";
}

// Every best move of a public suite, entered on the board as the user would,
// is accepted; the same move with another piece or to another square is not.
void TestMoveMatch::everySuiteBestMove()
{
    QFETCH(QString, name);
    QFile file(QStringLiteral(KX_SUITES_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        QSKIP(qPrintable(QStringLiteral("Public suite %1 not found in " KX_SUITES_DIR).arg(name)));
    int moves = 0;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString record = QString::fromUtf8(raw).trimmed();
        if (record.isEmpty())
            continue;
        const Position pos = parsePosition(record);
        BestMoves bestSlots;
        SplitBestMoves(GetBmField(record), bestSlots);
        const QStringList sans = GetSolutionText(record).split(u' ', Qt::SkipEmptyParts);
        for (const QString& san : sans) {
            ++moves;
            const QString user = userForm(pos, san);
            const QString where =
                record + QStringLiteral(" / ") + san + QStringLiteral(" / ") + user;
            QVERIFY2(!user.isEmpty(), qPrintable(where));
            const QString entry = CleanMove(san);
            QVERIFY2(MatchMove(user, entry), qPrintable(where));
            QVERIFY2(std::any_of(bestSlots.begin(), bestSlots.end(),
                                 [&](const QString& slot) { return MatchMove(user, slot); }),
                     qPrintable(where));

            QString otherPiece = user;
            otherPiece[0] = user[0] == u'Q' ? u'R' : u'Q';
            QVERIFY2(!MatchMove(otherPiece, entry), qPrintable(where));
            QString otherSquare = user;
            otherSquare[3] = QChar(u'a' + (user[3].unicode() - u'a' + 1) % 8);
            QVERIFY2(!MatchMove(otherSquare, entry), qPrintable(where));
            if (user.contains(u'=')) {
                QVERIFY2(!MatchMove(user.left(5), entry), qPrintable(where));
                QString otherPromotion = user;
                otherPromotion[6] = user[6] == u'Q' ? u'N' : u'Q';
                QVERIFY2(!MatchMove(otherPromotion, entry), qPrintable(where));
            }
        }
    }
    QVERIFY(moves > 0);
}

QTEST_GUILESS_MAIN(TestMoveMatch)
#include "tst_movematch.moc"
