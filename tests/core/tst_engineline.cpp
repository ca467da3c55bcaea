// Reading engine output: thinking lines and their first move, whether that
// move is a best move, the position sent to the engine, and the grade.

#include "EngineLine.h"

#include <QTest>

class TestEngineLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void thinkingLines_data();
    void thinkingLines();
    void bestMoves_data();
    void bestMoves();
    void positionSent_data();
    void positionSent();
    void featuresAndRefusals();
    void grades_data();
    void grades();
};

void TestEngineLine::thinkingLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("numbers"); // depth score time nodes
    QTest::addColumn<QString>("firstMove");

    QTest::newRow("numbered") << "7 35 120 900 1. Nf3 d5 2. d4" << true << "7 35 120 900"
                              << "Nf3";
    QTest::newRow("numbered, Black to move, check mark")
        << "12 -41 33 12345 1. ... Rxb2+ 2. Kf1" << true << "12 -41 33 12345"
        << "Rxb2";
    QTest::newRow("unnumbered mate score, nodes beyond 32 bits")
        << "8 +100002 0 9876543210 Qg6 fxg6 Nxg6#" << true << "8 100002 0 9876543210"
        << "Qg6";
    QTest::newRow("blank-aligned with a note")
        << " 3    -84    17     1536  Qg6 !" << true << "3 -84 17 1536"
        << "Qg6";
    QTest::newRow("note before the variation")
        << "4 -204 2 25906 (+) 1. Nh5 Nxe5" << true << "4 -204 2 25906"
        << "Nh5";
    QTest::newRow("long algebraic")
        << "  3  29997     2     5385  Qg3-g6" << true << "3 29997 2 5385"
        << "Qg3-g6";
    QTest::newRow("coordinates, promotion") << "5 900 1 77 e7e8q d8e8" << true << "5 900 1 77"
                                            << "e7e8q";
    QTest::newRow("castling") << "6 20 4 500 O-O Nf6" << true << "6 20 4 500"
                              << "O-O";
    QTest::newRow("NNUE notice") << "1 +0 0 0 NNUE evaluation using nn-ad9b42354671.nnue enabled"
                                 << false << ""
                                 << "";
    QTest::newRow("version string") << "PolyGlot 1.4.9 by Fabien Letouzey." << false << ""
                                    << "";
    QTest::newRow("evaluation report") << "tellics whisper depth=4; eval=-1.60" << false << ""
                                       << "";
    QTest::newRow("status line") << "stat01: 2 4502 3 58 59 g3g6" << false << ""
                                 << "";
    QTest::newRow("no variation") << "7 35 120 900" << false << ""
                                  << "";
    QTest::newRow("depth beyond 32 bits") << "99999999999 35 1 1 e4" << false << ""
                                          << "";
}

void TestEngineLine::thinkingLines()
{
    QFETCH(QString, line);
    QFETCH(bool, ok);
    QFETCH(QString, numbers);
    QFETCH(QString, firstMove);

    const kx::ThinkingLine read = kx::ReadThinkingLine(line);
    QCOMPARE(read.ok, ok);
    if (!ok)
        return;
    QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                 .arg(read.depth)
                 .arg(read.score)
                 .arg(read.time)
                 .arg(read.nodes),
             numbers);
    QCOMPARE(read.firstMove, firstMove);
    QVERIFY(line.endsWith(read.variation));
}

void TestEngineLine::bestMoves_data()
{
    QTest::addColumn<QString>("move");
    QTest::addColumn<QString>("best");
    QTest::addColumn<QString>("fen");
    QTest::addColumn<bool>("solves");

    const QString wac1 = "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - 0 1";
    QTest::newRow("same SAN") << "Qg6"
                              << "Qg6" << wac1 << true;
    QTest::newRow("second of two best moves, marks differ") << "Rxb2"
                                                            << "Qd4 Rxb2+" << wac1 << true;
    QTest::newRow("another move") << "Ne8"
                                  << "Qg6" << wac1 << false;
    QTest::newRow("SAN needs the whole move, not a part") << "Qg"
                                                          << "Qg6" << wac1 << false;
    QTest::newRow("coordinates: the piece is read from the board") << "g3g6"
                                                                   << "Qg6" << wac1 << true;
    QTest::newRow("coordinates from another square") << "c2g6"
                                                     << "Qg6" << wac1 << false;
    QTest::newRow("long algebraic") << "Qg3-g6"
                                    << "Qg6" << wac1 << true;
    QTest::newRow("coordinates from an empty square") << "e4e5"
                                                      << "e5" << wac1 << false;
    QTest::newRow("castling in coordinates") << "e1g1"
                                             << "O-O"
                                             << "4k3/8/8/8/8/8/8/4K2R w K - 0 1" << true;
    QTest::newRow("castling written with zeros") << "0-0"
                                                 << "O-O" << wac1 << true;
    QTest::newRow("promotion in coordinates") << "e7e8q"
                                              << "e8=Q+"
                                              << "8/4P3/8/8/8/8/k7/6K1 w - - 0 1" << true;
}

void TestEngineLine::bestMoves()
{
    QFETCH(QString, move);
    QFETCH(QString, best);
    QFETCH(QString, fen);
    QFETCH(bool, solves);
    QCOMPARE(kx::IsBestMove(move, best, fen), solves);
}

void TestEngineLine::positionSent_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("fen");

    QTest::newRow("counters supplied") << "8/8/8/8/8/8/8/K6k w - - bm Kb2; id \"x\";"
                                       << "8/8/8/8/8/8/8/K6k w - - 0 1";
    QTest::newRow("operations before bm, counters from the record")
        << "8/8/8/8/8/8/8/K6k b - e3 acd 4; fmvn 31; hmvc 7; bm Kg2;"
        << "8/8/8/8/8/8/8/K6k b - e3 7 31";
    QTest::newRow("no bm, a counter that is no number")
        << "8/8/8/8/8/8/8/K6k w - - hmvc x; id \"y; z\";"
        << "8/8/8/8/8/8/8/K6k w - - 0 1";
}

void TestEngineLine::positionSent()
{
    QFETCH(QString, record);
    QFETCH(QString, fen);
    QCOMPARE(kx::EngineFen(record), fen);
}

void TestEngineLine::featuresAndRefusals()
{
    kx::EngineFeatures f;
    QVERIFY(kx::ReadFeatures("feature done=0", f));
    QVERIFY(!f.done && f.moreTime);
    QVERIFY(kx::ReadFeatures("feature myname=\"Crafty 23.4\" setboard=0 ping=1", f));
    QCOMPARE(f.myname, QStringLiteral("Crafty 23.4"));
    QVERIFY(!f.setboard && !f.done);
    QVERIFY(kx::ReadFeatures("feature option=\"Hash -spin 16 1 1024\" done=1", f));
    QVERIFY(f.done && !f.moreTime);
    QVERIFY(!kx::ReadFeatures("tellics set 1 feature done=1", f));

    QVERIFY(kx::RejectsStatusRequest("Error (unknown command): ."));
    QVERIFY(kx::RejectsStatusRequest("White (1) : Invalid move: ."));
    QVERIFY(kx::RejectsStatusRequest("Illegal move: . "));
    QVERIFY(!kx::RejectsStatusRequest("Illegal move: e9e4"));
    QVERIFY(!kx::RejectsStatusRequest("stat01: 1 2 3 4 5 e4"));
}

void TestEngineLine::grades_data()
{
    QTest::addColumn<QStringList>("before"); // comment, depth, difficulty, evaluation
    QTest::addColumn<QString>("line");       // "" for a time-out
    QTest::addColumn<QStringList>("after");

    const QStringList empty(4);
    const QString line = " 6 +312 80 5000 1. Qg6 fxg6";
    QTest::newRow("depth 1 gives 3")
        << empty << "1 50 0 9 e4" << QStringList{"1 50 0 9 e4", "1", "3", "50"};
    QTest::newRow("depth 5 gives 6")
        << empty << "5 50 0 9 e4" << QStringList{"5 50 0 9 e4", "5", "6", "50"};
    QTest::newRow("depth 6 gives 7") << empty << line << QStringList{line, "6", "7", "+312"};
    QTest::newRow("filled fields stay")
        << QStringList{"mine", "", "2", ""} << line << QStringList{"mine", "6", "2", "+312"};
    QTest::newRow("time-out") << empty << ""
                              << QStringList{" ??? Sol move not found ???", "", "7", ""};
    QTest::newRow("time-out keeps a comment")
        << QStringList{"mine", "4", "", "9"} << "" << QStringList{"mine", "4", "7", "9"};
}

void TestEngineLine::grades()
{
    QFETCH(QStringList, before);
    QFETCH(QString, line);
    QFETCH(QStringList, after);

    kx::PositionGrade g{before[0], before[1], before[2], before[3]};
    if (line.isEmpty())
        kx::GradeByTimeOut(g);
    else
        kx::GradeBySolution(g, line);
    QCOMPARE((QStringList{g.comment, g.depth, g.difficulty, g.evaluation}), after);
}

QTEST_MAIN(TestEngineLine)
#include "tst_engineline.moc"
