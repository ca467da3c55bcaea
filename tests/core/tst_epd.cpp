#include "Epd.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace kx;

namespace {

const QString kPlacement =
    QStringLiteral("2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - ");

// Every slot's words in order; the last slot may hold several.
QStringList slotWords(const BestMoves& list)
{
    QStringList words;
    for (const QString& slot : list)
        words += slot.split(u' ', Qt::SkipEmptyParts);
    return words;
}

} // namespace

// Reading the bm operation of EPD records and splitting it into best moves.
class TestEpd : public QObject
{
    Q_OBJECT

private slots:
    void bmField_data();
    void bmField();
    void solutionText_data();
    void solutionText();
    void splitBestMoves_data();
    void splitBestMoves();
    void popToken();
    void cleanMove_data();
    void cleanMove();
    void everySuiteRecord_data();
    void everySuiteRecord();
};

void TestEpd::bmField_data()
{
    QTest::addColumn<QString>("operations");
    QTest::addColumn<QString>("field");
    QTest::newRow("bm first") << "bm Qd1+; id \"WAC.001\";"
                              << "bm Qd1+";
    QTest::newRow("after other operations") << "acd 4; acs 10; bm Qg6; ce 300;"
                                            << "bm Qg6";
    QTest::newRow("several moves") << "bm Rxe5 Qg6; id \"x\";"
                                   << "bm Rxe5 Qg6";
    QTest::newRow("blank before semicolon") << "bm Qg6 Rxf7 ;"
                                            << "bm Qg6 Rxf7 ";
    QTest::newRow("no blank after semicolon") << "acd 4;bm Qg6;"
                                              << "bm Qg6";
    QTest::newRow("bm inside id") << "id \"bm e4\"; bm Qg6;"
                                  << "bm Qg6";
    QTest::newRow("bm only in comment") << "c0 \"best: bm Nf3;\"; id \"a\";"
                                        << "";
    QTest::newRow("bm inside a word") << "abm x; bm Nf3;"
                                      << "bm Nf3";
    QTest::newRow("bm not followed by blank") << "bmx Nf3; bm e4;"
                                              << "bm e4";
    QTest::newRow("no bm") << "am Qg6; id \"x\";"
                           << "";
    QTest::newRow("no semicolon after bm") << "id \"x\"; bm Qg6"
                                           << "";
    QTest::newRow("trailing CR") << "bm Qg6; id \"x\";\r"
                                 << "bm Qg6";
    QTest::newRow("CR instead of semicolon") << "bm Qg6\r"
                                             << "";
}

void TestEpd::bmField()
{
    QFETCH(QString, operations);
    QFETCH(QString, field);
    QCOMPARE(GetBmField(kPlacement + operations), field);
}

void TestEpd::solutionText_data()
{
    QTest::addColumn<QString>("operations");
    QTest::addColumn<QString>("text");
    QTest::newRow("one move") << "bm Qd1+; id \"x\";"
                              << "Qd1+";
    QTest::newRow("two moves") << "bm Rxe5 Qg6;"
                               << "Rxe5 Qg6";
    QTest::newRow("shortest accepted") << "bm e4;"
                                       << "e4";
    QTest::newRow("too short") << "bm e;"
                               << "a1";
    QTest::newRow("no bm") << "id \"x\";"
                           << "a1";
}

void TestEpd::solutionText()
{
    QFETCH(QString, operations);
    QFETCH(QString, text);
    QCOMPARE(GetSolutionText(kPlacement + operations), text);
}

void TestEpd::splitBestMoves_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("bestSlots");
    QTest::newRow("one move") << "bm Qd1+" << QStringList{"Qd1", "", "", ""};
    QTest::newRow("two moves") << "bm Qg6 Rxf7" << QStringList{"Qg6", "Rf7", "", ""};
    QTest::newRow("blank at end") << "bm Qg6 Rxf7 " << QStringList{"Qg6", "Rf7", "", ""};
    QTest::newRow("four moves") << "bm a4 b4 c4 d4" << QStringList{"a4", "b4", "c4", "d4"};
    QTest::newRow("five moves") << "bm m1 m2 m3 m4 m5" << QStringList{"m1", "m2", "m3", "m4 m5"};
    QTest::newRow("shortest field") << "bm e4" << QStringList{"e4", "", "", ""};
    QTest::newRow("too short") << "bm e" << QStringList{"a3", "", "", ""};
    QTest::newRow("empty field") << "" << QStringList{"a3", "", "", ""};
    QTest::newRow("not a bm field") << "am Qg6" << QStringList{"a3", "", "", ""};
}

void TestEpd::splitBestMoves()
{
    QFETCH(QString, field);
    QFETCH(QStringList, bestSlots);
    // Left over from an earlier position: every slot must be rewritten.
    BestMoves list = {"old1", "old2", "old3", "old4"};
    SplitBestMoves(field, list);
    QCOMPARE(QStringList(list.begin(), list.end()), bestSlots);
}

void TestEpd::popToken()
{
    QString text = QStringLiteral(" one  two ");
    QCOMPARE(PopToken(text), QStringLiteral("one"));
    QCOMPARE(text, QStringLiteral(" two"));
    QCOMPARE(PopToken(text), QStringLiteral("two"));
    QCOMPARE(text, QString());
    QCOMPARE(PopToken(text), QString());
    QCOMPARE(text, QString());
}

void TestEpd::cleanMove_data()
{
    QTest::addColumn<QString>("move");
    QTest::addColumn<QString>("clean");
    QTest::newRow("capture, check, mark") << "Nxf3+!"
                                          << "Nf3";
    QTest::newRow("promotion kept") << "e8=Q"
                                    << "e8=Q";
    QTest::newRow("mate kept") << "Qh7#"
                               << "Qh7#";
    QTest::newRow("castling with check") << "O-O+"
                                         << "O-O";
    QTest::newRow("upper-case X kept") << "X?x!"
                                       << "X";
    QTest::newRow("blanks kept") << "a b"
                                 << "a b";
    QTest::newRow("empty") << ""
                           << "";
}

void TestEpd::cleanMove()
{
    QFETCH(QString, move);
    QFETCH(QString, clean);
    QCOMPARE(CleanMove(move), clean);
}

void TestEpd::everySuiteRecord_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("WAC") << "WAC.EPD";
    QTest::newRow("WCSAC") << "WCSAC.EPD";
}

void TestEpd::everySuiteRecord()
{
    QFETCH(QString, name);
    QFile file(QStringLiteral(KX_SUITES_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        QSKIP(qPrintable(QStringLiteral("Public suite %1 not found in " KX_SUITES_DIR).arg(name)));
    // Told apart the plain way: drop quoted text, then take the operation that
    // starts with "bm" at an operation boundary.
    static const QRegularExpression quoted(QStringLiteral("\"[^\"]*\""));
    static const QRegularExpression bm(QStringLiteral("(?:^|;|\\s)bm\\s+([^;]*);"));
    int records = 0;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        if (raw.trimmed().isEmpty())
            continue;
        ++records;
        const QString line = QString::fromUtf8(raw); // may end in CR
        const QString record = line.trimmed();
        const auto m = bm.match(QString(record).remove(quoted));
        QVERIFY2(m.hasMatch(), qPrintable(record));
        const QString operand = m.captured(1).trimmed();
        QStringList expected;
        for (const QString& move : operand.split(QRegularExpression("\\s+")))
            expected += CleanMove(move);

        QCOMPARE(GetBmField(line), QStringLiteral("bm ") + m.captured(1));
        QCOMPARE(GetSolutionText(line).trimmed(), operand);
        BestMoves list;
        SplitBestMoves(GetBmField(line), list);
        QVERIFY2(slotWords(list) == expected, qPrintable(record));
    }
    QVERIFY(records > 0);
}

QTEST_GUILESS_MAIN(TestEpd)
#include "tst_epd.moc"
