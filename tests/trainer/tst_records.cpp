// Records and statistics in the main window: the scores window, the position
// table's file, the scan, the ranking, the grid clicks and the mode keys.

#include "../core/FileSizeLimit.h"
#include "../core/TestFiles.h"
#include "Epd.h"
#include "KestreluxTestAccess.h"
#include "ReportLines.h"
#include "StatsFile.h"
#include "TrainerFixture.h"
#include "frmRecords.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

using namespace Pellomar;

namespace {

const QString kWac = QStringLiteral("WAC.EPD");

// A table row with the statistics (attempts, solved, difficulty) of position n.
QStringList statsRow(int n, int attempts, int solved, int difficulty)
{
    QStringList row(11);
    row[0] = QString::number(n);
    row[5] = QString::number(difficulty);
    row[8] = QString::number(attempts);
    row[9] = QString::number(solved);
    return row;
}

QString statsFile(TrainerFixture& fx, const QString& suite = kWac)
{
    return fx.dataFile(suite + QStringLiteral("_KXI.txt"));
}

// Statistics mode, suite WAC.EPD of count pawn pushes, its table from rows.
frmKestrelux& openStats(TrainerFixture& fx, int count, const kx::TableRows& rows = {})
{
    fx.addSuite(kWac, pawnPushSuite(count));
    fx.writeFile(fx.dataFile(QStringLiteral("zantex.txt")), "");
    if (!rows.isEmpty() && !kx::WriteStatsFile(statsFile(fx), rows))
        qFatal("cannot write the statistics file");
    return fx.open();
}

// Plays one attempt to its end: the pawn push (solving it) or a wrong move.
void playAttempt(frmKestrelux& w, KestreluxTestAccess& a, bool solve)
{
    const qint32 before = a.attemptCount();
    a.clock()->stop();
    solve ? a.playMove(e, 2, e, 4) : a.playMove(e, 1, d, 1);
    while (a.attemptCount() == before)
        w.tmrTime_Timer();
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void scoresWindow();
    void suiteSwitchSavesTheTableLeft();
    void failedSaveKeepsFileAndSuite();
    void scanRebuildsTheTable();
    void worstPositionsInOrder();
    void keySequenceTogglesStatisticsMode_data();
    void keySequenceTogglesStatisticsMode();
    void gridClicksShowPositions();
    void statisticsSurviveARestart();
    void closingDuringTheLevelFilterLogsNothing();
};

void TestRecords::scoresWindow()
{
    TrainerFixture fx;
    fx.addSuite(kWac, pawnPushSuite(5));
    QByteArray log;
    for (const char* points : {"150", "1200", "87"}) {
        kx::SummaryLineInput in;
        in.puntiCaption = points;
        in.suiteName = kWac;
        log += kx::AddTab(kx::SummaryLine(in)).toUtf8() + "\n";
    }
    fx.writeFile(fx.dataFile(QStringLiteral("KXLog.txt")), log);
    frmKestrelux& w = fx.open();
    QStringList shown;
    QString title;
    QRect listPlace;
    w.setDialogRunner([&](QDialog& dialog) {
        auto* view = qobject_cast<frmRecords*>(&dialog);
        if (!view)
            return 0;
        title = view->windowTitle();
        auto* list = view->findChild<QListWidget*>(QStringLiteral("lstVisRecords"));
        view->show();
        view->resize(500, 300);
        // The list follows on the resize event; the check below says whether it did.
        (void)QTest::qWaitFor([&] { return list->geometry() == QRect(0, 0, 500, 300); });
        listPlace = list->geometry();
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text().left(5);
        return 0;
    });
    KestreluxTestAccess(w).element<QPushButton>("cmdRecords")->click();
    QCOMPARE(title, QStringLiteral("Form1"));
    QCOMPARE(listPlace, QRect(0, 0, 500, 300)); // the list fills the window
    QCOMPARE(shown, (QStringList{"1200 ", " 150 ", "  87 "}));

    QFile::remove(fx.dataFile(QStringLiteral("KXLog.txt")));
    shown.clear();
    w.cmdRecords_Click();
    QVERIFY(shown.isEmpty());
}

void TestRecords::suiteSwitchSavesTheTableLeft()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("MINE.EPD"), pawnPushSuite(3));
    frmKestrelux& w = openStats(fx, 4, {{}, statsRow(1, 0, 0, 1), statsRow(2, 0, 0, 2)});
    KestreluxTestAccess a(w);
    QCOMPARE(a.grid()->Rows(), 3);
    QCOMPARE(a.suiteSize(), qint16(2));
    w.ShowPosition(2);
    a.element<QPlainTextEdit>("txtCommento")->setPlainText(QStringLiteral("line one\n*/"));

    auto* suites = a.element<QComboBox>("cmbEPDFile");
    suites->setEditText(QStringLiteral("MINE.EPD"));
    w.cmbEPDFile_Click();
    QCOMPARE(kx::ReadStatsFile(statsFile(fx)).rows.at(2).at(10), QStringLiteral("line one\n*/"));
    QCOMPARE(a.grid()->Rows(), 1);
    QCOMPARE(a.suiteSize(), qint16(0));
    QVERIFY(fx.messages.isEmpty());
    // Back on WAC.EPD: MINE.EPD's empty table leaves no file behind.
    suites->setEditText(kWac);
    w.cmbEPDFile_Click();
    QVERIFY(!QFile::exists(statsFile(fx, "MINE.EPD")));
    QCOMPARE(a.grid()->TextMatrix(2, 10), QStringLiteral("line one\n*/"));
}

void TestRecords::failedSaveKeepsFileAndSuite()
{
    TrainerFixture fx;
    frmKestrelux& w = openStats(fx, 4, {{}, statsRow(1, 0, 0, 1)});
    KestreluxTestAccess a(w);
    const QByteArray before = readAll(statsFile(fx));
    a.grid()->setTextMatrix(1, 10, QString(200, u'x'));
    a.element<QComboBox>("cmbEPDFile")->setEditText(QStringLiteral("OTHER.EPD"));
    {
        const FileSizeLimit limit(64); // no room for the new file
        w.cmbEPDFile_Click();
    }
    QCOMPARE(readAll(statsFile(fx)), before);
    QCOMPARE(fx.messages.size(), 1);
    QVERIFY2(fx.messages.first().contains(statsFile(fx)), qPrintable(fx.messages.first()));
    QCOMPARE(a.element<QComboBox>("cmbEPDFile")->currentText(), kWac);
    QCOMPARE(a.grid()->TextMatrix(1, 10), QString(200, u'x'));
}

void TestRecords::scanRebuildsTheTable()
{
    TrainerFixture fx;
    frmKestrelux& w = openStats(fx, 4, {{"head"}, statsRow(1, 5, 2, 3)});
    KestreluxTestAccess a(w);
    a.element<QComboBox>("cmbEPDFile")->setEditText(QStringLiteral("NONE.EPD"));
    w.cmdScanBM_Click();
    QCOMPARE(fx.messages.size(), 1);
    QCOMPARE(a.grid()->TextMatrix(1, 8), QStringLiteral("5")); // left as it was

    // The public suite with CR alone ending its lines: row n is still the
    // position shown as number n.
    QByteArray suite = readAll(QStringLiteral(KX_SUITES_DIR "/WAC.EPD"));
    if (suite.isEmpty())
        QSKIP("The public suite WAC.EPD is not in " KX_SUITES_DIR);
    fx.writeFile(fx.programFile(kWac), suite.replace("\r\n", "\r"));
    a.element<QComboBox>("cmbEPDFile")->setEditText(kWac);
    a.element<QPushButton>("cmdScanBM")->click();
    QCOMPARE(a.grid()->Rows(), 301);
    QCOMPARE(a.suiteSize(), qint16(300));
    QCOMPARE(a.grid()->TextMatrix(0, 0), QStringLiteral("head"));
    for (int row = 1; row <= 300; ++row) {
        const QStringList cells = a.grid()->Table().at(row);
        QCOMPARE(cells.at(0), QString::number(row));
        QStringList moves = cells.mid(2, 3); // the solution's moves, cleaned
        moves.removeAll(QString());
        QCOMPARE(moves.join(u' '), kx::CleanMove(cells.at(1)).simplified());
        QCOMPARE(cells.mid(5).join(QString()), QString()); // statistics gone
        if (row % 60 == 0) {
            QVERIFY(w.ShowPosition(qint16(row)));
            QCOMPARE(kx::GetSolutionText(a.element<QLineEdit>("txtFen")->text()), cells.at(1));
        }
    }
    QCOMPARE(a.grid()->TextMatrix(1, 2), QStringLiteral("Qg6")); // bm Qg6
    QCOMPARE(a.grid()->TextMatrix(2, 2), QStringLiteral("Rb2")); // bm Rxb2
}

void TestRecords::worstPositionsInOrder()
{
    TrainerFixture fx;
    frmKestrelux& w = openStats(fx, 4,
                                {{},
                                 statsRow(1, 1, 1, 5),
                                 statsRow(2, 4, 1, 8),
                                 statsRow(3, 0, 0, 0),
                                 statsRow(4, 1, 0, 5)});
    KestreluxTestAccess a(w);
    a.suiteSize() = 10; // more than the table holds: only its rows are ranked
    QSignalSpy captions(&w, &QWidget::windowTitleChanged);
    QList<int> shown;
    for (int i = 0; i < 5; ++i) {
        a.element<QPushButton>("cmdWorst")->click();
        shown << a.currentPosition();
        if (i == 0) // later changes do not re-rank
            a.grid()->setTextMatrix(3, 8, QStringLiteral("50"));
    }
    QCOMPARE(shown, (QList<int>{2, 4, 1, 3, 3}));
    QStringList titles;
    for (const QList<QVariant>& c : captions)
        titles << c.at(0).toString();
    QCOMPARE(titles, (QStringList{"SORTING... 1", "SORTING... 2", "SORTING... 3", ""}));
    QVERIFY(!QApplication::overrideCursor());
}

void TestRecords::keySequenceTogglesStatisticsMode_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("toggles");
    const QList<int> word = {Qt::Key_Z, Qt::Key_A, Qt::Key_N, Qt::Key_T, Qt::Key_E, Qt::Key_X};
    QList<int> shifted = word;
    shifted.insert(3, Qt::Key_Shift);
    QList<int> broken = word;
    broken.insert(3, Qt::Key_Down);
    QTest::newRow("typed") << word << true;
    QTest::newRow("Shift in between") << shifted << true;
    QTest::newRow("Down in between") << broken << false;
}

void TestRecords::keySequenceTogglesStatisticsMode()
{
    QFETCH(QList<int>, keys);
    QFETCH(bool, toggles);
    TrainerFixture fx;
    fx.addSuite(kWac, pawnPushSuite(4));
    fx.writeFile(statsFile(fx), "/*\r\n*/\r\n");
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.show();
    auto* side = a.element<QLabel>("lblSideToMove");
    for (const QColor& colour : {QColor(255, 0, 0), QColor(0, 0, 0)}) {
        for (int key : keys)
            QTest::keyClick(a.report(), Qt::Key(key));
        QCOMPARE(a.statsMode(), toggles && colour == QColor(255, 0, 0));
        QCOMPARE(a.element<QPushButton>("cmdWorst")->isVisible(), a.statsMode());
        QCOMPARE(side->palette().color(QPalette::WindowText), a.statsMode() ? colour : Qt::black);
        // A table never loaded for WAC.EPD is not saved over its file.
        w.close();
        QCOMPARE(readAll(statsFile(fx)), QByteArray("/*\r\n*/\r\n"));
    }
}

void TestRecords::gridClicksShowPositions()
{
    TrainerFixture fx;
    frmKestrelux& w =
        openStats(fx, 6, {{}, statsRow(1, 0, 0, 1), statsRow(2, 0, 0, 2), statsRow(3, 0, 0, 3)});
    KestreluxTestAccess a(w);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    FlexGrid* table = a.grid();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(2, 4)).center());
    QCOMPARE(a.currentPosition(), 3); // view row 2 is table row 3, the header being fixed
    QCOMPARE(a.element<QLineEdit>("txtDifficolta")->text(), QStringLiteral("3"));

    FlexGrid* report = a.report();
    auto clickReport = [report](const QString& position) {
        report->setTextMatrix(1, 5, position);
        QTest::mouseClick(report->viewport(), Qt::LeftButton, {},
                          report->visualRect(report->model()->index(0, 1)).center());
    };
    clickReport(QStringLiteral("5"));
    QCOMPARE(a.currentPosition(), 5);
    clickReport(QStringLiteral("0"));
    QCOMPARE(a.currentPosition(), 5);
    a.element<QCheckBox>("chkTimer")->setChecked(true);
    clickReport(QStringLiteral("2"));
    QCOMPARE(a.currentPosition(), 5);
    QVERIFY(fx.messages.isEmpty());
}

// Scan, train, close, start again: the session's counts are in the table.
void TestRecords::statisticsSurviveARestart()
{
    TrainerFixture fx;
    {
        frmKestrelux& w = openStats(fx, 12);
        KestreluxTestAccess a(w);
        w.show();
        a.element<QPushButton>("cmdScanBM")->click();
        a.element<QPushButton>("cmdNew")->click();
        for (int i = 0; i < 10; ++i)
            playAttempt(w, a, i % 3 == 0);
        QCOMPARE(a.solvedCount(), 4);
        QVERIFY(!a.element<QCheckBox>("chkTimer")->isChecked());
        w.close();
    }
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    QCOMPARE(a.grid()->Rows(), 13);
    QCOMPARE(a.suiteSize(), qint16(12));
    int attempts = 0;
    int solved = 0;
    for (int row = 1; row <= 12; ++row) {
        attempts += a.grid()->TextMatrix(row, 8).toInt();
        solved += a.grid()->TextMatrix(row, 9).toInt();
    }
    QCOMPARE(attempts, 10);
    QCOMPARE(solved, 4);
    QVERIFY(fx.messages.isEmpty());
}

void TestRecords::closingDuringTheLevelFilterLogsNothing()
{
    TrainerFixture fx;
    kx::TableRows rows{{}};
    for (int n = 1; n <= 300; ++n)
        rows << statsRow(n, 0, 0, n == 1 ? 0 : 9);
    frmKestrelux& w = openStats(fx, 300, rows);
    KestreluxTestAccess a(w);
    w.show();
    a.element<QPushButton>("cmdNew")->click();
    const qint32 first = a.currentPosition();
    a.element<QLineEdit>("txtLivello")->setText(QStringLiteral("1")); // only position 1 is drawn
    w.randomSource().Seed(3);
    w.setDialogRunner([](QDialog&) { return int(QMessageBox::Yes); }); // close anyway
    QTimer::singleShot(0, &w, &QWidget::close);
    playAttempt(w, a, false);

    QVERIFY(!QFile::exists(fx.dataFile(QStringLiteral("KXLog.txt"))));
    QCOMPARE(kx::ReadStatsFile(statsFile(fx)).rows.at(first).at(8), QStringLiteral("1"));
}

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
