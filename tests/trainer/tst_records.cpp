// Records and statistics in the main window: the scores window, the position
// table's file, the scan, the ranking, the grid clicks and the mode keys.

#include "../core/FileSizeLimit.h"
#include "../core/TestFiles.h"
#include "BestMoveScan.h"
#include "Epd.h"
#include "KestreluxTestAccess.h"
#include "ReportLines.h"
#include "ScoreLines.h"
#include "StatsFile.h"
#include "TrainerFixture.h"
#include "frmRecords.h"

#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QXYSeries>

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
KestreluxTestAccess& openStats(TrainerFixture& fx, int count, const kx::TableRows& rows = {})
{
    fx.writeFile(fx.dataFile(QStringLiteral("zantex.txt")), "");
    if (!rows.isEmpty() && !kx::WriteStatsFile(statsFile(fx), rows))
        qFatal("cannot write the statistics file");
    return fx.openOn(pawnPushSuite(count));
}

// Plays one attempt to its end: the pawn push (solving it) or a wrong move.
void playAttempt(KestreluxTestAccess& a, bool solve)
{
    a.clock()->stop();
    solve ? a.playMove(e, 2, e, 4) : a.playMove(e, 1, d, 1);
    a.finishAttempt();
}

void chooseSuite(KestreluxTestAccess& a, const QString& name)
{
    a.element<QComboBox>("cmbEPDFile")->setEditText(name);
    a.w.cmbEPDFile_Click();
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
    // Sessions as the log holds them, not in the order they were played: a
    // review, one whose date cannot be read, another suite's, an attempt line.
    struct Logged
    {
        const char* points;
        const char* solved;
        QDateTime when;
        const char* tag;
        QString suite = kWac;
    };
    const QDateTime march1(QDate(2024, 3, 1), QTime(10, 0));
    const QDateTime march3(QDate(2024, 3, 3), QTime(18, 30));
    const QDateTime march5(QDate(2024, 3, 5), QTime(9, 15));
    const QList<Logged> sessions = {{"1200", "9/10(90%)", march5, ""},
                                    {"150", "3/10(30%)", march1, ""},
                                    {"87", "2/4(50%)", march3, kx::kReviewMark},
                                    {"99", "5/10(50%)", QDateTime(), ""},
                                    {"500", "10/10(100%)", march3, "", "WCSAC.EPD"}};
    QByteArray log = " 96.8 01) Move:Qd3h7 Sol:Qxh7+solv01  Elap100  Save40  PosN057\n";
    for (const Logged& s : sessions) {
        kx::SummaryLineInput in;
        in.puntiCaption = s.points;
        in.solvedCaption = s.solved;
        in.when = s.when;
        in.suiteName = s.suite;
        in.levelTag = s.tag;
        log += kx::AddTab(kx::SummaryLine(in)).toUtf8() + "\n";
    }
    fx.writeFile(fx.dataFile(QStringLiteral("KXLog.txt")), log);
    KestreluxTestAccess& a = fx.openOn(pawnPushSuite(5));
    QStringList shown;
    QString title;
    QString chartTitle;
    QList<QList<QPointF>> series;
    qsizetype axes = 0;
    QRect listPlace;
    QRect chartPlace;
    a.w.setDialogRunner([&](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("lstVisRecords"));
        auto* chart = dialog.findChild<QChartView*>(QStringLiteral("chtScores"));
        if (!qobject_cast<frmRecords*>(&dialog) || !list || !chart)
            return 0;
        title = dialog.windowTitle();
        dialog.show();
        dialog.resize(500, 300);
        // Both follow on the resize event; the checks below say whether they did.
        (void)QTest::qWaitFor([&] { return list->geometry().bottom() == 299; });
        listPlace = list->geometry();
        chartPlace = chart->geometry();
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text().left(5) + list->item(i)->text().mid(84);
        chartTitle = chart->chart()->title();
        axes = chart->chart()->axes().size();
        for (QAbstractSeries* s : chart->chart()->series())
            series << static_cast<QXYSeries*>(s)->points();
        return 0;
    });
    a.click("cmdRecords");
    QCOMPARE(title, QStringLiteral("Form1"));
    // The chart above, the list below, together filling the window.
    QCOMPARE(chartPlace.united(listPlace), QRect(0, 0, 500, 300));
    QVERIFY(chartPlace.bottom() < listPlace.top());
    // Best first; a review keeps its mark.
    QCOMPARE(shown, (QStringList{"1200 ", " 150 ", "  99 ", "  87 [Review]"}));
    // In the order played: the sessions, the reviews, the share solved in each.
    auto at = [](const QDateTime& when, double y) {
        return QPointF(qreal(when.toMSecsSinceEpoch()), y);
    };
    QCOMPARE(series.size(), 3);
    QCOMPARE(series.at(0), (QList<QPointF>{at(march1, 150), at(march5, 1200)}));
    QCOMPARE(series.at(1), (QList<QPointF>{at(march3, 87)}));
    QCOMPARE(series.at(2), (QList<QPointF>{at(march1, 30), at(march3, 50), at(march5, 90)}));
    QCOMPARE(axes, 3);

    QFile::remove(fx.dataFile(QStringLiteral("KXLog.txt")));
    shown.clear();
    series.clear();
    a.w.cmdRecords_Click();
    QVERIFY(shown.isEmpty());
    // No empty axes: the chart says there is nothing yet.
    QCOMPARE(chartTitle, QStringLiteral("No sessions of WAC.EPD in the log yet"));
    QCOMPARE(axes, 0);
    QVERIFY(series.isEmpty());
}

void TestRecords::suiteSwitchSavesTheTableLeft()
{
    TrainerFixture fx;
    fx.addSuite(QStringLiteral("MINE.EPD"), pawnPushSuite(3));
    KestreluxTestAccess& a = openStats(fx, 4, {{}, statsRow(1, 0, 0, 1), statsRow(2, 0, 0, 2)});
    QCOMPARE(a.grid()->Rows(), 3);
    QCOMPARE(a.w.suiteSize(), 2);
    a.w.ShowPosition(2);
    a.setText("txtCommento", QStringLiteral("line one\n*/"));

    chooseSuite(a, QStringLiteral("MINE.EPD"));
    QCOMPARE(kx::ReadStatsFile(statsFile(fx)).rows.at(2).at(10), QStringLiteral("line one\n*/"));
    QCOMPARE(a.grid()->Rows(), 1);
    QCOMPARE(a.w.suiteSize(), 0);
    QVERIFY(fx.messages.isEmpty());
    // Back on WAC.EPD: MINE.EPD's empty table leaves no file behind.
    chooseSuite(a, kWac);
    QVERIFY(!QFile::exists(statsFile(fx, "MINE.EPD")));
    QCOMPARE(a.grid()->TextMatrix(2, 10), QStringLiteral("line one\n*/"));
}

void TestRecords::failedSaveKeepsFileAndSuite()
{
    TrainerFixture fx;
    KestreluxTestAccess& a = openStats(fx, 4, {{}, statsRow(1, 0, 0, 1)});
    const QByteArray before = readAll(statsFile(fx));
    a.grid()->setTextMatrix(1, 10, QString(200, u'x'));
    {
        const FileSizeLimit limit(64); // no room for the new file
        chooseSuite(a, QStringLiteral("OTHER.EPD"));
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
    KestreluxTestAccess& a = openStats(fx, 4, {{"head"}, statsRow(1, 5, 2, 3)});
    a.element<QComboBox>("cmbEPDFile")->setEditText(QStringLiteral("NONE.EPD"));
    a.w.cmdScanBM_Click();
    QCOMPARE(fx.messages.size(), 1);
    QCOMPARE(a.grid()->TextMatrix(1, 8), QStringLiteral("5")); // left as it was

    // The public suite with CR alone ending its lines: row n is still the
    // position shown as number n.
    QByteArray suite = readAll(QStringLiteral(KX_SUITES_DIR "/WAC.EPD"));
    if (suite.isEmpty())
        QSKIP("The public suite WAC.EPD is not in " KX_SUITES_DIR);
    fx.writeFile(fx.programFile(kWac), suite.replace("\r\n", "\r"));
    a.element<QComboBox>("cmbEPDFile")->setEditText(kWac);
    a.click("cmdScanBM");
    QCOMPARE(a.grid()->Rows(), 301);
    QCOMPARE(a.w.suiteSize(), 300);
    QCOMPARE(a.grid()->TextMatrix(0, 0), QStringLiteral("head"));
    // The rows' cells are the scan's own (tested with the records); here
    // row n is the record shown as position n, its statistics gone.
    for (int row = 30; row <= 300; row += 30) {
        QVERIFY(a.w.ShowPosition(row));
        QCOMPARE(a.grid()->Table().at(row), kx::ScanRow(row, a.text("txtFen")));
    }
    QCOMPARE(a.grid()->TextMatrix(1, 2), QStringLiteral("Qg6")); // bm Qg6
    QCOMPARE(a.grid()->TextMatrix(2, 2), QStringLiteral("Rb2")); // bm Rxb2
}

void TestRecords::worstPositionsInOrder()
{
    TrainerFixture fx;
    KestreluxTestAccess& a = openStats(fx, 4,
                                       {{},
                                        statsRow(1, 1, 1, 5),
                                        statsRow(2, 4, 1, 8),
                                        statsRow(3, 0, 0, 0),
                                        statsRow(4, 1, 0, 5)});
    QSignalSpy captions(&a.w, &QWidget::windowTitleChanged);
    QList<int> shown;
    for (int i = 0; i < 5; ++i) {
        a.click("cmdWorst");
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
    fx.writeFile(statsFile(fx), "/*\r\n*/\r\n");
    KestreluxTestAccess& a = fx.openOn(pawnPushSuite(4), true);
    auto* side = a.element<QLabel>("lblSideToMove");
    for (const QColor& colour : {QColor(255, 0, 0), QColor(0, 0, 0)}) {
        for (int key : keys)
            QTest::keyClick(a.report(), Qt::Key(key));
        const bool statsMode = a.element<QPushButton>("cmdWorst")->isVisible();
        QCOMPARE(statsMode, toggles && colour == QColor(255, 0, 0));
        QCOMPARE(side->palette().color(QPalette::WindowText), statsMode ? colour : Qt::black);
        // A table never loaded for WAC.EPD is not saved over its file.
        a.w.close();
        QCOMPARE(readAll(statsFile(fx)), QByteArray("/*\r\n*/\r\n"));
    }
}

void TestRecords::gridClicksShowPositions()
{
    TrainerFixture fx;
    KestreluxTestAccess& a =
        openStats(fx, 6, {{}, statsRow(1, 0, 0, 1), statsRow(2, 0, 0, 2), statsRow(3, 0, 0, 3)});
    a.w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&a.w));
    const auto clickCell = [](FlexGrid* grid, int row, int col) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, col)).center());
    };
    clickCell(a.grid(), 2, 4);
    QCOMPARE(a.currentPosition(), 3); // view row 2 is table row 3, the header being fixed
    QCOMPARE(a.text("txtDifficolta"), QStringLiteral("3"));

    // The report's row shows its position; none (0), or during a session, nothing.
    qint32 shown = 5;
    for (const char* position : {"5", "0", "2"}) {
        if (position[0] == '2') {
            a.click("cmdNew");
            shown = a.currentPosition();
        }
        a.report()->setTextMatrix(1, 5, QLatin1String(position));
        clickCell(a.report(), 0, 1);
        QCOMPARE(a.currentPosition(), shown);
    }
    QVERIFY(fx.messages.isEmpty());
}

// Scan, train, close, start again: the session's counts are in the table.
void TestRecords::statisticsSurviveARestart()
{
    TrainerFixture fx;
    {
        KestreluxTestAccess& a = openStats(fx, 12);
        a.w.show();
        a.click("cmdScanBM");
        a.click("cmdNew");
        for (int i = 0; i < 10; ++i)
            playAttempt(a, i % 3 == 0);
        QCOMPARE(a.solvedCount(), 4);
        QVERIFY(!a.element<QCheckBox>("chkTimer")->isChecked());
        a.w.close();
    }
    fx.open();
    KestreluxTestAccess& a = *fx.access;
    QCOMPARE(a.grid()->Rows(), 13);
    QCOMPARE(a.w.suiteSize(), 12);
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
    KestreluxTestAccess& a = openStats(fx, 300, rows);
    a.w.show();
    a.click("cmdNew");
    const qint32 first = a.currentPosition();
    a.setText("txtLivello", QStringLiteral("1")); // only position 1 is drawn
    a.w.randomSource().Seed(3);
    a.w.setDialogRunner([](QDialog&) { return int(QMessageBox::Yes); }); // close anyway
    a.clock()->stop();
    a.playMove(e, 1, d, 1);
    QTimer::singleShot(0, &a.w, &QWidget::close);
    a.finishAttempt();

    QVERIFY(!QFile::exists(fx.dataFile(QStringLiteral("KXLog.txt"))));
    QCOMPARE(kx::ReadStatsFile(statsFile(fx)).rows.at(first).at(8), QStringLiteral("1"));
}

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
