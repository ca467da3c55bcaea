// Reading engine output: thinking lines and their first move, whether that
// move is a best move.

#include "EngineLine.h"

#include <QTest>

class TestEngineLine : public QObject
{
    Q_OBJECT

private slots:
    void thinkingLines_data();
    void thinkingLines();
    void bestMoves_data();
    void bestMoves();
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

QTEST_MAIN(TestEngineLine)
#include "tst_engineline.moc"
