// Training sessions: the clock ending attempts, judging and scoring them,
// the report grid and text report, and the session log.

#include "KestreluxTestAccess.h"
#include "TrainerFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Pellomar;

namespace {

// A suite of 60 pawn pushes whose position 57 is a queen move: Qd3 takes on h7.
QStringList workedExampleSuite()
{
    QStringList records = pawnPushSuite(60);
    records[56] = QStringLiteral("6k1/6pp/8/8/8/3Q4/8/6K1 w - - bm Qxh7+; id \"T.57\";");
    return records;
}

// Runs the clock by hand (the real timer is stopped) until the attempt ends.
void tickUntilAttemptEnds(frmKestrelux& w, KestreluxTestAccess& a)
{
    const qint32 before = a.attemptCount();
    for (int i = 0; i < 100000 && a.attemptCount() == before; ++i)
        w.tmrTime_Timer();
    a.clock()->stop();
}

// The 1-based column at which text starts in line, or 0.
int columnOf(const QString& line, const QString& text)
{
    return int(line.indexOf(text)) + 1;
}

QString readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void workedExampleReportLine();
    void wrongMoveAndTimeOut();
    void scoringDependsOnSessionLength_data();
    void scoringDependsOnSessionLength();
    void analysedPositionIsNotCounted();
    void wholeSessionThroughClicksAndTheTimer();
    void judgedOnTheBoard_data();
    void judgedOnTheBoard();
};

void TestSession::workedExampleReportLine()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), workedExampleSuite());
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.show();
    a.element<QPushButton>("cmdNew")->click();
    QVERIFY(a.element<QCheckBox>("chkTimer")->isChecked());
    w.ShowPosition(57);
    a.clock()->stop();

    for (int i = 0; i < 99; ++i)
        w.tmrTime_Timer();
    QCOMPARE(a.element<QLabel>("lblTime")->text(), QStringLiteral("10"));
    a.playMove(d, 3, h, 7);
    QCOMPARE(a.userMove(), QStringLiteral("Qd3h7"));
    w.tmrTime_Timer();

    QCOMPARE(a.attemptCount(), 1);
    QCOMPARE(a.solvedCount(), 1);
    QCOMPARE(a.totalSaved(), 40);
    QCOMPARE(a.element<QLabel>("lblPunti")->text(), QStringLiteral("96.9"));
    QCOMPARE(a.element<QLabel>("lblTotTime")->text(), QStringLiteral("10"));
    QCOMPARE(a.element<QLabel>("lblTotSaved")->text(), QStringLiteral("40"));
    QCOMPARE(a.element<QLabel>("lblSolved")->text(), QStringLiteral("1/1(100%)"));
    QCOMPARE(a.element<QLineEdit>("txtUscito")->text(), QStringLiteral("1"));
    QCOMPARE(a.element<QLineEdit>("txtRisolto")->text(), QStringLiteral("1"));
    QCOMPARE(QApplication::clipboard()->text(), workedExampleSuite().at(56));
    QCOMPARE(a.bestMoves()[0], QStringLiteral("Qh7"));

    FlexGrid* grid = a.report();
    QCOMPARE(grid->Rows(), 2);
    const QStringList expected = {"1", "96.9", "Qd3h7", "Qxh7+", "", "57", "", "1", "10.0", "40.0"};
    for (int c = 0; c < expected.size(); ++c)
        QCOMPARE(grid->TextMatrix(1, c), expected.at(c));

    const QStringList lines = a.element<QPlainTextEdit>("txtReport")->toPlainText().split('\n');
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0), QString());
    const QString line = lines.at(1);
    QCOMPARE(line.left(6), QStringLiteral(" 96.8 "));
    QCOMPARE(columnOf(line, "01)"), 7);
    QCOMPARE(columnOf(line, "Move:"), 11);
    QCOMPARE(columnOf(line, "Qd3h7"), 16);
    QCOMPARE(columnOf(line, "Sol:"), 22);
    QCOMPARE(columnOf(line, "Qxh7+"), 26);
    QCOMPARE(columnOf(line, "solv"), 31);
    QCOMPARE(columnOf(line, "Elap100"), 39);
    QCOMPARE(columnOf(line, "Save40"), 48);
    QCOMPARE(line.mid(55), QStringLiteral("PosN057 "));
    // The next position is up and the clock runs for it.
    QVERIFY(a.clock()->isActive());
}

void TestSession::wrongMoveAndTimeOut()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(20));
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.show();
    a.element<QPushButton>("cmdNew")->click();
    a.clock()->stop();

    // A wrong move after 12.3 s.
    for (int i = 0; i < 122; ++i)
        w.tmrTime_Timer();
    a.playMove(e, 1, d, 1);
    tickUntilAttemptEnds(w, a);
    QCOMPARE(a.solvedCount(), 0);
    QCOMPARE(a.element<QLabel>("lblTotTime")->text(), QStringLiteral("50"));
    QCOMPARE(a.element<QLabel>("lblPunti")->text(), QStringLiteral("0"));
    QCOMPARE(a.report()->TextMatrix(1, 1), QStringLiteral("..."));
    // The move ends the attempt on the tick after it: 12.3 s.
    QCOMPARE(a.report()->TextMatrix(1, 8), QStringLiteral("12.3"));
    QCOMPARE(a.report()->TextMatrix(1, 9), QStringLiteral("37.7"));
    QString line = a.element<QPlainTextEdit>("txtReport")->toPlainText().split('\n').last();
    QCOMPARE(line.left(6), QStringLiteral(" .... "));
    QVERIFY2(line.contains(QLatin1String("Elap123 ")), qPrintable(line));
    QVERIFY2(line.contains(QLatin1String("Save38 ")), qPrintable(line));

    // No move at all: 500 ticks of 0.1 s add up to just above 50 s, which ends it.
    int ticks = 0;
    while (a.attemptCount() == 1) {
        w.tmrTime_Timer();
        ++ticks;
    }
    a.clock()->stop();
    QCOMPARE(ticks, 500);
    QCOMPARE(a.element<QLabel>("lblTotTime")->text(), QStringLiteral("100"));
    QCOMPARE(a.report()->TextMatrix(2, 2), QString());
    line = a.element<QPlainTextEdit>("txtReport")->toPlainText().split('\n').last();
    QCOMPARE(columnOf(line, "Sol:"), 21);
    QCOMPARE(a.element<QLabel>("lblSolved")->text(), QStringLiteral("0/2(0%)"));
}

// Two positions solved in 10 s each; the points shown are read back to add
// the second, in the locale's own decimal separator.
void TestSession::scoringDependsOnSessionLength_data()
{
    QTest::addColumn<QString>("positions");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("points");
    QTest::addColumn<QString>("twice");
    QTest::addColumn<QString>("prefix");
    const QLocale c = QLocale::c();
    QTest::newRow("10 positions") << "10" << c << "96.9"
                                  << "193.8"
                                  << " 96.8 ";
    QTest::newRow("100 positions") << "100" << c << "9.9"
                                   << "19.8"
                                   << " 98.7 ";
    QTest::newRow("1000 positions") << "1000" << c << "1"
                                    << "2"
                                    << "100.6 ";
    QTest::newRow("10 positions, decimal comma") << "10" << QLocale(QLocale::German) << "96,9"
                                                 << "193,8"
                                                 << " 96,8 ";
}

void TestSession::scoringDependsOnSessionLength()
{
    QFETCH(QString, positions);
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(20));
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.show();
    a.element<QLineEdit>("txtPositionsForSession")->setText(positions);
    a.element<QPushButton>("cmdNew")->click();
    for (const char* shown : {"points", "twice"}) {
        a.clock()->stop();
        for (int i = 0; i < 99; ++i)
            w.tmrTime_Timer();
        a.playMove(e, 2, e, 4);
        w.tmrTime_Timer();
        QTEST(a.element<QLabel>("lblPunti")->text(), shown);
    }
    a.clock()->stop();
    QCOMPARE(a.solvedCount(), 2);
    const QString line = a.element<QPlainTextEdit>("txtReport")->toPlainText().split('\n').last();
    QTEST(line.left(6), "prefix");
}

void TestSession::analysedPositionIsNotCounted()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(20));
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.show();
    a.element<QPushButton>("cmdNew")->click();
    a.clock()->stop();
    a.positionAnalysed() = true;
    a.playMove(e, 2, e, 4);
    tickUntilAttemptEnds(w, a);
    QCOMPARE(fx.messages, QStringList{QStringLiteral("Gia analizzato: non contato")});
    QCOMPARE(a.solvedCount(), 0);
    QCOMPARE(a.element<QLabel>("lblTotTime")->text(), QStringLiteral("50"));
    QCOMPARE(a.element<QLabel>("lblPunti")->text(), QStringLiteral("0"));
    QVERIFY(!a.positionAnalysed());
}

void TestSession::wholeSessionThroughClicksAndTheTimer()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(30));
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // A short allowance keeps timed-out attempts quick.
    a.element<QLineEdit>("txtTimeForPosition")->setText(QStringLiteral("0.3"));
    auto* timer = a.element<QCheckBox>("chkTimer");
    const QString log = fx.dataFile(QStringLiteral("KXLog.txt"));

    for (int session = 1; session <= 2; ++session) {
        QTest::mouseClick(a.element<QPushButton>("cmdNew"), Qt::LeftButton);
        QVERIFY(timer->isChecked());
        QVERIFY(!a.element<QPushButton>("cmdNext")->isEnabled());
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(a.attemptCount(), i);
            // Solved, wrong and timed out in turn (all timed out in session 2).
            if (session == 1 && i % 3 == 0)
                a.playMove(e, 2, e, 4);
            else if (session == 1 && i % 3 == 1)
                a.playMove(e, 1, d, 1);
            QTRY_COMPARE_WITH_TIMEOUT(a.attemptCount(), i + 1, 5000);
        }
        QVERIFY(!timer->isChecked());
        QVERIFY(a.element<QPushButton>("cmdNext")->isEnabled());
        QCOMPARE(a.report()->Rows(), 11);
        QCOMPARE(a.report()->TextMatrix(10, 0), QStringLiteral("10"));
        const QString report = a.element<QPlainTextEdit>("txtReport")->toPlainText();
        const QStringList lines = report.split('\n');
        QCOMPARE(lines.size(), 13); // break, 10 attempts, break, summary
        QVERIFY(lines.last().contains(QLatin1String("tottime ")));
        QVERIFY(lines.last().contains(QLatin1String("WAC.EPD")));
        if (session == 1) {
            QCOMPARE(a.element<QLabel>("lblSolved")->text(), QStringLiteral("4/10(40%)"));
            QVERIFY(a.element<QLabel>("lblPunti")->text().toInt() > 0);
        } else {
            QCOMPARE(a.element<QLabel>("lblSolved")->text(), QStringLiteral("0/10(0%)"));
            QCOMPARE(a.element<QLabel>("lblPunti")->text(), QStringLiteral("0"));
        }
        QCOMPARE(readFile(log).count(QLatin1String("tottime ")), session);
        QVERIFY(readFile(log).endsWith(report + QLatin1Char('\n')));
    }
    QVERIFY(fx.messages.isEmpty());
}

void TestSession::judgedOnTheBoard_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("move"); // origin and destination clicked
    QTest::addColumn<bool>("solved");
    QTest::addColumn<QString>("solution"); // as the report shows it
    const QString queens = "8/6k1/5pp1/Q6p/5P2/6PK/P4q1P/8 b - - bm Qf1+; id \"WAC.239\";";
    const QString knights = "4k3/8/8/8/8/8/8/1N2K1N1 w - - bm Nf3";
    const QString opening = "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -";
    QTest::newRow("white queen on Black's turn") << queens << "a5f1" << false << "Qf1+";
    QTest::newRow("knight g1 to f3") << knights << "g1f3" << true << "Nf3";
    QTest::newRow("pawn to a3, no bm") << "4k3/8/8/8/8/8/P7/4K3 w - - id \"none\";"
                                       << "a2a3" << false << "a1";
    QTest::newRow("six fields, coordinates") << opening + " 0 3 bm f1b5"
                                             << "f1b5" << true << "f1b5";
    QTest::newRow("record of 40,000 characters")
        << opening + " c0 \"" + QString(40000, u'x') + "\"; bm Bb5;"
        << "f1b5" << true << "Bb5";
}

void TestSession::judgedOnTheBoard()
{
    QFETCH(QString, record);
    QFETCH(QString, move);
    QFETCH(bool, solved);
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), QStringList(10, record));
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.show();
    a.element<QPushButton>("cmdNew")->click();
    a.clock()->stop();
    QCOMPARE(a.element<QLineEdit>("txtFen")->text(), record);
    const auto column = [&](int at) {
        return Column(move[at].unicode() - 'a' + 1);
    };
    const auto row = [&](int at) {
        return short(move[at + 1].unicode() - '0');
    };
    a.playMove(column(0), row(0), column(2), row(2));
    tickUntilAttemptEnds(w, a);
    QCOMPARE(a.solvedCount(), solved ? 1 : 0);
    QTEST(a.report()->TextMatrix(1, 3), "solution");
}

QTEST_MAIN(TestSession)
#include "tst_session.moc"
