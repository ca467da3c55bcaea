#include "BestMoveScan.h"
#include "Epd.h"
#include "TestFiles.h"

#include <QRegularExpression>
#include <QTest>

using namespace kx;

const QString kPlacement =
    QStringLiteral("2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - ");

// Reading the bm operation of EPD records, splitting it into best moves, and
// the statistics table's rows built from it.
class TestEpd : public QObject
{
    Q_OBJECT

private slots:
    // The bm field, the solution text and the four best-move slots of a record.
    void bestMoves_data()
    {
        QTest::addColumn<QString>("operations");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("solution");
        QTest::addColumn<QString>("words"); // GetBestMoveWords joined by "|"
        const auto row = [](const char* name, const char* operations, const char* field,
                            const char* solution, const char* words) {
            QTest::newRow(name) << QString(operations) << QString(field) << QString(solution)
                                << QString(words);
        };
        row("after other operations", "acd 4; acs 10; bm Qg6; ce 300;", "bm Qg6", "Qg6", "Qg6");
        row("blank before semicolon", "bm Qg6 Rxf7 ;", "bm Qg6 Rxf7 ", "Qg6 Rxf7 ", "Qg6|Rxf7");
        row("no blank after semicolon", "acd 4;bm Qg6;", "bm Qg6", "Qg6", "Qg6");
        row("bm inside quoted id", "id \"bm e4\"; bm Qg6;", "bm Qg6", "Qg6", "Qg6");
        row("bm only in a comment", "c0 \"best: bm Nf3;\"; id \"a\";", "", "a1", "");
        row("bm inside a word", "abm x; bm Nf3;", "bm Nf3", "Nf3", "Nf3");
        row("bm not followed by blank", "bmx Nf3; bm e4;", "bm e4", "e4", "e4");
        row("move too short", "bm e;", "bm e", "a1", "");
        row("trailing CR", "bm Qg6; id \"x\";\r", "bm Qg6", "Qg6", "Qg6");
        row("marks removed, = and # kept", "bm Nxf3+! e8=Q Qh7# X?x!;", "bm Nxf3+! e8=Q Qh7# X?x!",
            "Nxf3+! e8=Q Qh7# X?x!", "Nxf3+!|e8=Q|Qh7#");
        row("five moves", "bm m1 m2 m3 m4 m5;", "bm m1 m2 m3 m4 m5", "m1 m2 m3 m4 m5", "");
        // Without a ";" bm runs to the end of the line or to the first word that
        // is not a move.
        row("bm last, no semicolon", "id \"x\"; bm Qg6", "bm Qg6", "Qg6", "Qg6");
        row("CR instead of semicolon", "bm Qg6\r", "bm Qg6", "Qg6", "Qg6");
        row("trailing blank", "id \"x\"; bm Qb3 ", "bm Qb3", "Qb3", "Qb3");
        row("another operation follows", "bm Rc8+ dm 26", "bm Rc8+", "Rc8+", "Rc8+");
        row("square-named operation follows", "bm Qg6 c1 \"x\"", "bm Qg6", "Qg6", "Qg6");
        row("coordinates", "bm g6g4 e7e8q e7e8=Q", "bm g6g4 e7e8q e7e8=Q", "g6g4 e7e8q e7e8=Q",
            "g6g4|e7e8q|e7e8=Q");
        row("lone marks", "bm Ng5 + Qg6 ?", "bm Ng5 + Qg6 ?", "Ng5 + Qg6 ?", "Ng5+|Qg6?");
        row("no move after bm", "bm dm 3", "bm", "a1", "");
        // Without best moves: the moves to avoid, or the line's first move.
        row("am alone", "am Bxh7 Qd5; id \"x\";", "", "not Bxh7 Qd5", "");
        row("am and bm: bm governs", "am Bxh7; bm Qd5;", "bm Qd5", "Qd5", "Qd5");
        row("pv alone, numbered", "pv 1. e4 e5 2.Nf3", "", "e4", "");
    }
    void bestMoves()
    {
        QFETCH(QString, operations);
        const QString record = kPlacement + operations;
        QTEST(GetBmField(record), "field");
        QTEST(GetSolutionText(record), "solution");
        QTEST(GetBestMoveWords(record).join(u'|'), "words");
        // Hidden during a session: no best move can be read from what is left.
        QVERIFY(GetBestMoveWords(WithoutSolution(record)).isEmpty());
    }

    // The record as the position box shows it during a session.
    void withoutSolution_data()
    {
        QTest::addColumn<QString>("operations");
        QTest::addColumn<QString>("shown");
        QTest::newRow("bm first") << "bm Qe5+; id \"WAC.1\";"
                                  << "id \"WAC.1\";";
        QTest::newRow("bm without semicolon") << "0 1 bm Rc8+ dm 26"
                                              << "0 1 dm 26";
        QTest::newRow("am and pv, bm in a comment") << "am Qxb7; pv Nf3 d5 e4; c0 \"not bm Qg6;\";"
                                                    << "c0 \"not bm Qg6;\";";
        QTest::newRow("glued to the FEN") << "acd 4;bm Ng5; ce 20;"
                                          << "acd 4; ce 20;";
    }
    void withoutSolution()
    {
        QFETCH(QString, operations);
        QTEST(WithoutSolution(kPlacement + operations).mid(kPlacement.size() - 1).trimmed(),
              "shown");
    }

    // A statistics row: number, best moves in cells 1 to 4, six empty cells.
    void tableRow_data()
    {
        QTest::addColumn<QString>("operations");
        QTest::addColumn<QString>("cells"); // columns 1 to 4 joined by "|"
        const auto row = [](const char* name, const char* operations, const char* cells) {
            QTest::newRow(name) << QString(operations) << QString(cells);
        };
        row("one move", "bm Qxd1+; id \"a\";", "Qxd1+|Qd1||");
        row("two moves", "bm Rxe5 Qg6;", "Rxe5 Qg6|Re5|Qg6|");
        row("three moves", "bm a b c;", "a b c|a|b|c");
        row("five moves", "bm a b c d e;", "a b c d e|a|b|c d e");
        row("no bm", "id \"a\";", "a3|a3||");
        row("bm only in quoted text", "c0 \"try bm Qg6;\";", "a3|a3||");
        row("move too short", "bm e;", "a3|a3||");
        row("empty line", "", "a3|a3||");
        row("am alone", "am Bxh7 Qxd5+;", "not Bxh7 Qxd5+|not Bh7|not Qd5|");
        row("am beside bm", "am Bxh7; bm Qg6;", "Qg6|Qg6||");
        row("pv alone", "pv Nf3 d5;", "Nf3|Nf3||");
    }
    void tableRow()
    {
        QFETCH(QString, operations);
        const QString record = operations.isEmpty() ? QString() : kPlacement + operations;
        const QStringList cells = ScanRow(42, record);
        QCOMPARE(cells.size(), 11);
        QCOMPARE(cells.at(0), QStringLiteral("42"));
        QTEST(cells.mid(1, 4).join(u'|'), "cells");
        QCOMPARE(cells.mid(5), QStringList(6));
    }

    void popToken()
    {
        QString text = QStringLiteral(" one  two ");
        QCOMPARE(PopToken(text), QStringLiteral("one"));
        QCOMPARE(text, QStringLiteral(" two"));
        QCOMPARE(PopToken(text), QStringLiteral("two"));
        QCOMPARE(text, QString());
        QCOMPARE(PopToken(text), QString());
    }

    void everySuiteRecord()
    {
        const QStringList lines = publicSuiteRecords();
        QVERIFY2(!lines.isEmpty(), kNoPublicSuites);
        // Found the plain way: drop quoted text, then take the operation that
        // starts with "bm" at an operation boundary.
        static const QRegularExpression quoted(QStringLiteral("\"[^\"]*\""));
        static const QRegularExpression bm(QStringLiteral("(?:^|;|\\s)bm\\s+([^;]*);"));
        for (const QString& line : lines) {
            const auto m = bm.match(QString(line).remove(quoted));
            QVERIFY2(m.hasMatch(), qPrintable(line));
            const QString operand = m.captured(1).trimmed();
            QCOMPARE(GetBmField(line), QStringLiteral("bm ") + m.captured(1));
            QCOMPARE(GetSolutionText(line).trimmed(), operand);
            QCOMPARE(GetBestMoveWords(line).join(u' '), operand.simplified());
        }
    }
};

QTEST_GUILESS_MAIN(TestEpd)
#include "tst_epd.moc"
