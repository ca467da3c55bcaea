// Training sessions in the window: what a finished attempt shows (labels,
// report grid, text report, clipboard), whole sessions from the keyboard and
// the mouse into the log, moves on the board judged, and reviews of the
// positions missed.

#include "Epd.h"
#include "KestreluxTestAccess.h"
#include "TrainerFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPushButton>
#include <QTest>

#include <set>

using namespace Pellomar;

namespace {

// A suite of 60 pawn pushes whose position 57 is a queen move: Qd3 takes on h7.
QStringList workedExampleSuite()
{
    QStringList records = pawnPushSuite(60);
    records[56] = QStringLiteral("6k1/6pp/8/8/8/3Q4/8/6K1 w - - bm Qxh7+; id \"T.57\";");
    return records;
}

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Plays the attempt on the board to its end, solving it (the pawn push) or
// not (a king move); the position it was on.
qint32 playAttempt(KestreluxTestAccess& a, bool solve)
{
    const qint32 position = a.currentPosition();
    a.clock()->stop();
    solve ? a.playMove(e, 2, e, 4) : a.playMove(e, 1, d, 1);
    a.finishAttempt();
    return position;
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void workedExampleReportLine();
    void wholeSessionsFromKeyboardAndMouse();
    void judgedOnTheBoard_data();
    void judgedOnTheBoard();
    void onlyLegalMovesAnswer();
    void endedEarly();
    void wholeLines_data();
    void wholeLines();
    void reviewBringsBackTheMisses();
};

void TestSession::workedExampleReportLine()
{
    TrainerFixture fx;
    KestreluxTestAccess& a = fx.openOn(workedExampleSuite(), true);
    frmKestrelux& w = a.w;
    a.click("cmdNew");
    QVERIFY(a.element<QCheckBox>("chkTimer")->isChecked());
    w.ShowPosition(57);
    a.clock()->stop();

    for (int i = 0; i < 99; ++i)
        w.tmrTime_Timer();
    QCOMPARE(a.text("lblTime"), QStringLiteral("10"));
    a.playMove(d, 3, h, 7);
    QCOMPARE(a.userMove(), QStringLiteral("Qd3h7"));
    w.tmrTime_Timer();

    QCOMPARE(a.attemptCount(), 1);
    QCOMPARE(a.solvedCount(), 1);
    QCOMPARE(a.session().tally().savedSeconds(), 40);
    QStringList panel; // points, times, solved, and the position's counts
    for (const char* name :
         {"lblPunti", "lblTotTime", "lblTotSaved", "lblSolved", "txtUscito", "txtRisolto"})
        panel << a.text(name);
    QCOMPARE(panel, QStringList({"96.9", "10", "40", "1/1(100%)", "1", "1"}));
    QCOMPARE(QApplication::clipboard()->text(), workedExampleSuite().at(56));
    QCOMPARE(a.report()->Rows(), 2);
    QCOMPARE(a.report()->Table().at(1).mid(0, 10),
             QStringList({"1", "96.9", "Qd3h7", "Qxh7+", "", "57", "", "1", "10.0", "40.0"}));
    QCOMPARE(a.text("txtReport"),
             QStringLiteral("\n 96.8 01) Move:Qd3h7 Sol:Qxh7+solv01  Elap100  Save40  PosN057 "));
    // The next position is up and the clock runs for it.
    QVERIFY(a.clock()->isActive());
}

// Two sessions on the real timer: the first from the keyboard alone, the
// second with the mouse.
void TestSession::wholeSessionsFromKeyboardAndMouse()
{
    TrainerFixture fx;
    KestreluxTestAccess& a = fx.openOn(pawnPushSuite(30), true);
    QVERIFY(QTest::qWaitForWindowActive(&a.w));
    // A short allowance keeps timed-out attempts quick.
    a.setText("txtTimeForPosition", QStringLiteral("0.3"));
    auto* timer = a.element<QCheckBox>("chkTimer");
    const QString log = fx.dataFile(QStringLiteral("KXLog.txt"));

    for (int session = 1; session <= 2; ++session) {
        if (session == 1) {
            a.element<QPushButton>("cmdNew")->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        } else {
            QTest::mouseClick(a.element<QPushButton>("cmdNew"), Qt::LeftButton);
        }
        QVERIFY(timer->isChecked());
        QVERIFY(!a.element<QPushButton>("cmdNext")->isEnabled());
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(a.attemptCount(), i);
            // The board has the keyboard from the start: nothing to click between positions.
            QCOMPARE(QApplication::focusWidget(), a.board());
            // Solved, wrong and timed out in turn; nothing solved in session 2.
            QCoreApplication::processEvents(); // the player looks at the position first
            if (session == 1 && i % 3 < 2) {
                QTest::keyClicks(a.board(), i % 3 ? "ke1d2" : "e4");
                QTest::keyClick(a.board(), Qt::Key_Enter);
            } else if (i % 3 == 1) {
                a.playMove(e, 1, d, 1);
            }
            QTRY_COMPARE_WITH_TIMEOUT(a.attemptCount(), i + 1, 5000);
        }
        QVERIFY(!timer->isChecked());
        QVERIFY(a.element<QPushButton>("cmdNext")->isEnabled());
        QCOMPARE(a.report()->Rows(), 11);
        QCOMPARE(a.report()->TextMatrix(10, 0), QStringLiteral("10"));
        const QString report = a.text("txtReport");
        QCOMPARE(report.count(u'\n'), 12); // break, 10 attempts, break, summary
        QVERIFY(a.lastReportLine().contains(QLatin1String("tottime ")));
        QVERIFY(a.lastReportLine().contains(QLatin1String("WAC.EPD")));
        QCOMPARE(a.text("lblSolved"), session == 1 ? "4/10(40%)" : "0/10(0%)");
        QVERIFY(session == 1 ? a.text("lblPunti").toDouble() > 0 : a.text("lblPunti") == "0");
        QCOMPARE(readFile(log).count(QLatin1String("tottime ")), session);
        QVERIFY(readFile(log).endsWith(report + QLatin1Char('\n')));

        // A missed position from the report: the best move e2-e4 in green,
        // the user's king move in red.
        FlexGrid* grid = a.report();
        const QRect second = grid->visualRect(grid->model()->index(1, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
        QCOMPARE(a.currentPosition(), grid->TextMatrix(2, 5).toInt());
        QCOMPARE(a.marks(), session == 1 ? "e1r d2r e2g e4g" : "d1r e1r e2g e4g");
        a.w.ShowPosition(2); // the next position takes them away
        QCOMPARE(a.marks(), QString());
        a.clock()->stop();
        a.board()->setFocus();
    }
    QVERIFY(fx.messages.isEmpty());
}

void TestSession::judgedOnTheBoard_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("move"); // origin and destination clicked
    QTest::addColumn<bool>("solved");
    QTest::addColumn<QString>("solution"); // as the report shows it
    QTest::addColumn<bool>("analysed");    // the position was opened elsewhere
    const QString queens = "8/6k1/5pp1/Q6p/5P2/6PK/P4q1P/8 b - - bm Qf1+; id \"WAC.239\";";
    const QString opening = "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -";
    const QString knight = "4k3/8/8/8/8/8/8/1N2K1N1 w - - bm Nf3";
    QTest::newRow("white queen on Black's turn") << queens << "a5f1" << false << "Qf1+" << false;
    QTest::newRow("knight g1 to f3") << knight << "g1f3" << true << "Nf3" << false;
    QTest::newRow("right, but analysed") << knight << "g1f3" << false << "Nf3" << true;
    QTest::newRow("pawn to a3, no bm") << "4k3/8/8/8/8/8/P7/4K3 w - - id \"none\";"
                                       << "a2a3" << false << "a1" << false;
    QTest::newRow("six fields, coordinates") << opening + " 0 3 bm f1b5"
                                             << "f1b5" << true << "f1b5" << false;
    QTest::newRow("record of 40,000 characters")
        << opening + " c0 \"" + QString(40000, u'x') + "\"; bm Bb5;"
        << "f1b5" << true << "Bb5" << false;
}

void TestSession::judgedOnTheBoard()
{
    QFETCH(QString, record);
    QFETCH(QString, move);
    QFETCH(bool, solved);
    QFETCH(bool, analysed);
    TrainerFixture fx;
    KestreluxTestAccess& a = fx.openOn(QStringList(10, record), true);
    a.click("cmdNew");
    a.clock()->stop();
    a.session().setPositionAnalysed(analysed);
    QCOMPARE(a.text("txtFen"), kx::WithoutSolution(record)); // the answer is not on screen
    a.clickSquare(move.left(2));
    a.clickSquare(move.mid(2));
    a.finishAttempt();
    QCOMPARE(a.solvedCount(), solved ? 1 : 0);
    QTEST(a.report()->TextMatrix(1, 3), "solution");
    QCOMPARE(fx.messages, analysed ? QStringList{"Gia analizzato: non contato"} : QStringList());
}

// Clicks that form no legal move are no answer: the clock goes on, the line
// below the report says why, and a right move still solves the position.
void TestSession::onlyLegalMovesAnswer()
{
    TrainerFixture fx;
    KestreluxTestAccess& a =
        fx.openOn(QStringList(10, "4k3/8/8/8/8/8/4P3/4KN2 w - - bm e4; id \"T\";"), true);
    a.click("cmdNew");
    a.clock()->stop();
    const auto says = [&a](const char* from, const char* to) {
        a.clickSquare(QString::fromLatin1(from));
        if (*to)
            a.clickSquare(QString::fromLatin1(to));
        return a.text("lblTypedMove");
    };
    QCOMPARE(says("e8", "d7"), QStringLiteral("White is to move")); // the opponent's king
    QCOMPARE(says("e2", "e5"), QStringLiteral("the pawn on e2 cannot go to e5"));
    QVERIFY(!a.board()->OneSelected());
    says("e2", "f1"); // another piece of one's own is picked instead
    QVERIFY(a.board()->IsSelected(Pellomar::f, 1) && !a.board()->IsSelected(Pellomar::e, 2));
    for (int i = 0; i < 20; ++i)
        a.w.tmrTime_Timer();
    QCOMPARE(a.attemptCount(), 0);
    QTest::keyClicks(a.board(), "e4");
    QTest::keyClick(a.board(), Qt::Key_Return);
    a.finishAttempt();
    QCOMPARE(a.solvedCount(), 1);
    QVERIFY(a.text("lblVerdict").startsWith(QLatin1String("Right: Pe2e4 in 2.1 s")));
    QCOMPARE(a.report()->CellBackColor(1, 0), QColor(205, 240, 205));
}

// End after two positions: a session of two positions is logged; End before
// any is finished logs nothing.
void TestSession::endedEarly()
{
    TrainerFixture fx;
    KestreluxTestAccess& a = fx.openOn(pawnPushSuite(20), true);
    const QString log = fx.dataFile(QStringLiteral("KXLog.txt"));
    a.click("cmdNew");
    QVERIFY(!a.element<QPushButton>("cmdNew")->isEnabled());
    a.click("cmdEndSession");
    QVERIFY(!QFile::exists(log));
    QVERIFY(a.element<QPushButton>("cmdNew")->isEnabled());
    QVERIFY(!a.element<QPushButton>("cmdEndSession")->isEnabled());

    a.click("cmdNew");
    for (const char* move : {"e2e4", "e1d1"}) {
        a.clickSquare(QString::fromLatin1(move).left(2));
        a.clickSquare(QString::fromLatin1(move).mid(2));
        a.finishAttempt();
    }
    QTest::keyClick(&a.w, Qt::Key_Escape); // as End does
    QCOMPARE(readFile(log).count(QLatin1String("tottime ")), 1);
    QVERIFY2(a.lastReportLine().contains(QLatin1String(" 1/2(50%) ")),
             qPrintable(a.lastReportLine()));
    QVERIFY(a.text("lblVerdict").startsWith(QLatin1String("Session over: 1/2(50%) solved")));
    // The position box has the whole record again.
    QCOMPARE(a.text("txtFen"), a.w.shownPosition().record());
}

// A line of three moves of the user's typed on the board, each right one
// answered there by the line's next move; a wrong move or the time running
// out in mid-line misses it, and with the box off the first move is all.
void TestSession::wholeLines_data()
{
    QTest::addColumn<bool>("wholeLine");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<bool>("solved");
    QTest::addColumn<QString>("line"); // the text report's move and solution, as expanded
    QTest::addColumn<QString>("verdict");
    const QStringList all = {"a3", "b3", "c3"};
    QTest::newRow("played through")
        << true << "50" << all << true << "Move:Pa2a3 Pb2b3 Pc2c3 Sol:1.a3 Kd7 2.b3 Ke6 3.c3"
        << "Right: the whole line, 3 moves in";
    QTest::newRow("wrong second move")
        << true << "50" << QStringList{"a3", "c3"} << false << "Move:Pa2a3 Pc2c3 Sol:1.a3 Kd7 2.b3"
        << "Wrong at move 2 of the line: Pc2c3 - it goes 1.a3 Kd7 2.b3";
    QTest::newRow("time runs out in mid-line")
        << true << "1.5" << QStringList{"a3"} << false << "Move:Pa2a3 Sol:1.a3 Kd7 2.b3"
        << "Time is up at move 2 of the line: 1.a3 Kd7 2.b3";
    QTest::newRow("box off: the first move only")
        << false << "50" << QStringList{"a3"} << true << "Move:Pa2a3 Sol:a3"
        << "Right: Pa2a3 in";
}

void TestSession::wholeLines()
{
    QFETCH(bool, wholeLine);
    QFETCH(QString, seconds);
    QFETCH(QStringList, typed);
    TrainerFixture fx;
    KestreluxTestAccess& a = fx.openOn(
        QStringList(10, "4k3/8/8/8/8/8/PPP5/4K3 w - - bm a3; pv a3 Kd7 b3 Ke6 c3; id \"L\";"),
        true);
    a.element<QCheckBox>("chkWholeLine")->setChecked(wholeLine);
    a.setText("txtTimeForPosition", seconds);
    a.click("cmdNew");
    QVERIFY(!a.element<QCheckBox>("chkWholeLine")->isEnabled()); // a setting of the session
    const QStringList replies = {"Kd7", "Ke6"};
    for (int i = 0; i < typed.size(); ++i) {
        QCoreApplication::processEvents();
        QTest::keyClicks(a.board(), typed.at(i));
        QTest::keyClick(a.board(), Qt::Key_Enter);
        if (i + 1 == typed.size() || !wholeLine)
            break;
        // The trainer's move comes a moment later; meanwhile the board takes none.
        QTest::keyClicks(a.board(), replies.at(i));
        QTest::keyClick(a.board(), Qt::Key_Enter);
        QVERIFY(a.text("lblTypedMove").endsWith(QLatin1String("wait for the answer to your move")));
        QTest::keyClick(a.board(), Qt::Key_Escape);
        QTRY_COMPARE(a.w.shownPosition().moves().size(), 2 * i + 2);
        const auto square = i == 0 ? std::pair(d, 7) : std::pair(e, 6);
        QCOMPARE(a.board()->Piece(square.first, short(square.second)), BKing);
        QCOMPARE(a.marks(), i == 0 ? "d7? e8?" : "e6? d7?"); // the reply's squares, in blue
        QCOMPARE(a.attemptCount(), 0);
    }
    QTRY_COMPARE_WITH_TIMEOUT(a.attemptCount(), 1, 5000);
    QFETCH(bool, solved);
    QCOMPARE(a.solvedCount(), solved ? 1 : 0);
    QFETCH(QString, line);
    QVERIFY2(a.lastReportLine().contains(line), qPrintable(a.lastReportLine()));
    QFETCH(QString, verdict);
    QVERIFY2(a.text("lblVerdict").startsWith(verdict), qPrintable(a.text("lblVerdict")));
}

// Positions missed in a session come back in a review, lowest number first
// as all are due since today, each once; the review moves them between boxes,
// is logged as one, and the history outlives a restart but not a change of
// the position's record.
void TestSession::reviewBringsBackTheMisses()
{
    TrainerFixture fx;
    KestreluxTestAccess& first = fx.openOn(pawnPushSuite(20), true);
    auto* timer = first.element<QCheckBox>("chkTimer");
    first.click("cmdReview");
    QCOMPARE(fx.messages, QStringList{"Nothing to review in WAC.EPD"});
    QVERIFY(!timer->isChecked());

    first.click("cmdNew");
    std::set<qint32> missed;
    for (int i = 0; i < 10; ++i) {
        const qint32 position = playAttempt(first, i % 3 == 0);
        if (i % 3)
            missed.insert(position);
    }
    QVERIFY(!timer->isChecked());
    QCOMPARE(first.report()->TextMatrix(2, 6), QStringLiteral("1")); // missed: box 1

    first.click("cmdReview");
    QVERIFY(timer->isChecked());
    QCOMPARE(first.session().positions(), qint32(missed.size())); // fewer than ten
    QList<qint32> reviewed;
    while (timer->isChecked())
        reviewed << playAttempt(first, reviewed.size() > 0); // the first missed again
    QCOMPARE(reviewed, QList<qint32>(missed.begin(), missed.end()));
    QStringList boxes;
    for (int row = 1; row <= reviewed.size(); ++row)
        boxes << first.report()->TextMatrix(row, 6);
    QCOMPARE(boxes, QStringList{"1"} + QStringList(reviewed.size() - 1, "2"));
    QVERIFY(first.lastReportLine().endsWith(QLatin1String("[Review]")));
    QVERIFY(readFile(fx.dataFile("KXLog.txt")).endsWith(first.lastReportLine() + u'\n'));

    // After a restart only the one missed in the review is due.
    fx.window.reset();
    fx.open();
    KestreluxTestAccess& again = *fx.access;
    again.click("cmdReview");
    QCOMPARE(again.session().positions(), 1);
    QCOMPARE(again.currentPosition(), reviewed.first());
    playAttempt(again, false);

    // Its record changed, it is not reviewed, and the history forgets it.
    QStringList changed = pawnPushSuite(20);
    changed[reviewed.first() - 1] += QStringLiteral(" c0 \"edited\";");
    fx.addSuite(QStringLiteral("WAC.EPD"), changed);
    fx.messages.clear();
    again.click("cmdReview");
    QCOMPARE(fx.messages, QStringList{"Nothing to review in WAC.EPD"});
    const QString history = readFile(fx.dataFile("WAC.EPD_KXH.txt"));
    auto kept = [&](qint32 position) {
        return history.contains(u'\n' + QString::number(position) + u' ');
    };
    QVERIFY(!kept(reviewed.first()));
    for (qint32 position : reviewed.mid(1))
        QVERIFY(kept(position));
}

QTEST_MAIN(TestSession)
#include "tst_session.moc"
