// The main window: its elements, start-up in both modes, the window-wide
// switches, the setting checks, the suite list and size, showing positions
// and drawing them, every bad input ending in a message, and the helps of a
// friendly window (tooltips, Tab, Enter, the close question, kept settings).

#include "KestreluxTestAccess.h"
#include "TrainerFixture.h"

#include "LastChoices.h"
#include "NqCBoard.h"
#include "StatsFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace Pellomar;

namespace {

// Shown in statistics mode only.
const char* const kStatsElements[] = {"cmdScanBM",  "txtReport",    "chkTimer", "txtLivello",
                                      "cmdWorst",   "Grid",         "Label3",   "txtCommento",
                                      "chkAnalyze", "mnEngineStart"};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void elementsCarryTheirCaptions();
    void startsInEitherMode_data();
    void startsInEitherMode();
    void suiteListFollowsTheFolders();
    void switchesLockAndShowElements();
    void settingChecks_data();
    void settingChecks();
    void suiteSizeNeverExceedsTheFile_data();
    void suiteSizeNeverExceedsTheFile();
    void choosingASuiteDuringASessionChangesNothing();
    void showsPositionsFromCrLfSuites();
    void trainsOnAPuzzleCollection();
    void showsAnyPositionOfAHugeSuite();
    void levelFilterKeepsToTheLimit();
    void downArrowInDifficultyShowsAnotherPosition();
    void tooltipsAndTabOrder();
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
        "cmdNew=Start|cmdReview=Review|CmdSolution=Solution|cmdNext=Next|"
        "Label13=  Side       To Move|lblSideToMove= WHITE|lblPunti=0|"
        "Label12=aTime|lblLivello=Livello|Label11=Risolto|"
        "Label10=Uscito|Label5=Commento|Label9=Depth|Label8=Pos/solv.|Label7=Elap. Sav|"
        "Label6=Time|Label4=Valutaz.|Label3=Difficolta|lblPositionsForSession=Pos/Sess|"
        "Label2=Fen|Label1=Pos N|lblTotSaved=0|lblSolved=0|lblTotTime=0|lblTime=0|"
        "lblTimeForPosition=Time/Pos|lblWaitTime=Wait|txtPos=|txtFen=|txtRisolto=|txtUscito=|"
        "txtDepth=|txtValutazione=|txtDifficolta=");
    TrainerFixture fx;
    fx.open();
    KestreluxTestAccess& a = *fx.access;
    for (const QString& entry : table.split(u'|')) {
        const QByteArray name = entry.section(u'=', 0, 0).toLatin1();
        QVERIFY2(a.element<QObject>(name), name.constData());
        QCOMPARE(a.text(name), entry.section(u'=', 1));
        // A caption is never cut off.
        if (auto* l = a.w.findChild<QLabel*>(QLatin1String(name)))
            QVERIFY2(l->wordWrap() || l->width() >= l->sizeHint().width(), name.constData());
    }
    for (const char* name : {"txtReport", "txtCommento", "grdReport", "Grid", "cmbEPDFile",
                             "CBoard", "ENGINE", "tmrTime"})
        QVERIFY2(a.element<QObject>(name), name);
    // The table's position numbers show whole, up to the largest suite.
    QVERIFY(a.grid()->columnWidth(0) >
            a.grid()->fontMetrics().horizontalAdvance(QStringLiteral("32767")));
}

void TestMainWindow::startsInEitherMode_data()
{
    QTest::addColumn<bool>("stats");
    QTest::newRow("normal") << false;
    QTest::newRow("statistics, with the marker file") << true;
}

void TestMainWindow::startsInEitherMode()
{
    QFETCH(bool, stats);
    TrainerFixture fx;
    fx.writeFile(
        fx.programFile(QStringLiteral("Kestrelux.ini")),
        "[kestrelux]\r\nengine =   /opt/my engine/bin/eng  \r\nCommandLine= -x \"a,b\" c:\\d "
        "\r\nprotocol= Uci\r\n");
    if (stats)
        fx.writeFile(fx.dataFile(QStringLiteral("zantex.txt")), "");
    KestreluxTestAccess& a = fx.openOn(pawnPushSuite(300), true);
    frmKestrelux& w = a.w;
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    for (const char* name : kStatsElements)
        QVERIFY2(a.element<QWidget>(name)->isVisible() == stats, name);
    for (const char* name : {"cmdNew", "cmdNext", "CBoard", "grdReport", "txtFen"})
        QVERIFY2(a.element<QWidget>(name)->isVisible(), name);
    QCOMPARE(w.windowTitle(), QStringLiteral("Kestrelux Ver.1.0 rev.1"));
    // The engine setup shows the engine read, the blanks around it gone.
    QCOMPARE(a.engineShown(), QStringLiteral("/opt/my engine/bin/eng|-x \"a,b\" c:\\d|UCI"));
    const bool stockfish = QFile::exists(QStringLiteral("/usr/games/stockfish"));
    QCOMPARE(a.text("txtWaitTime"), QLatin1String(stockfish ? "4" : "1"));
    QVERIFY(!a.clock()->isActive());
    if (stats) {
        QCOMPARE(w.height(), 8700 / 15);
        // No statistics file yet: the table holds its header row only, nothing to draw.
        QCOMPARE(a.grid()->Rows(), 1);
        QCOMPARE(a.w.suiteSize(), 0);
        return;
    }
    QCOMPARE(a.w.suiteSize(), 300);
    // The window ends just below the board; the report fills the width beside it.
    QCOMPARE(w.height(), (a.board()->y() * 15 + a.board()->height() * 15 + 480) / 15);
    QCOMPARE(a.report()->width() * 15, w.width() * 15 - 300 - a.board()->width() * 15);
    QCOMPARE(a.report()->TextMatrix(0, 0), QStringLiteral("n."));
    QCOMPARE(a.report()->TextMatrix(0, 9), QStringLiteral("Sav"));
    QCOMPARE(a.report()->ColWidth(7), 0);
    auto* suites = a.element<QComboBox>("cmbEPDFile");
    QCOMPARE(suites->currentText(), QStringLiteral("WAC.EPD"));
    QCOMPARE(QStringList({suites->itemText(0), suites->itemText(1), suites->itemText(2)}),
             QStringList({"WAC.EPD", "BWTC.EPD", "WCSAC.EPD"}));
}

// The first installed suite at start, files added later, and files from elsewhere.
void TestMainWindow::suiteListFollowsTheFolders()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("KESTREL.EPD"), pawnPushSuite(12));
    fx.addSuite(QStringLiteral("mine.epd"), pawnPushSuite(3));
    fx.open();
    KestreluxTestAccess& a = *fx.access;
    auto* suites = a.element<QComboBox>("cmbEPDFile");
    QCOMPARE(suites->currentText(), QStringLiteral("KESTREL.EPD"));
    QCOMPARE(suites->count(), 6);
    QCOMPARE(suites->itemText(4), QStringLiteral("mine.epd"));
    QCOMPARE(suites->itemText(5), QStringLiteral("Open..."));
    QCOMPARE(a.w.suiteSize(), 12);
    QTest::mouseClick(a.element<QPushButton>("cmdNew"), Qt::LeftButton);
    QVERIFY(fx.messages.isEmpty());
    QVERIFY(a.currentPosition() >= 1 && a.currentPosition() <= 12);
    a.click("cmdEndSession");

    // A suite copied into the data folder while the program runs is listed.
    fx.writeFile(fx.dataFile(QStringLiteral("new.epd")), pawnPushSuite(2).join(u'\n').toUtf8());
    QTRY_COMPARE(suites->findText(QStringLiteral("new.epd")), 5);
    QCOMPARE(suites->currentText(), QStringLiteral("KESTREL.EPD"));

    // Open... trains on a file from anywhere, and the next start has it again.
    QTemporaryDir elsewhere;
    const QString file = elsewhere.filePath(QStringLiteral("far.epd"));
    fx.writeFile(file, pawnPushSuite(7).join(u'\n').toUtf8());
    a.w.setDialogRunner([&](QDialog& dialog) {
        static_cast<QFileDialog&>(dialog).selectFile(file);
        return int(QDialog::Accepted);
    });
    suites->activated(suites->count() - 1);
    QCOMPARE(suites->currentText(), QStringLiteral("far.epd"));
    QCOMPARE(a.w.suiteSize(), 7);
    auto* pos = a.element<QLineEdit>("txtPos"); // Pos N shows the new suite's position
    pos->setText(QStringLiteral("3"));
    QTest::keyClick(pos, Qt::Key_Return);
    QVERIFY2(a.text("txtFen").endsWith(QLatin1String("id \"T.3\";")), qPrintable(a.text("txtFen")));
    QVERIFY(a.w.close());
    fx.open();
    QCOMPARE(fx.access->element<QComboBox>("cmbEPDFile")->currentText(), QStringLiteral("far.epd"));
    QCOMPARE(fx.window->suiteSize(), 7);
}

void TestMainWindow::switchesLockAndShowElements()
{
    TrainerFixture fx;
    fx.open().show();
    KestreluxTestAccess& a = *fx.access;
    auto* timer = a.element<QCheckBox>("chkTimer");
    timer->setChecked(true);
    for (const char* name : {"txtTimeForPosition", "txtPositionsForSession", "txtFen", "txtPos",
                             "cmbEPDFile", "cmdRecords", "cmdSetEngine", "cmdAnalyze", "cmdExit",
                             "cmdNew", "cmdReview", "cmdNext", "CmdSolution"})
        QVERIFY2(!a.element<QWidget>(name)->isEnabled(), name);
    QVERIFY(a.element<QWidget>("CBoard")->isEnabled());

    timer->setChecked(false);
    for (const char* name : {"cmdNew", "cmdNext", "CmdSolution", "cmdExit", "txtPos"})
        QVERIFY2(a.element<QWidget>(name)->isEnabled(), name);
    // Unlocking shows the position table and comment, even in normal mode.
    QVERIFY(a.grid()->isVisibleTo(&a.w));
    QVERIFY(a.element<QWidget>("txtCommento")->isVisibleTo(&a.w));

    a.w.ShowStatsControls(true);
    QVERIFY(a.element<QWidget>("cmdWB")->isVisibleTo(&a.w));
    QVERIFY(a.element<QWidget>("chkAuto")->isVisibleTo(&a.w));
    a.w.ShowStatsControls(false);
    QVERIFY(!a.element<QWidget>("cmdWB")->isVisibleTo(&a.w));
    QVERIFY(!a.grid()->isVisibleTo(&a.w));
}

void TestMainWindow::settingChecks_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    const auto row = [](const char* box, const char* typed, const char* kept) {
        QTest::addRow("%s %s", box, typed) << box << typed << kept;
    };
    for (const char* typed : {"5", "2000", "many", "12abc", "10"})
        row("txtPositionsForSession", typed, "10");
    row("txtPositionsForSession", "1000", "1000");
    row("txtPositionsForSession", "12.5", "12"); // a fraction rounds
    for (const char* typed : {"0", "1001", "soon"})
        row("txtTimeForPosition", typed, "50");
    for (const char* typed : {"-5", "1000", "7.5"})
        row("txtTimeForPosition", typed, typed);
}

void TestMainWindow::settingChecks()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    TrainerFixture fx;
    fx.open().show();
    QVERIFY(QTest::qWaitForWindowExposed(fx.window.get()));
    auto* edit = fx.access->element<QLineEdit>(qPrintable(box));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    fx.access->element<QLineEdit>("txtPos")->setFocus(); // leaving the box checks it
    QTRY_COMPARE(edit->text(), kept);
}

void TestMainWindow::suiteSizeNeverExceedsTheFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lines"); // -1: no such file; -2: three blank lines
    QTest::addColumn<int>("size");
    QTest::newRow("WAC.EPD short") << "WAC.EPD" << 40 << 40;
    QTest::newRow("name outside the table") << "Mine.epd" << 23 << 23;
    QTest::newRow("missing file") << "Gone.epd" << -1 << 0;
    QTest::newRow("only blank lines") << "Blank.epd" << -2 << 3;
    QTest::newRow("no suite at all") << "WAC.EPD" << -1 << 0;
}

void TestMainWindow::suiteSizeNeverExceedsTheFile()
{
    QFETCH(QString, name);
    QFETCH(int, lines);
    QFETCH(int, size);
    TrainerFixture fx;
    if (lines >= 0 || name != "WAC.EPD")
        fx.addSuite(QStringLiteral("WAC.EPD"), pawnPushSuite(300));
    if (lines != -1)
        fx.addSuite(name, lines >= 0 ? pawnPushSuite(lines) : QStringList{"", " ", "\t"});
    frmKestrelux& w = fx.open();
    KestreluxTestAccess& a = *fx.access;
    a.element<QComboBox>("cmbEPDFile")->setEditText(name);
    w.cmbEPDFile_Click();
    QCOMPARE(a.w.suiteSize(), size);

    // A draw never points beyond the file; no position refuses plainly, and so does Start.
    a.click("cmdNext");
    if (lines >= 0) {
        QVERIFY(fx.messages.isEmpty());
        QVERIFY(a.currentPosition() >= 1 && a.currentPosition() <= size);
        return;
    }
    a.click("cmdNew");
    QCOMPARE(fx.messages.size(), 2);
    for (const QString& message : std::as_const(fx.messages))
        QVERIFY2(message.contains(name), qPrintable(message));
    QVERIFY(!a.element<QCheckBox>("chkTimer")->isChecked());
    QCOMPARE(a.currentPosition(), 0);
    a.click("CmdSolution"); // nothing shown, nothing to say
    QCOMPARE(fx.messages.size(), 2);
}

void TestMainWindow::choosingASuiteDuringASessionChangesNothing()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("small.epd"), pawnPushSuite(5));
    KestreluxTestAccess& a = fx.openOn(pawnPushSuite(300));
    a.click("cmdNew");
    const qint32 shown = a.currentPosition();
    QVERIFY(shown > 0);
    a.element<QComboBox>("cmbEPDFile")->setEditText(QStringLiteral("small.epd"));
    a.w.cmbEPDFile_Click();
    QCOMPARE(a.w.suiteSize(), 300);
    QCOMPARE(a.currentPosition(), shown);
    QCOMPARE(a.text("txtPos"), QString::number(shown));
}

// Positions shown by number, from a suite with CR LF line ends; a number
// that names no position (or a line that is none) changes nothing and says why.
void TestMainWindow::showsPositionsFromCrLfSuites()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("WAC.EPD"),
                {QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 w - - bm e4; id \"one\";"),
                 QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 b - - bm Kd7; id \"two\";"),
                 QStringLiteral("rnbqkbnr/pppppppp/44/8/8/17/PPPPPPPP/RNBQKBNR w KQkq e3 bm e4;"),
                 QStringLiteral("8/8/8/8/8/8/8/8 b - - bm a1; id \"no kings\";")},
                "\r\n");
    frmKestrelux& w = fx.open();
    KestreluxTestAccess& a = *fx.access;
    auto* side = a.element<QLabel>("lblSideToMove");
    auto* pos = a.element<QLineEdit>("txtPos");

    pos->setText(QStringLiteral("2"));
    QTest::mouseDClick(pos, Qt::LeftButton);
    QVERIFY(fx.messages.isEmpty());
    QCOMPARE(a.text("txtFen"), QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 b - - bm Kd7; id \"two\";"));
    QCOMPARE(side->text(), QStringLiteral("black"));
    QCOMPARE(side->palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(side->palette().color(QPalette::WindowText), QColor(Qt::white));
    QVERIFY(a.board()->ReverseBoard());

    pos->setText(QStringLiteral("1"));
    QTest::keyClick(pos, Qt::Key_Return); // Enter shows it as a double-click does
    QCOMPARE(a.text("txtFen"), QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 w - - bm e4; id \"one\";"));
    QCOMPARE(side->text(), QStringLiteral("WHITE"));
    QCOMPARE(side->palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(!a.board()->ReverseBoard());
    QCOMPARE(a.currentPosition(), 1);
    QCOMPARE(pos->text(), QStringLiteral("1"));
    QVERIFY(a.clock()->isActive());
    QCOMPARE(a.session().elapsedTime(), 0.0);

    w.ShowPosition(3); // the board written back keeps the rights that hold
    const QString board = w.BoardToFen();
    QCOMPARE(board, QStringLiteral("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"));

    const QString record = a.text("txtFen");
    for (const char* typed : {"0", "-3", "4", "5", "next"}) {
        pos->setText(QLatin1String(typed));
        QTest::mouseDClick(pos, Qt::LeftButton);
        QVERIFY2(fx.messages.size() == 1, typed);
        QVERIFY2(fx.messages.takeFirst().contains(QLatin1String("WAC.EPD")), typed);
        QCOMPARE(a.currentPosition(), 3);
        QCOMPARE(a.text("txtFen"), record);
        QCOMPARE(w.BoardToFen(), board);
    }
}

// A Lichess puzzle file in the data folder: listed with the suites, its
// count and the filter beside the board, the position after the opponent's
// move shown from the solver's side, the filter keeping to what matches.
void TestMainWindow::trainsOnAPuzzleCollection()
{
    TrainerFixture fx;
    fx.writeFile(fx.dataFile(QStringLiteral("puzzles.csv")),
                 "PuzzleId,FEN,Moves,Rating,RatingDeviation,Popularity,NbPlays,Themes,GameUrl\n"
                 "0bk,r5k1/5ppp/8/8/8/8/5PPP/6K1 w - - 0 1,h2h3 a8a1 g1h2,1400,80,90,10,"
                 "endgame rookEndgame short,\n"
                 "00sHx,q3k1nr/1pp1nQpp/3p4/1P2p3/4P3/B1PP1b2/B5PP/5K2 b k - 0 17,"
                 "e8d7 a2e6 d7d8 f7f8,1760,80,83,72,mate mateIn2 middlegame short,\n");
    KestreluxTestAccess& a = fx.openOn(pawnPushSuite(20), true);
    auto* suites = a.element<QComboBox>("cmbEPDFile");
    QVERIFY(suites->findText(QStringLiteral("puzzles.csv")) >= 0);
    QVERIFY(!a.element<QLineEdit>("txtThemes")->isEnabled()); // an EPD suite has no themes
    suites->setEditText(QStringLiteral("puzzles.csv"));
    a.w.cmbEPDFile_Click();
    QCOMPARE(a.text("lblMatching"), QStringLiteral("2 puzzles"));
    const auto type = [&a](const char* box, const char* text) {
        auto* edit = a.element<QLineEdit>(box);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QLatin1String(text));
        QTest::keyClick(edit, Qt::Key_Return);
    };
    type("txtThemes", "Zugzwang");
    QCOMPARE(a.text("lblMatching"), QStringLiteral("0 of 2 puzzles match"));
    a.click("cmdNew");
    QCOMPARE(fx.messages, QStringList(QStringLiteral(
                              "No puzzle of puzzles.csv matches the filter (themes zugzwang).")));
    QVERIFY(!a.session().isRunning());
    type("txtThemes", "");
    type("txtRatingTo", "1500");
    QCOMPARE(a.text("lblMatching"), QStringLiteral("1 of 2 puzzles match"));

    a.click("cmdNew");
    QCOMPARE(a.currentPosition(), 1);
    QVERIFY(a.w.shownPosition().record().startsWith(
        QStringLiteral("r5k1/5ppp/8/8/8/7P/5PP1/6K1 b - - bm Ra1+; id \"0bk\"; "
                       "c0 \"rating 1400\";")));
    QVERIFY(a.board()->ReverseBoard());
    QVERIFY(!a.element<QLineEdit>("txtRatingTo")->isEnabled()); // locked during the session
    a.playMove(Pellomar::a, 8, Pellomar::a, 1);
    QTRY_COMPARE_WITH_TIMEOUT(a.attemptCount(), 1, 5000);
    QCOMPARE(a.solvedCount(), 1);
    QCOMPARE(a.currentPosition(), 1); // the filter holds for every draw
}

// A suite of five million records: its size counts them all, and the last
// ones are shown by number as quickly as the first.
void TestMainWindow::showsAnyPositionOfAHugeSuite()
{
    constexpr int kRecords = 5000000;
    const auto record = [](int n) {
        return "K7/8/8/8/8/8/8/k7 b - - id \"" + QByteArray::number(n) + "\";";
    };
    QByteArray content;
    content.reserve(qsizetype(kRecords) * 36);
    for (int n = 1; n <= kRecords; ++n)
        content += record(n) + '\n';
    TrainerFixture fx;
    fx.writeFile(fx.dataFile(QStringLiteral("huge.epd")), content);
    content.clear();
    fx.writeFile(fx.dataFile(QLatin1String(kx::kLastChoicesFileName)), "[Last]\nSuite=huge.epd\n");
    fx.open();
    KestreluxTestAccess& a = *fx.access;
    QCOMPARE(a.w.suiteSize(), kRecords);
    QCOMPARE(a.text("lblMatching"), QStringLiteral("5000000 positions"));
    auto* pos = a.element<QLineEdit>("txtPos");
    pos->setText(QStringLiteral("4999999"));
    QTest::keyClick(pos, Qt::Key_Return);
    QCOMPARE(a.text("txtFen"), QString::fromLatin1(record(4999999)));
    QCOMPARE(a.currentPosition(), 4999999);
    QVERIFY(fx.messages.isEmpty());
}

void TestMainWindow::levelFilterKeepsToTheLimit()
{
    TrainerFixture fx;
    fx.writeFile(fx.dataFile(QStringLiteral("zantex.txt")), "");
    const int levels[] = {0, 7, 3, 5, 2, 6, 7};
    kx::TableRows rows{{}};
    for (int row = 1; row <= 6; ++row)
        rows << QStringList{QString::number(row), {}, {}, {}, {}, QString::number(levels[row])};
    QVERIFY(kx::WriteStatsFile(fx.dataFile(QStringLiteral("WAC.EPD_KXI.txt")), rows));
    KestreluxTestAccess& a = fx.openOn(pawnPushSuite(6));
    FlexGrid* table = a.grid();
    QCOMPARE(a.w.suiteSize(), 6);
    a.setText("txtLivello", QStringLiteral("3"));

    a.w.randomSource().Seed(7);
    QSet<int> shown;
    for (int i = 0; i < 60; ++i) {
        a.click("cmdNext");
        shown.insert(a.currentPosition());
        // The panel follows the table's row.
        QCOMPARE(a.text("txtDifficolta"), QString::number(levels[a.currentPosition()]));
    }
    QCOMPARE(shown, (QSet<int>{2, 4}));
    QCOMPARE(a.session().levelTag(), QStringLiteral("[Liv<=3]"));
    QVERIFY(fx.messages.isEmpty());
    QCOMPARE(table->CellBackColor(2, 1), QColor(224, 255, 255));

    // No position within the limit: told at once, instead of drawing for ever.
    const qint32 before = a.currentPosition();
    a.setText("txtLivello", QStringLiteral("1"));
    a.w.cmdNext_Click();
    QCOMPARE(fx.messages.size(), 1);
    QCOMPARE(a.currentPosition(), before);
}

void TestMainWindow::downArrowInDifficultyShowsAnotherPosition()
{
    TrainerFixture fx;
    KestreluxTestAccess& a = fx.openOn(pawnPushSuite(300), true);
    a.w.ShowStatsControls(true);
    auto* difficulty = a.element<QLineEdit>("txtDifficolta");
    QTest::keyClick(difficulty, Qt::Key_Up);
    QTest::keyClick(difficulty, '('); // its key code is the Down arrow's number
    QCOMPARE(a.currentPosition(), 0);
    QTest::keyClick(difficulty, Qt::Key_Down);
    QVERIFY(a.currentPosition() >= 1);
}

// Every control says what it is; Tab goes in reading order.
void TestMainWindow::tooltipsAndTabOrder()
{
    TrainerFixture fx;
    frmKestrelux& w = fx.open();
    KestreluxTestAccess& a = *fx.access;
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
        for (const QString& line : c->toolTip().split(u'\n')) // wrapped, not a screen wide
            QVERIFY2(line.size() <= 64, qPrintable(c->objectName()));
    }
    QCOMPARE(silent, QStringList());
    // The two boxes after "Elap. Sav" each say which they are.
    QVERIFY(a.element<QWidget>("lblTotTime")->toolTip().startsWith(QLatin1String("Elap:")));
    QVERIFY(a.element<QWidget>("lblTotSaved")->toolTip().startsWith(QLatin1String("Sav:")));

    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // As after a session, when the table and comment count as shown, out of sight.
    a.element<QCheckBox>("chkTimer")->setChecked(true);
    a.element<QCheckBox>("chkTimer")->setChecked(false);
    a.board()->setFocus();
    QStringList visited;
    for (int i = 0; i < 18; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QWidget* focus = QApplication::focusWidget();
        // The suite box takes the keyboard in its (unnamed) line.
        visited << (focus->objectName().isEmpty() ? focus->parentWidget() : focus)->objectName();
    }
    // Settings, buttons, how answers are judged, the report (which lets Tab
    // go on), and round again.
    QCOMPARE(visited.join(' '),
             QStringLiteral("txtPos txtFen txtPositionsForSession "
                            "txtTimeForPosition cmbEPDFile cmdNew cmdReview cmdNext "
                            "CmdSolution cmdAnalyze cmdRecords cmdSetEngine "
                            "cmdExit chkWholeLine chkEngineCheck chkCountEqual grdReport CBoard"));
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
    KestreluxTestAccess& a = fx.openOn(pawnPushSuite(20), true);
    int asked = 0;
    a.w.setDialogRunner([&](QDialog&) { return ++asked, answer; });
    if (session)
        a.click("cmdNew");
    const bool closes = !session || answer == QMessageBox::Yes;
    QCOMPARE(a.w.close(), closes);
    QCOMPARE(asked, int(session));
    if (!closes) {
        // The session goes on, its clock running: the next move still counts.
        QVERIFY(a.w.isVisible() && a.clock()->isActive());
        a.playMove(e, 2, e, 4);
        a.w.tmrTime_Timer();
        QCOMPARE(a.solvedCount(), 1);
    }
    QVERIFY(!QFile::exists(fx.dataFile(QStringLiteral("KXLog.txt"))));
}

void TestMainWindow::choicesAreKeptForTheNextStart_data()
{
    // suite|positions|seconds|rating from|rating to|themes|whole line|engine check|count equal
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("restored");
    QTest::newRow("as chosen") << "mine.epd|25|7.5|1500|1800|fork pin|1|0|1"
                               << "mine.epd|25|7.5|1500|1800|fork pin|1|0|1";
    QTest::newRow("a suite gone, settings out of range, a range backwards")
        << "gone.epd|5|0|1800|1500||0|1|0"
        << "WAC.EPD|10|50|1500|1800||0|1|0";
}

void TestMainWindow::choicesAreKeptForTheNextStart()
{
    QFETCH(QString, chosen);
    QFETCH(QString, restored);
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("mine.epd"), pawnPushSuite(12));
    const QByteArray settings = "[Kestrelux]\nEngine=x\n";
    fx.writeFile(fx.programFile(QStringLiteral("Kestrelux.ini")), settings);
    const char* texts[] = {"txtPositionsForSession", "txtTimeForPosition", "txtRatingFrom",
                           "txtRatingTo", "txtThemes"};
    const char* boxes[] = {"chkWholeLine", "chkEngineCheck", "chkCountEqual"};
    const auto part = [&chosen](int i) {
        return chosen.section(u'|', i, i);
    };
    {
        KestreluxTestAccess& a = fx.openOn(pawnPushSuite(20));
        a.element<QComboBox>("cmbEPDFile")->setEditText(part(0));
        a.w.cmbEPDFile_Click();
        for (int i = 0; i < 5; ++i)
            a.setText(texts[i], part(1 + i));
        for (int i = 0; i < 3; ++i)
            a.element<QCheckBox>(boxes[i])->setChecked(part(6 + i) == "1");
        QVERIFY(a.w.close());
    }
    fx.open();
    KestreluxTestAccess& a = *fx.access;
    QStringList shown = {a.element<QComboBox>("cmbEPDFile")->currentText()};
    for (const char* name : texts)
        shown << a.text(name);
    for (const char* name : boxes)
        shown << (a.element<QCheckBox>(name)->isChecked() ? "1" : "0");
    QCOMPARE(shown.join(u'|'), restored);
    QCOMPARE(a.w.suiteSize(), restored.startsWith(QLatin1String("mine")) ? 12 : 20);
    // In a file of their own: the settings file keeps the engine's keys only.
    QCOMPARE(QFile(fx.programFile(QStringLiteral("Kestrelux.ini"))).size(),
             qint64(settings.size()));
    QVERIFY(QFile::exists(fx.dataFile(QLatin1String(kx::kLastChoicesFileName))));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
