// The main window: its elements, start-up in both modes, the window-wide
// switches, the setting checks, the suite list and size, showing positions
// and drawing them, every bad input ending in a message, and the helps of a
// friendly window (tooltips, Tab, Enter, the close question, kept settings).

#include "KestreluxTestAccess.h"
#include "TrainerFixture.h"

#include "LastChoices.h"
#include "NqCBoard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace Pellomar;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void elementsCarryTheirCaptions();
    void startsInNormalMode();
    void startsInStatisticsModeWithTheMarker();
    void startsWithTheFirstInstalledSuite();
    void switchesLockAndShowElements();
    void settingChecks_data();
    void settingChecks();
    void suiteSizeNeverExceedsTheFile_data();
    void suiteSizeNeverExceedsTheFile();
    void choosingASuiteDuringASessionChangesNothing();
    void showsPositionsFromCrLfSuites();
    void badPositionNumbersChangeNothing_data();
    void badPositionNumbersChangeNothing();
    void startRefusesAMissingSuite();
    void nextDrawsWithinTheSuite();
    void nextNeverDrawsABlankLine();
    void levelFilterKeepsToTheLimit();
    void levelFilterWithNoPositionWithinTheLimit();
    void downArrowInDifficultyShowsAnotherPosition();
    void boardWritesBackAsFen();
    void waitSecondsEndsAtZero();
    void everyControlSaysWhatItIs();
    void tabFollowsTheReadingOrder();
    void closingDuringASessionAsks_data();
    void closingDuringASessionAsks();
    void choicesAreKeptForTheNextStart_data();
    void choicesAreKeptForTheNextStart();
};

void TestMainWindow::elementsCarryTheirCaptions()
{
    // name=caption, as other code and the user know the elements.
    const QString table = QStringLiteral(
        "cmdExit=Exit|txtAnalyzeTime=30|cmdRecords=Scores|cmdWorst=worst|txtLivello=10|cmdWB=wb|"
        "chkTimer=Timer|chkAuto=Auto|cmdEngRestart=restart|cmdStopEng=StopEng|"
        "mnEngineStart=engine start|cmdSetEngine=Set Eng|txtPositionsForSession=10|"
        "cmdScanBM=ScanBm|chkAnalyze=Analyze|cmdAnalyze=Analyze|txtTimeForPosition=50|"
        "cmdNew=Start|CmdSolution=Solution|cmdNext=Next|Label13=  Side       To Move|"
        "lblSideToMove= WHITE|lblPunti=0|Label12=aTime|lblLivello=Livello|Label11=Risolto|"
        "Label10=Uscito|Label5=Commento|Label9=Depth|Label8=Pos/solv.|Label7=Elap. Sav|"
        "Label6=Time|Label4=Valutaz.|Label3=Difficolta|lblPositionsForSession=Pos/Sess|"
        "Label2=Fen|Label1=Pos N|lblTotSaved=0|lblSolved=0|lblTotTime=0|lblTime=0|"
        "lblTimeForPosition=Time/Pos|lblWaitTime=Wait|txtPos=|txtFen=|txtRisolto=|txtUscito=|"
        "txtDepth=|txtValutazione=|txtDifficolta=");
    TrainerFixture fx;
    frmKestrelux& w = fx.open();
    for (const QString& entry : table.split(u'|')) {
        const QString name = entry.section(u'=', 0, 0);
        const QString caption = entry.section(u'=', 1);
        QObject* element = w.findChild<QObject*>(name);
        QVERIFY2(element, qPrintable(name));
        QString text;
        if (auto* b = qobject_cast<QAbstractButton*>(element))
            text = b->text();
        else if (auto* l = qobject_cast<QLabel*>(element)) {
            text = l->text();
            // A caption is never cut off.
            QVERIFY2(l->wordWrap() || l->width() >= l->sizeHint().width(), qPrintable(name));
        } else if (auto* t = qobject_cast<QLineEdit*>(element))
            text = t->text();
        QCOMPARE(text, caption);
    }
    for (const char* name : {"txtReport", "txtCommento", "grdReport", "Grid", "cmbEPDFile",
                             "CBoard", "ENGINE", "tmrTime"})
        QVERIFY2(w.findChild<QObject*>(QLatin1String(name)), name);
    // The table's position numbers show whole, up to the largest suite.
    FlexGrid* grid = KestreluxTestAccess(w).grid();
    QVERIFY(grid->columnWidth(0) > grid->fontMetrics().horizontalAdvance(QStringLiteral("32767")));
}

void TestMainWindow::startsInNormalMode()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(300));
    fx.writeFile(
        fx.programFile(QStringLiteral("Kestrelux.ini")),
        "[kestrelux]\r\nengine =   /opt/my engine/bin/eng  \r\nCommandLine= -x \"a,b\" c:\\d \r\n");
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    QCOMPARE(w.windowTitle(), QStringLiteral("Kestrelux Ver.1.0 rev.1"));
    QVERIFY(!a.statsMode());
    QCOMPARE(a.LastEngine(), QStringLiteral("/opt/my engine/bin/eng"));
    QCOMPARE(a.LastCommandLine(), QStringLiteral("-x \"a,b\" c:\\d"));
    QCOMPARE(a.defaultEngineMissing(), !a.defaultEngineFound());
    QCOMPARE(a.element<QLineEdit>("txtWaitTime")->text(),
             QLatin1String(a.defaultEngineFound() ? "4" : "1"));
    QCOMPARE(a.suiteSize(), qint16(300));
    QCOMPARE(a.timePerPosition(), 50.0);
    QVERIFY(!a.clock()->isActive());

    for (const char* name : {"cmdScanBM", "cmdWorst", "Grid", "txtReport", "txtCommento",
                             "chkTimer", "chkAnalyze", "txtLivello", "Label3", "mnEngineStart"})
        QVERIFY2(!a.element<QWidget>(name)->isVisible(), name);
    for (const char* name : {"cmdNew", "cmdNext", "CBoard", "grdReport", "txtFen"})
        QVERIFY2(a.element<QWidget>(name)->isVisible(), name);

    // The window ends just below the board.
    QCOMPARE(w.height(), (a.board()->y() * 15 + a.board()->height() * 15 + 480) / 15);
    // The report fills the width beside the board.
    QCOMPARE(a.report()->width() * 15, w.width() * 15 - 300 - a.board()->width() * 15);
    QCOMPARE(a.report()->TextMatrix(0, 0), QStringLiteral("n."));
    QCOMPARE(a.report()->TextMatrix(0, 9), QStringLiteral("Sav"));
    QCOMPARE(a.report()->ColWidth(7), 0);

    auto* suites = a.element<QComboBox>("cmbEPDFile");
    QCOMPARE(suites->currentText(), QStringLiteral("WAC.EPD"));
    QCOMPARE(suites->itemText(0), QStringLiteral("WAC.EPD"));
    QCOMPARE(suites->itemText(1), QStringLiteral("BWTC.EPD"));
    QCOMPARE(suites->itemText(2), QStringLiteral("WCSAC.EPD"));
}

void TestMainWindow::startsInStatisticsModeWithTheMarker()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(20));
    fx.writeFile(fx.dataFile(QStringLiteral("zantex.txt")), "");
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    QVERIFY(a.statsMode());
    QCOMPARE(w.height(), 8700 / 15);
    for (const char* name : {"cmdScanBM", "cmdWorst", "Grid", "txtReport", "txtCommento",
                             "chkTimer", "chkAnalyze", "txtLivello", "Label3", "mnEngineStart"})
        QVERIFY2(a.element<QWidget>(name)->isVisible(), name);
    // No statistics file yet: the table holds its header row only, nothing to draw.
    QCOMPARE(a.grid()->Rows(), 1);
    QCOMPARE(a.suiteSize(), qint16(0));
}

void TestMainWindow::startsWithTheFirstInstalledSuite()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("KESTREL.EPD"), pawnPushSuite(12));
    fx.addSuite(QStringLiteral("mine.epd"), pawnPushSuite(3));
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    auto* suites = a.element<QComboBox>("cmbEPDFile");
    QCOMPARE(suites->currentText(), QStringLiteral("KESTREL.EPD"));
    QCOMPARE(suites->count(), 5);
    QCOMPARE(suites->itemText(4), QStringLiteral("mine.epd"));
    QCOMPARE(a.suiteSize(), qint16(12));

    QTest::mouseClick(a.element<QPushButton>("cmdNew"), Qt::LeftButton);
    QVERIFY(fx.messages.isEmpty());
    QVERIFY(a.currentPosition() >= 1 && a.currentPosition() <= 12);
}

void TestMainWindow::switchesLockAndShowElements()
{
    TrainerFixture fx;
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.show();
    auto* timer = a.element<QCheckBox>("chkTimer");

    timer->setChecked(true);
    for (const char* name : {"txtTimeForPosition", "txtPositionsForSession", "txtFen", "txtPos",
                             "cmbEPDFile", "cmdRecords", "cmdSetEngine", "cmdAnalyze", "cmdExit",
                             "cmdNew", "cmdNext", "CmdSolution"})
        QVERIFY2(!a.element<QWidget>(name)->isEnabled(), name);
    QVERIFY(a.element<QWidget>("CBoard")->isEnabled());

    timer->setChecked(false);
    for (const char* name : {"cmdNew", "cmdNext", "CmdSolution", "cmdExit", "txtPos"})
        QVERIFY2(a.element<QWidget>(name)->isEnabled(), name);
    // Unlocking shows the position table and comment, even in normal mode.
    QVERIFY(a.grid()->isVisibleTo(&w));
    QVERIFY(a.element<QWidget>("txtCommento")->isVisibleTo(&w));

    w.ShowStatsControls(true);
    QVERIFY(a.element<QWidget>("cmdWB")->isVisibleTo(&w));
    QVERIFY(a.element<QWidget>("chkAuto")->isVisibleTo(&w));
    w.ShowStatsControls(false);
    QVERIFY(!a.element<QWidget>("cmdWB")->isVisibleTo(&w));
    QVERIFY(!a.grid()->isVisibleTo(&w));
}

void TestMainWindow::settingChecks_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    const QString pos = QStringLiteral("txtPositionsForSession");
    const QString time = QStringLiteral("txtTimeForPosition");
    QTest::newRow("positions 5") << pos << "5"
                                 << "10";
    QTest::newRow("positions 2000") << pos << "2000"
                                    << "10";
    QTest::newRow("positions text") << pos << "many"
                                    << "10";
    QTest::newRow("positions 12abc") << pos << "12abc"
                                     << "10";
    QTest::newRow("positions 1000") << pos << "1000"
                                    << "1000";
    QTest::newRow("positions 10") << pos << "10"
                                  << "10";
    QTest::newRow("positions fraction rounds") << pos << "12.5"
                                               << "12";
    QTest::newRow("time 0") << time << "0"
                            << "50";
    QTest::newRow("time 1001") << time << "1001"
                               << "50";
    QTest::newRow("time text") << time << "soon"
                               << "50";
    QTest::newRow("time -5") << time << "-5"
                             << "-5";
    QTest::newRow("time 1000") << time << "1000"
                               << "1000";
    QTest::newRow("time 7.5") << time << "7.5"
                              << "7.5";
}

void TestMainWindow::settingChecks()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    TrainerFixture fx;
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* edit = a.element<QLineEdit>(qPrintable(box));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    // Leaving the box checks it.
    a.element<QLineEdit>("txtPos")->setFocus();
    QTRY_COMPARE(edit->text(), kept);
}

void TestMainWindow::suiteSizeNeverExceedsTheFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("size");
    QTest::newRow("WAC.EPD complete") << "WAC.EPD" << 300 << 300;
    QTest::newRow("WAC.EPD short") << "WAC.EPD" << 40 << 40;
    QTest::newRow("WCSAC.EPD short") << "WCSAC.EPD" << 7 << 7;
    QTest::newRow("name outside the table") << "Mine.epd" << 23 << 23;
    QTest::newRow("missing file") << "Gone.epd" << -1 << 0;
}

void TestMainWindow::suiteSizeNeverExceedsTheFile()
{
    QFETCH(QString, name);
    QFETCH(int, lines);
    QFETCH(int, size);
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(300));
    if (lines >= 0)
        fx.addSuite(name, pawnPushSuite(lines));
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    auto* suites = a.element<QComboBox>("cmbEPDFile");
    suites->setEditText(name);
    w.cmbEPDFile_Click();
    QCOMPARE(int(a.suiteSize()), size);

    // A draw never points beyond the file; an empty size refuses plainly.
    a.element<QPushButton>("cmdNext")->click();
    if (size == 0) {
        QCOMPARE(fx.messages.size(), 1);
        QVERIFY(fx.messages.first().contains(name));
        QCOMPARE(a.currentPosition(), 0);
    } else {
        QVERIFY(fx.messages.isEmpty());
        QVERIFY(a.currentPosition() >= 1 && a.currentPosition() <= size);
    }
}

void TestMainWindow::choosingASuiteDuringASessionChangesNothing()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(300));
    fx.addSuite(QStringLiteral("small.epd"), pawnPushSuite(5));
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    a.element<QPushButton>("cmdNew")->click();
    const qint32 shown = a.currentPosition();
    QVERIFY(shown > 0);
    auto* suites = a.element<QComboBox>("cmbEPDFile");
    suites->setEditText(QStringLiteral("small.epd"));
    w.cmbEPDFile_Click();
    QCOMPARE(a.suiteSize(), qint16(300));
    QCOMPARE(a.currentPosition(), shown);
    QCOMPARE(a.element<QLineEdit>("txtPos")->text(), QString::number(shown));
}

void TestMainWindow::showsPositionsFromCrLfSuites()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"),
                {QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 w - - bm e4; id \"one\";"),
                 QStringLiteral("8/8/8/8/8/8/8/8 b - - bm a1; id \"two\";"),
                 QStringLiteral("r3k2r/8/8/8/8/8/8/R3K2R B KQkq -")},
                "\r\n");
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    auto* fen = a.element<QLineEdit>("txtFen");
    auto* side = a.element<QLabel>("lblSideToMove");
    auto* pos = a.element<QLineEdit>("txtPos");

    pos->setText(QStringLiteral("2"));
    QTest::mouseDClick(pos, Qt::LeftButton);
    QVERIFY(fx.messages.isEmpty());
    QCOMPARE(fen->text(), QStringLiteral("8/8/8/8/8/8/8/8 b - - bm a1; id \"two\";"));
    QCOMPARE(side->text(), QStringLiteral("black"));
    QCOMPARE(side->palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(side->palette().color(QPalette::WindowText), QColor(Qt::white));
    QVERIFY(a.board()->ReverseBoard());
    for (short r = 1; r <= 8; ++r)
        for (int c = 1; c <= 8; ++c)
            QCOMPARE(a.board()->Piece(Column(c), r), NoPiece);

    pos->setText(QStringLiteral("1"));
    QTest::keyClick(pos, Qt::Key_Return); // Enter shows it as a double-click does
    QCOMPARE(fen->text(), QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 w - - bm e4; id \"one\";"));
    QCOMPARE(side->text(), QStringLiteral("WHITE"));
    QCOMPARE(side->palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(!a.board()->ReverseBoard());
    QCOMPARE(a.board()->Piece(e, 2), Wpawn);
    QCOMPARE(a.board()->Piece(e, 8), BKing);
    QCOMPARE(a.currentPosition(), 1);
    QCOMPARE(pos->text(), QStringLiteral("1"));
    QVERIFY(a.clock()->isActive());
    QCOMPARE(a.elapsedTime(), 0.0);

    // Upper-case side letter: Black to move.
    w.ShowPosition(3);
    QCOMPARE(side->text(), QStringLiteral("black"));
    QCOMPARE(a.board()->Piece(h, 1), WRook);
}

void TestMainWindow::badPositionNumbersChangeNothing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("zero") << "0";
    QTest::newRow("negative") << "-3";
    QTest::newRow("beyond the file") << "4";
    QTest::newRow("not a number") << "next";
}

void TestMainWindow::badPositionNumbersChangeNothing()
{
    QFETCH(QString, typed);
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(3));
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.ShowPosition(2);
    const QString before = a.element<QLineEdit>("txtFen")->text();

    auto* pos = a.element<QLineEdit>("txtPos");
    pos->setText(typed);
    QTest::mouseDClick(pos, Qt::LeftButton);
    QCOMPARE(fx.messages.size(), 1);
    QVERIFY2(fx.messages.first().contains(QLatin1String("WAC.EPD")),
             qPrintable(fx.messages.first()));
    QCOMPARE(a.currentPosition(), 2);
    QCOMPARE(a.element<QLineEdit>("txtFen")->text(), before);
    QCOMPARE(a.board()->Piece(e, 2), Wpawn);
}

void TestMainWindow::startRefusesAMissingSuite()
{
    TrainerFixture fx; // no suite at all in the program folder
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    a.element<QPushButton>("cmdNew")->click();
    QCOMPARE(fx.messages.size(), 1);
    QVERIFY(fx.messages.first().contains(QLatin1String("WAC.EPD")));
    QVERIFY(!a.element<QCheckBox>("chkTimer")->isChecked());
    QCOMPARE(a.currentPosition(), 0);

    a.element<QPushButton>("CmdSolution")->click(); // nothing shown, nothing to say
    QCOMPARE(fx.messages.size(), 1);
}

void TestMainWindow::nextDrawsWithinTheSuite()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(5));
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.randomSource().Seed(20261207);
    QMap<int, int> seen;
    for (int i = 0; i < 800; ++i) {
        w.cmdNext_Click();
        ++seen[a.currentPosition()];
    }
    QVERIFY(fx.messages.isEmpty());
    QCOMPARE(seen.firstKey(), 1);
    QCOMPARE(seen.lastKey(), 5);
    // The two ends are drawn about half as often as the middle positions.
    QVERIFY(seen[1] < seen[3] * 0.75);
    QVERIFY(seen[5] < seen[3] * 0.75);
    QVERIFY(seen[2] > seen[1] && seen[4] > seen[5]);
}

void TestMainWindow::nextNeverDrawsABlankLine()
{
    TrainerFixture fx;
    const QString record = pawnPushSuite(1).first();
    fx.addSuite(QStringLiteral("WAC.EPD"), {"", record, "   ", "\t ", record, ""});
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.randomSource().Seed(12);
    QSet<int> shown;
    for (int i = 0; i < 60; ++i) {
        w.cmdNext_Click();
        shown.insert(a.currentPosition());
    }
    QCOMPARE(shown, (QSet<int>{2, 5}));
    QVERIFY(fx.messages.isEmpty());

    // Nothing but blank lines: a session cannot start, and the user is told why.
    fx.addSuite(QStringLiteral("WAC.EPD"), {"", " ", ""});
    w.SetSuiteSize();
    a.currentPosition() = 0;
    a.element<QPushButton>("cmdNew")->click();
    QCOMPARE(fx.messages, QStringList{"The suite WAC.EPD holds no positions to draw from."});
    QCOMPARE(a.currentPosition(), 0);
    QVERIFY(!a.element<QCheckBox>("chkTimer")->isChecked());
}

void TestMainWindow::levelFilterKeepsToTheLimit()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(6));
    fx.writeFile(fx.dataFile(QStringLiteral("zantex.txt")), "");
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    QVERIFY(a.statsMode());
    a.suiteSize() = 6;
    FlexGrid* table = a.grid();
    table->setRows(7);
    const int levels[] = {0, 7, 3, 5, 2, 6, 7};
    for (int row = 1; row <= 6; ++row)
        table->setTextMatrix(row, 5, QString::number(levels[row]));
    a.element<QLineEdit>("txtLivello")->setText(QStringLiteral("3"));

    w.randomSource().Seed(7);
    QSet<int> shown;
    for (int i = 0; i < 60; ++i) {
        a.element<QPushButton>("cmdNext")->click();
        shown.insert(a.currentPosition());
        // The panel follows the table's row.
        QCOMPARE(a.element<QLineEdit>("txtDifficolta")->text(),
                 QString::number(levels[a.currentPosition()]));
    }
    QCOMPARE(shown, (QSet<int>{2, 4}));
    QCOMPARE(a.levelTag(), QStringLiteral("[Liv<=3]"));
    QVERIFY(fx.messages.isEmpty());
    QCOMPARE(table->CellBackColor(2, 1), QColor(224, 255, 255));
}

void TestMainWindow::levelFilterWithNoPositionWithinTheLimit()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(3));
    fx.writeFile(fx.dataFile(QStringLiteral("zantex.txt")), "");
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    a.suiteSize() = 3;
    a.grid()->setRows(4);
    for (int row = 1; row <= 3; ++row)
        a.grid()->setTextMatrix(row, 5, QStringLiteral("9"));
    a.element<QLineEdit>("txtLivello")->setText(QStringLiteral("2"));
    w.cmdNext_Click();
    QCOMPARE(fx.messages.size(), 1);
    QCOMPARE(a.currentPosition(), 0);
}

void TestMainWindow::downArrowInDifficultyShowsAnotherPosition()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(300));
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.ShowStatsControls(true);
    w.show();
    auto* difficulty = a.element<QLineEdit>("txtDifficolta");
    QTest::keyClick(difficulty, Qt::Key_Up);
    QTest::keyClick(difficulty, '('); // its key code is the Down arrow's number
    QCOMPARE(a.currentPosition(), 0);
    QTest::keyClick(difficulty, Qt::Key_Down);
    QVERIFY(a.currentPosition() >= 1);
}

void TestMainWindow::boardWritesBackAsFen()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"),
                {QStringLiteral("rnbqkbnr/pppppppp/44/8/8/17/PPPPPPPP/RNBQKBNR w KQkq e3 bm e4;")});
    frmKestrelux& w = fx.open();
    w.ShowPosition(1);
    QCOMPARE(w.BoardToFen(), QStringLiteral("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -"));
}

void TestMainWindow::waitSecondsEndsAtZero()
{
    qint32 n = 0;
    frmKestrelux::WaitSeconds(n);
    QCOMPARE(n, 0);
    n = 1;
    frmKestrelux::WaitSeconds(n);
    QCOMPARE(n, 0);
}

void TestMainWindow::everyControlSaysWhatItIs()
{
    TrainerFixture fx;
    frmKestrelux& w = fx.open();
    QStringList silent;
    for (QWidget* c : w.findChildren<QWidget*>()) {
        // Every named control; boxes without a caption of their own; short captions.
        const bool needs =
            qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c) ||
            qobject_cast<QComboBox*>(c) || qobject_cast<QAbstractItemView*>(c) ||
            qobject_cast<QPlainTextEdit*>(c) ||
            QRegularExpression("^lbl|^Label[78]$|^CBoard$").match(c->objectName()).hasMatch();
        if (needs && !c->objectName().isEmpty() && c->toolTip().isEmpty())
            silent << c->objectName();
    }
    QCOMPARE(silent, QStringList());
    // The two boxes after "Elap. Sav" each say which they are.
    KestreluxTestAccess a(w);
    QVERIFY(a.element<QWidget>("lblTotTime")->toolTip().startsWith(QLatin1String("Elap:")));
    QVERIFY(a.element<QWidget>("lblTotSaved")->toolTip().startsWith(QLatin1String("Sav:")));
}

void TestMainWindow::tabFollowsTheReadingOrder()
{
    TrainerFixture fx;
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // As after a session, when the table and comment count as shown, out of sight.
    a.element<QCheckBox>("chkTimer")->setChecked(true);
    a.element<QCheckBox>("chkTimer")->setChecked(false);
    a.board()->setFocus();
    QStringList visited;
    for (int i = 0; i < 14; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QWidget* focus = QApplication::focusWidget();
        // The suite box takes the keyboard in its (unnamed) line.
        visited << (focus->objectName().isEmpty() ? focus->parentWidget() : focus)->objectName();
    }
    // Settings, buttons, the report (which lets Tab go on), and round again.
    QCOMPARE(visited.join(' '), QStringLiteral("txtPos txtFen txtPositionsForSession "
                                               "txtTimeForPosition cmbEPDFile cmdNew cmdNext "
                                               "CmdSolution cmdAnalyze cmdRecords cmdSetEngine "
                                               "cmdExit grdReport CBoard"));
}

void TestMainWindow::closingDuringASessionAsks_data()
{
    QTest::addColumn<bool>("session");
    QTest::addColumn<int>("answer");
    QTest::newRow("no session: closes unasked") << false << int(QMessageBox::No);
    QTest::newRow("session, No: goes on") << true << int(QMessageBox::No);
    QTest::newRow("session, Yes: closes") << true << int(QMessageBox::Yes);
}

void TestMainWindow::closingDuringASessionAsks()
{
    QFETCH(bool, session);
    QFETCH(int, answer);
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(20));
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.show();
    int asked = 0;
    w.setDialogRunner([&](QDialog&) { return ++asked, answer; });
    if (session)
        a.element<QPushButton>("cmdNew")->click();
    const bool closes = !session || answer == QMessageBox::Yes;
    QCOMPARE(w.close(), closes);
    QCOMPARE(asked, int(session));
    if (!closes) {
        // The session goes on, its clock running: the next move still counts.
        QVERIFY(w.isVisible() && a.clock()->isActive());
        a.playMove(e, 2, e, 4);
        w.tmrTime_Timer();
        QCOMPARE(a.solvedCount(), 1);
    }
    QVERIFY(!QFile::exists(fx.dataFile(QStringLiteral("KXLog.txt"))));
}

void TestMainWindow::choicesAreKeptForTheNextStart_data()
{
    QTest::addColumn<QString>("chosen"); // suite|positions|seconds
    QTest::addColumn<QString>("restored");
    QTest::newRow("as chosen") << "mine.epd|25|7.5"
                               << "mine.epd|25|7.5";
    QTest::newRow("a suite gone, settings out of range") << "gone.epd|5|0"
                                                         << "WAC.EPD|10|50";
}

void TestMainWindow::choicesAreKeptForTheNextStart()
{
    QFETCH(QString, chosen);
    QFETCH(QString, restored);
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(20));
    fx.addSuite(QStringLiteral("mine.epd"), pawnPushSuite(12));
    const QByteArray settings = "[Kestrelux]\nEngine=x\n";
    fx.writeFile(fx.programFile(QStringLiteral("Kestrelux.ini")), settings);
    const char* boxes[] = {"txtPositionsForSession", "txtTimeForPosition"};
    {
        frmKestrelux& w = fx.open();
        KestreluxTestAccess a(w);
        a.element<QComboBox>("cmbEPDFile")->setEditText(chosen.section(u'|', 0, 0));
        w.cmbEPDFile_Click();
        for (int i = 0; i < 2; ++i)
            a.element<QLineEdit>(boxes[i])->setText(chosen.section(u'|', i + 1, i + 1));
        QVERIFY(w.close());
    }
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    QStringList shown = {a.element<QComboBox>("cmbEPDFile")->currentText()};
    for (const char* box : boxes)
        shown << a.element<QLineEdit>(box)->text();
    QCOMPARE(shown.join(u'|'), restored);
    QCOMPARE(a.suiteSize(), qint16(restored.startsWith(QLatin1String("mine")) ? 12 : 20));
    QCOMPARE(a.timePerPosition(), restored.section(u'|', 2).toDouble());
    // In a file of their own: the settings file keeps the engine's keys only.
    QCOMPARE(QFile(a.settingsFile()).size(), qint64(settings.size()));
    QVERIFY(QFile::exists(fx.dataFile(QLatin1String(kx::kLastChoicesFileName))));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
