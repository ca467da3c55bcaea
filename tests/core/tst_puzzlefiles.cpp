#include "Judging.h"
#include "PgnGame.h"
#include "PuzzleCsv.h"
#include "PuzzleFilter.h"

#include <QTest>

using namespace kx;

namespace {

// Columns in another order than Lichess's, with a column it does not have.
const QByteArray kHeader = "FEN,PuzzleId,Rating,Moves,Themes,Source,OpeningTags";
// Two of Lichess's published puzzles, as rows of that header.
const QByteArray kMateRow = "q3k1nr/1pp1nQpp/3p4/1P2p3/4P3/B1PP1b2/B5PP/5K2 b k - 0 17,00sHx,"
                            "1760,e8d7 a2e6 d7d8 f7f8,mate mateIn2 middlegame short,book,";
const QByteArray kRookRow = "r6k/pp2r2p/4Rp1Q/3p4/8/1N1P2R1/PqP2bPP/7K b - - 0 24,00008,1913,"
                            "f2g3 e6e7 b2b1 b3c1 b1c1 h6c1,crushing hangingPiece long middlegame,,";

} // namespace

// The conversions of puzzle rows and PGN games into EPD records, and the
// filter that picks puzzles by rating and themes.
class TestPuzzleFiles : public QObject
{
    Q_OBJECT

private slots:
    void csvRows_data();
    void csvRows();
    void csvColumns_data();
    void csvColumns();
    void pgnGames_data();
    void pgnGames();
    void filter_data();
    void filter();
};

void TestPuzzleFiles::csvRows_data()
{
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<QString>("record"); // or, after "!", the start of the reason it is none
    QTest::addColumn<QString>("played"); // the solution as the board writes it
    QTest::newRow("mate in two, Black set up, White solves")
        << kMateRow
        << "q5nr/1ppknQpp/3p4/1P2p3/4P3/B1PP1b2/B5PP/5K2 w - - bm Be6+; id \"00sHx\"; "
           "c0 \"rating 1760\"; c1 \"themes mate mateIn2 middlegame short\"; "
           "pv Be6+ Kd8 Qf8#; c2 \"Source book\";"
        << "Ba2e6";
    QTest::newRow("a capture first, the line played out")
        << kRookRow
        << "r6k/pp2r2p/4Rp1Q/3p4/8/1N1P2b1/PqP3PP/7K w - - bm Rxe7; id \"00008\"; "
           "c0 \"rating 1913\"; c1 \"themes crushing hangingPiece long middlegame\"; "
           "pv Rxe7 Qb1+ Nc1 Qxc1+ Qxc1;"
        << "Re6e7";
    QTest::newRow("the line kept as far as it can be played")
        << QByteArray(kRookRow).replace("b1c1 h6c1", "b1b1 h6c1")
        << "r6k/pp2r2p/4Rp1Q/3p4/8/1N1P2b1/PqP3PP/7K w - - bm Rxe7; id \"00008\"; "
           "c0 \"rating 1913\"; c1 \"themes crushing hangingPiece long middlegame\"; "
           "pv Rxe7 Qb1+ Nc1;"
        << "Re6e7";
    QTest::newRow("bad FEN") << QByteArray(kMateRow).replace("B5PP", "B5PPP")
                             << "!its FEN is no legal position"
                             << "";
    QTest::newRow("illegal setup move") << QByteArray(kMateRow).replace("e8d7 a2e6", "e8e6 a2e6")
                                        << "!its first move e8e6 cannot be played"
                                        << "";
    QTest::newRow("illegal solution move") << QByteArray(kMateRow).replace("e8d7 a2e6", "e8d7 a2e7")
                                           << "!its solution move a2e7 is not legal"
                                           << "";
    QTest::newRow("setup move only")
        << QByteArray(kMateRow).replace("e8d7 a2e6 d7d8 f7f8", "e8d7") << "!it has no solution move"
        << "";
    QTest::newRow("too few columns")
        << kMateRow.left(kMateRow.lastIndexOf(',')) << "!it has 6 columns, fewer than the 7"
        << "";
    QTest::newRow("a quoted field")
        << QByteArray(kMateRow).replace("book", "\"a, b\"") << "!it has a quoted field"
        << "";
}

void TestPuzzleFiles::csvRows()
{
    QFETCH(QByteArray, row);
    QFETCH(QString, record);
    QFETCH(QString, played);
    const Result<PuzzleColumns> columns = ReadPuzzleColumns(kHeader);
    QVERIFY(columns && columns->header);
    const Result<QString> epd = PuzzleToEpd(row, *columns);
    QCOMPARE(IsPuzzleRow(row, *columns), epd.ok());
    if (record.startsWith(u'!')) {
        QVERIFY2(!epd && epd.error().startsWith(record.mid(1)), qPrintable(epd.error()));
        return;
    }
    QCOMPARE(epd.valueOr(epd.error()), record);
    // The solver's side is to move, and the solution counts when played.
    QVERIFY(!RecordPosition(*epd)->blackToMove());
    QVERIFY(JudgeMove(*epd, {played}).right());
}

void TestPuzzleFiles::csvColumns_data()
{
    QTest::addColumn<QByteArray>("firstRow");
    QTest::addColumn<QString>("columns"); // fen moves id rating themes header, or "!" and why not
    QTest::newRow("Lichess's header")
        << QByteArray("PuzzleId,FEN,Moves,Rating,RatingDeviation,Popularity,NbPlays,Themes,"
                      "GameUrl,OpeningTags")
        << "1 2 0 3 7 header";
    QTest::newRow("names quoted, in any case")
        << QByteArray("\"moves\",\"fen\"") << "1 0 -1 -1 -1 header";
    QTest::newRow("no header: Lichess's order")
        << "00008," + kRookRow.left(kRookRow.indexOf(',')) + ",f2g3 e6e7,1913,75,94,6230,x,url"
        << "1 2 0 3 7 rows";
    QTest::newRow("no Moves") << QByteArray("PuzzleId,FEN,Rating")
                              << "!its first row names no Moves column";
    QTest::newRow("neither") << QByteArray("a;b;c") << "!its first row names no FEN and no Moves";
}

void TestPuzzleFiles::csvColumns()
{
    QFETCH(QByteArray, firstRow);
    QFETCH(QString, columns);
    const Result<PuzzleColumns> read = ReadPuzzleColumns(firstRow);
    if (columns.startsWith(u'!')) {
        QVERIFY2(!read && read.error().startsWith(columns.mid(1)), qPrintable(read.error()));
        return;
    }
    QVERIFY2(read, qPrintable(read.error()));
    QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6")
                 .arg(read->fen)
                 .arg(read->moves)
                 .arg(read->id)
                 .arg(read->rating)
                 .arg(read->themes)
                 .arg(read->header ? "header" : "rows"),
             columns);
}

void TestPuzzleFiles::pgnGames_data()
{
    QTest::addColumn<QByteArray>("game");
    QTest::addColumn<QString>("record"); // or "!" and the start of why it is none
    QTest::newRow("FEN tag, comments, variation, NAG, result")
        << QByteArray("[Event \"Mate in one\"]\n[SetUp \"1\"]\n"
                      "[FEN \"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1\"]\n\n"
                      "1. Ra8# {the back rank; (not a variation)} (1. Kf1 $2 h6) 1-0\n")
        << "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - bm Ra8#; id \"Mate in one\"; pv Ra8#;";
    QTest::newRow("initial position, comments over lines, ; comment, move numbers")
        << QByteArray("[Event \"?\"]\n\n1.e4 e5 2.Nf3 {a comment\n[that is no tag]} Nc6 ; 3.d4\n"
                      "3.Bb5 $1 a6 (3...Nf6 4.O-O) 4. Ba4 !? *\n")
        << "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - bm e4; "
           "pv e4 e5 Nf3 Nc6 Bb5 a6 Ba4;";
    QTest::newRow("PuzzleId before Event, Black to move, line cut at a bad move")
        << QByteArray("[Event \"Study\"]\n[PuzzleId \"p7\"]\n"
                      "[FEN \"4k3/8/8/8/8/8/q7/4K3 b - - 0 1\"]\n1... Qa2e6 2. Kd2 Zz9 Qd7\n")
        << "4k3/8/8/8/8/8/q7/4K3 b - - bm Qe6+; id \"p7\"; pv Qe6+ Kd2;";
    QTest::newRow("no moves") << QByteArray("[Event \"x\"]\n\n*\n") << "!it has no moves";
    QTest::newRow("an illegal first move")
        << QByteArray("[FEN \"6k1/8/8/8/8/8/8/R5K1 w - - 0 1\"]\n1. Ra9 *")
        << "!its first move Ra9 cannot be played";
    QTest::newRow("a FEN that is no position")
        << QByteArray("[FEN \"8/8/8/8/8/8/8/8 w - - 0 1\"]\n1. e4 *")
        << "!its FEN tag is no legal position";
}

void TestPuzzleFiles::pgnGames()
{
    QFETCH(QByteArray, game);
    QFETCH(QString, record);
    const Result<QString> epd = PgnGameToEpd(game);
    QCOMPARE(IsPgnPosition(game), epd.ok());
    if (record.startsWith(u'!')) {
        QVERIFY2(!epd && epd.error().startsWith(record.mid(1)), qPrintable(epd.error()));
        return;
    }
    QCOMPARE(epd.valueOr(epd.error()), record);
}

void TestPuzzleFiles::filter_data()
{
    QTest::addColumn<QString>("typed"); // from|to|themes as typed in the boxes
    QTest::addColumn<QString>("rating");
    QTest::addColumn<QByteArray>("themes");
    QTest::addColumn<bool>("matches");
    QTest::addColumn<QString>("text"); // the same for every way of typing it
    QTest::newRow("in range") << "1500|1800|"
                              << "1800" << QByteArray("fork") << true << "rating 1500-1800";
    QTest::newRow("above") << "1500|1800|"
                           << "1801" << QByteArray() << false << "rating 1500-1800";
    QTest::newRow("range typed backwards") << " 1800|1500 |"
                                           << "1600" << QByteArray() << true << "rating 1500-1800";
    QTest::newRow("open above") << "2000|x|"
                                << "2900" << QByteArray() << true << "rating 2000-";
    QTest::newRow("no rating, range asked") << "|1000|"
                                            << "" << QByteArray() << false << "rating -1000";
    QTest::newRow("every word, any case, commas")
        << "||Fork, endgame fork"
        << "" << QByteArray("endgame fork short") << true << "themes endgame fork";
    QTest::newRow("a word missing")
        << "||fork pin"
        << "1200" << QByteArray("fork short") << false << "themes fork pin";
    QTest::newRow("a word is whole") << "||mate"
                                     << "" << QByteArray("mateIn2") << false << "themes mate";
    QTest::newRow("empty filter") << "||"
                                  << "" << QByteArray() << true << "";
}

void TestPuzzleFiles::filter()
{
    QFETCH(QString, typed);
    QFETCH(QString, rating);
    QFETCH(QByteArray, themes);
    const PuzzleFilter filter = ReadPuzzleFilter(
        typed.section(u'|', 0, 0), typed.section(u'|', 1, 1), typed.section(u'|', 2, 2));
    QTEST(filter.Matches(ReadRating(rating.toLatin1()), themes), "matches");
    QTEST(filter.Text(), "text");
}

QTEST_GUILESS_MAIN(TestPuzzleFiles)
#include "tst_puzzlefiles.moc"
