// Engine analysis through the main window against a scripted xboard engine
// (and a real one when installed): the commands and their order, the output
// window, grading in statistics mode, stopping, restarting, leaving analysis
// mode, failures, and the clock's analysis of each finished position.

#include "AnalysisDriver.h"
#include "KestreluxTestAccess.h"
#include "TrainerFixture.h"
#include "frmOutput.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Pellomar;

namespace {

constexpr int kWaitMs = 30000;
const QString kWhitePawn = QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 w - - bm e4; id \"T.1\";");
const QString kBlackKing = QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 b - - bm Kd7; id \"T.2\";");

QString quoted(const QString& word)
{
    return u'"' + QString(word).replace(u'"', QLatin1String("\\\"")) + u'"';
}

// A window whose engine is the scripted one, started with fakeArguments.
struct AnalysisFixture : TrainerFixture
{
    std::unique_ptr<KestreluxTestAccess> access;

    frmKestrelux& openWith(const QStringList& records, const QStringList& fakeArguments, bool stats)
    {
        if (stats)
            writeFile(dataFile(QStringLiteral("zantex.txt")), {});
        addSuite(QStringLiteral("WAC.EPD"), records);
        frmKestrelux& w = open();
        access = std::make_unique<KestreluxTestAccess>(w);
        access->suiteSize() = qint16(records.size());
        useEngine(QStringLiteral(KX_FAKE_XBOARD),
                  QStringList(fakeArguments) << QStringLiteral("--record") << recordFile());
        AnalysisDriver::Timing timing;
        timing.featureWait = std::chrono::milliseconds(300);
        timing.leaveDelay = std::chrono::milliseconds(300);
        timing.polling = 5;
        w.analysisDriver().setTiming(timing);
        w.ShowPosition(1);
        access->clock()->stop();
        return w;
    }

    void useEngine(const QString& program, const QStringList& arguments)
    {
        access->LastEngine() = program;
        QStringList words;
        for (const QString& a : arguments)
            words << quoted(a);
        access->LastCommandLine() = words.join(u' ');
    }

    QString recordFile() const { return dataFile(QStringLiteral("commands")); }
    QStringList commands() const
    {
        QFile file(recordFile());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    frmOutput* output() const
    {
        for (frmOutput* o : window->findChildren<frmOutput*>()) {
            if (o->isVisible())
                return o;
        }
        return nullptr;
    }
    QString outputText() const { return output() ? output()->Text() : QString(); }
    QPushButton* button(const char* name) const { return access->element<QPushButton>(name); }
    QString field(const char* name) const
    {
        if (auto* box = access->element<QPlainTextEdit>(name))
            return box->toPlainText();
        return {};
    }
    QString text(const char* name) const { return access->element<QLineEdit>(name)->text(); }
    bool engineRuns() const { return access->engine()->EngineStarted(); }
};

} // namespace

class TestAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void startSequenceAndOutput_data();
    void startSequenceAndOutput();
    void solutionGradesAndStopsOnce_data();
    void solutionGradesAndStopsOnce();
    void timeRunsOut();
    void stopCopiesTheOutput();
    void restartAnalysesTheBoard();
    void stopEngSendsExitOnce();
    void failuresAreToldInTheOutputWindow_data();
    void failuresAreToldInTheOutputWindow();
    void statusRequests_data();
    void statusRequests();
    void floodKeepsTheWindowBounded();
    void clockAnalysesEachFinishedPosition();
    void realEngineGrades_data();
    void realEngineGrades();
};

void TestAnalysis::startSequenceAndOutput_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QStringList>("fakeArguments");
    QTest::addColumn<QStringList>("expected"); // the commands up to the first "."
    QTest::addColumn<QString>("shown");

    const QStringList plain = {"xboard",  "protover 2", "new",
                               "force",   "post",       "setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1",
                               "analyze", "."};
    QTest::newRow("numbered variation; version, NNUE and eval lines not shown")
        << kWhitePawn
        << QStringList{"--on", "analyze=PolyGlot 1.4.9 by F\\n1 +0 0 0 NNUE evaluation using "
                               "nn.nnue enabled\\neval=-1.60\\n7 35 120 900 1. e4 Kd7 2. d4"}
        << plain << "\n7 35 120 900 1. e4 Kd7 2. d4";
    QTest::newRow("no features: the wait runs out")
        << kWhitePawn << QStringList{"--features", "", "--on", "analyze=5 20 10 4000 e4 Kd7"}
        << plain << "\n5 20 10 4000 e4 Kd7";
    QTest::newRow("operations before bm; move counters from hmvc and fmvn")
        << "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - acd 4; hmvc 2; fmvn "
           "3; bm Bb5; id \"W.1\";"
        << QStringList{"--on", "analyze=5 20 10 4000 Bb5 a6 Ba4"}
        << QStringList{"xboard",
                       "protover 2",
                       "new",
                       "force",
                       "post",
                       "setboard r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3",
                       "analyze",
                       "."}
        << "\n5 20 10 4000 Bb5 a6 Ba4";
    QTest::newRow("Crafty alone gets log off and noise 0")
        << kWhitePawn << QStringList{"--features", "feature myname=\"Crafty-23.4\" done=1"}
        << QStringList{"xboard",  "protover 2",
                       "log off", "new",
                       "force",   "noise 0",
                       "post",    "setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1",
                       "analyze", "."}
        << "";
    QTest::newRow("no setboard: edit mode, Black to move")
        << kBlackKing
        << QStringList{"--features", "feature setboard=0 done=0\\nfeature done=1", "--on",
                       "analyze=3 -5 1 60 1. ... Kd7 2. e4"}
        << QStringList{"xboard", "protover 2", "new", "force", "post", "a2a3",    "edit", "#",
                       "Ke1",    "Pe2",        "c",   "Ke8",   ".",    "analyze", "."}
        << "\n3 -5 1 60 1. ... Kd7 2. e4";
}

void TestAnalysis::startSequenceAndOutput()
{
    QFETCH(QString, record);
    QFETCH(QStringList, fakeArguments);
    QFETCH(QStringList, expected);
    QFETCH(QString, shown);

    AnalysisFixture fx;
    frmKestrelux& w = fx.openWith({record}, fakeArguments, false);
    fx.button("cmdAnalyze")->click();
    QCOMPARE(fx.button("cmdAnalyze")->text(), QStringLiteral("Stop"));
    QTRY_VERIFY_WITH_TIMEOUT(fx.commands().size() >= expected.size(), kWaitMs);
    QCOMPARE(fx.commands().mid(0, expected.size()), expected);
    QVERIFY(fx.output());
    QTRY_VERIFY_WITH_TIMEOUT(fx.output()->windowTitle().startsWith("stat01: "), kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(fx.outputText(), shown, kWaitMs);
    QCOMPARE(fx.output()->pos(), QPoint(400, 333));
    w.cmdAnalyze_Click();
    QVERIFY(!fx.engineRuns());
}

void TestAnalysis::solutionGradesAndStopsOnce_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("depthBefore");
    QTest::addColumn<bool>("autoNext");
    QTest::addColumn<QStringList>("grade"); // depth, difficulty, evaluation

    QTest::newRow("depth 3 gives level 5") << kWhitePawn << "3 35 120 900 1. e4 Kd7 2. d4"
                                           << "" << false << QStringList{"3", "5", "35"};
    QTest::newRow("depth 5 gives 6; unnumbered, marks set aside")
        << kWhitePawn << "5 -20 10 4000 e4! Kd7"
        << "" << true << QStringList{"5", "6", "-20"};
    QTest::newRow("depth 7 gives 7; Black to move, numbered")
        << kBlackKing << " 7 +100002 30 9000 1. ... Kd7+ 2. e4"
        << "" << false << QStringList{"7", "7", "+100002"};
    QTest::newRow("coordinate move: depth 4 gives 6") << kWhitePawn << "4 12 3 800 e2e4 e8d7"
                                                      << "" << true << QStringList{"4", "6", "12"};
    QTest::newRow("a depth already noted stays; evaluation is still the second word")
        << kWhitePawn << "2 35 1 90 e4"
        << "9" << false << QStringList{"9", "7", "35"};
}

void TestAnalysis::solutionGradesAndStopsOnce()
{
    QFETCH(QString, record);
    QFETCH(QString, line);
    QFETCH(QString, depthBefore);
    QFETCH(bool, autoNext);
    QFETCH(QStringList, grade);

    AnalysisFixture fx;
    // A second solution line and more thinking lines come during the pause.
    frmKestrelux& w =
        fx.openWith(QStringList(60, record),
                    {"--on", "analyze=1 0 0 1 Kf2\\n" + line + "\\n9 99 9 9 e4 Kd7"}, true);
    fx.access->element<QLineEdit>("txtDepth")->setText(depthBefore);
    fx.access->element<QCheckBox>("chkAuto")->setChecked(autoNext);
    QSignalSpy found(&w.analysisDriver(), &AnalysisDriver::solutionFound);
    QSignalSpy finish(&w.analysisDriver(), &AnalysisDriver::finishRequested);
    kx::RandomSource next = w.randomSource();
    const qint16 drawn = kx::DrawPositionNumber(next.Next(), 60);

    fx.button("cmdAnalyze")->click();
    QTRY_COMPARE_WITH_TIMEOUT(found.size(), 1, kWaitMs);
    // Graded at once; stopped only after the pause.
    QCOMPARE(fx.field("txtCommento"), line);
    QCOMPARE(
        QStringList({fx.text("txtDepth"), fx.text("txtDifficolta"), fx.text("txtValutazione")}),
        grade);
    QCOMPARE(w.analysisDriver().state(), AnalysisDriver::State::LeavingAnalysis);
    QVERIFY(fx.engineRuns());
    QTRY_VERIFY_WITH_TIMEOUT(!fx.engineRuns(), kWaitMs);
    QCOMPARE(found.size(), 1);
    QCOMPARE(finish.size(), 1);
    QCOMPARE(fx.button("cmdAnalyze")->text(), QStringLiteral("Analyze"));
    QVERIFY(QApplication::clipboard()->text().contains(line));
    QCOMPARE(fx.access->currentPosition(), autoNext ? drawn : 1);
}

void TestAnalysis::timeRunsOut()
{
    AnalysisFixture fx;
    frmKestrelux& w =
        fx.openWith({kWhitePawn}, {"--on", "analyze=3 10 1 100 1. Kd1 Kd7\\n4 10 1 100 e4"}, true);
    fx.access->element<QLineEdit>("txtAnalyzeTime")->setText("0");
    fx.access->element<QLineEdit>("txtDepth")->setText("12");
    QSignalSpy finish(&w.analysisDriver(), &AnalysisDriver::finishRequested);
    fx.button("cmdAnalyze")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!fx.engineRuns(), kWaitMs);
    QCOMPARE(finish.size(), 1);
    QCOMPARE(fx.field("txtCommento"), QStringLiteral(" ??? Sol move not found ???"));
    QCOMPARE(fx.text("txtDifficolta"), QStringLiteral("7"));
    QCOMPARE(fx.text("txtDepth"), QStringLiteral("12"));
    QCOMPARE(fx.text("txtValutazione"), QString());
}

void TestAnalysis::stopCopiesTheOutput()
{
    AnalysisFixture fx;
    frmKestrelux& w = fx.openWith({kWhitePawn}, {"--on", "analyze=6 40 50 7000 e4 Kd7"}, false);
    QSignalSpy failed(&w.analysisDriver(), &AnalysisDriver::failed);
    fx.button("cmdAnalyze")->click();
    QTRY_COMPARE_WITH_TIMEOUT(fx.outputText(), QStringLiteral("\n6 40 50 7000 e4 Kd7"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(fx.output()->windowTitle().startsWith("stat01: "), kWaitMs);
    fx.button("cmdAnalyze")->click();
    // The caption read at the stop closes the copied text.
    const QStringList copied = QApplication::clipboard()->text().split(u'\n');
    QCOMPARE(copied.mid(0, 2), (QStringList{"", "6 40 50 7000 e4 Kd7"}));
    QVERIFY(copied.value(2).startsWith("stat01: "));
    QCOMPARE(fx.button("cmdAnalyze")->text(), QStringLiteral("Analyze"));
    QVERIFY(!fx.engineRuns() && !fx.output());
    QCOMPARE(failed.size(), 0); // a stop is no failure
}

void TestAnalysis::restartAnalysesTheBoard()
{
    AnalysisFixture fx;
    frmKestrelux& w = fx.openWith({kWhitePawn}, {}, true);
    fx.access->playMove(e, 2, e, 4);
    w.cmdEngRestart_Click();
    const QString board = "setboard 4k3/8/8/8/4P3/8/8/4K3 b - - 0 1";
    QTRY_VERIFY_WITH_TIMEOUT(fx.commands().contains(board), kWaitMs);
    QCOMPARE(fx.button("cmdAnalyze")->text(), QStringLiteral("Analyze"));
    // Without "Auto" a restart while the engine runs only stops it.
    w.cmdEngRestart_Click();
    QVERIFY(!fx.engineRuns() && !fx.output());
    QCOMPARE(fx.commands().count(board), 1);
}

void TestAnalysis::stopEngSendsExitOnce()
{
    AnalysisFixture fx;
    frmKestrelux& w = fx.openWith({kWhitePawn}, {"--exit-on", "sentinel"}, true);
    fx.button("cmdAnalyze")->click();
    QTRY_VERIFY_WITH_TIMEOUT(fx.commands().contains("analyze"), kWaitMs);
    fx.button("cmdStopEng")->click();
    fx.button("cmdStopEng")->click();
    QCOMPARE(fx.access->engine()->TimePolling(), 200);
    QVERIFY(fx.access->engine()->WriteToEngine("sentinel") > 0);
    QTRY_VERIFY_WITH_TIMEOUT(fx.commands().contains("sentinel"), kWaitMs);
    QCOMPARE(fx.commands().count("exit"), 1);
    QCOMPARE(w.analysisDriver().state(), AnalysisDriver::State::OutOfAnalysis);
}

void TestAnalysis::failuresAreToldInTheOutputWindow_data()
{
    QTest::addColumn<QString>("program"); // <fake>: the scripted engine
    QTest::addColumn<QStringList>("fakeArguments");
    QTest::addColumn<QString>("told");

    QTest::newRow("engine ends at once")
        << "<fake>" << QStringList{"--exit-at-once"} << "The engine ended by itself.";
    QTest::newRow("tellusererror, then exit 0")
        << "<fake>"
        << QStringList{"--on", "xboard=tellusererror Engine not found", "--exit-on", "xboard"}
        << "The engine reported an error: Engine not found";
    QTest::newRow("missing program")
        << "/nonexistent/kx-engine" << QStringList{"-x"} << "The engine could not be started.";
    QTest::newRow("no engine set")
        << "" << QStringList{} << "No engine is set. Choose one with \"Set Eng\".";
}

void TestAnalysis::failuresAreToldInTheOutputWindow()
{
    QFETCH(QString, program);
    QFETCH(QStringList, fakeArguments);
    QFETCH(QString, told);

    AnalysisFixture fx;
    frmKestrelux& w = fx.openWith({kWhitePawn}, {}, false);
    fx.useEngine(program.replace("<fake>", KX_FAKE_XBOARD), fakeArguments);
    QSignalSpy failed(&w.analysisDriver(), &AnalysisDriver::failed);
    fx.button("cmdAnalyze")->click();
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, kWaitMs);
    const QString commandLine = (program + u' ' + fx.access->LastCommandLine()).trimmed();
    QCOMPARE(fx.outputText(), "\n" + told + "\nCommand line: " + commandLine);
    QCOMPARE(fx.button("cmdAnalyze")->text(), QStringLiteral("Analyze"));
    QVERIFY(!fx.engineRuns());
    QCOMPARE(w.analysisDriver().state(), AnalysisDriver::State::Idle);
}

void TestAnalysis::statusRequests_data()
{
    QTest::addColumn<QStringList>("fakeArguments");
    QTest::addColumn<bool>("refused");

    QTest::newRow("answered: one request after each answer") << QStringList{} << false;
    // Each refusal comes with a thinking line, which would ask again.
    for (const char* refusal : {"Error (unknown command): .", "Illegal move: .", "Invalid move: ."})
        QTest::newRow(refusal) << QStringList{"--on", QStringLiteral(".=") + refusal, "--on",
                                              ".=5 1 1 1 e4"}
                               << true;
}

void TestAnalysis::statusRequests()
{
    QFETCH(QStringList, fakeArguments);
    QFETCH(bool, refused);

    AnalysisFixture fx;
    fx.openWith({kWhitePawn},
                fakeArguments << "--exit-on"
                              << "sentinel",
                false);
    fx.button("cmdAnalyze")->click();
    if (!refused) {
        QTRY_VERIFY_WITH_TIMEOUT(fx.commands().count(".") >= 3, kWaitMs);
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(fx.outputText(), QStringLiteral("\n5 1 1 1 e4"), kWaitMs);
    QVERIFY(fx.access->engine()->WriteToEngine("sentinel") > 0);
    QTRY_VERIFY_WITH_TIMEOUT(fx.commands().contains("sentinel"), kWaitMs);
    QCOMPARE(fx.commands().count("."), 1);
}

void TestAnalysis::floodKeepsTheWindowBounded()
{
    AnalysisFixture fx;
    fx.openWith({kWhitePawn}, {"--flood", "3000"}, false);
    fx.button("cmdAnalyze")->click();
    const QString last = "3000 12 3000 3000000 1. Nf3 d5 2. d4";
    QTRY_VERIFY_WITH_TIMEOUT(fx.outputText().endsWith(last), kWaitMs);
    const QString text = fx.outputText();
    QVERIFY(text.size() <= 30000 + last.size() + 1);
    // Whatever is left after emptying is the latest lines, whole and in order.
    const QStringList lines = text.split(u'\n').mid(1);
    QVERIFY(lines.size() > 100);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int depth = int(3000 - lines.size() + 1 + i);
        QCOMPARE(lines.at(i),
                 QStringLiteral("%1 12 %1 %2 1. Nf3 d5 2. d4").arg(depth).arg(depth * 1000));
    }
}

void TestAnalysis::clockAnalysesEachFinishedPosition()
{
    QStringList records;
    for (int file = 1; file <= 8; ++file)
        records << QStringLiteral("4k3/8/8/8/8/8/%1P%2/4K3 w - - bm %3%4;")
                       .arg(file > 1 ? QString::number(file - 1) : QString())
                       .arg(file < 8 ? QString::number(8 - file) : QString())
                       .arg(QChar(u'a' + file - 1))
                       .arg(4);
    AnalysisFixture fx;
    frmKestrelux& w = fx.openWith(records, {}, false);
    fx.access->element<QLineEdit>("txtTimeForPosition")->setText("1");
    fx.access->element<QCheckBox>("chkAnalyze")->setChecked(true);
    fx.button("cmdNew")->click();
    fx.access->clock()->stop();

    QStringList analysed;
    const auto finishAttempt = [&] {
        analysed << "setboard " + kx::EngineFen(fx.text("txtFen"));
        const qint32 before = fx.access->attemptCount();
        while (fx.access->attemptCount() == before)
            w.tmrTime_Timer();
        fx.access->clock()->stop();
    };
    for (int attempt = 0; attempt < 2; ++attempt) {
        finishAttempt();
        // Each finished position is analysed, the previous analysis stopped first.
        QTRY_COMPARE_WITH_TIMEOUT(fx.commands().filter("setboard"), analysed, kWaitMs);
    }

    fx.access->positionAnalysed() = true;
    const QString record = fx.text("txtFen");
    finishAttempt();
    QCOMPARE(QApplication::clipboard()->text(), record); // nothing stopped
    QVERIFY(!fx.access->positionAnalysed());
    QVERIFY(fx.engineRuns());
}

void TestAnalysis::realEngineGrades_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("solution");

    QTest::newRow("WAC.001, White to move") << 1 << "Qg6";
    QTest::newRow("WAC.012, Black to move") << 12 << "Qxf3";
}

void TestAnalysis::realEngineGrades()
{
    QFETCH(int, position);
    QFETCH(QString, solution);
    const QString polyglot = QStringLiteral("/usr/games/polyglot");
    const QString stockfish = QStringLiteral("/usr/games/stockfish");
    if (!QFileInfo(polyglot).isExecutable() || !QFileInfo(stockfish).isExecutable())
        QSKIP("needs the Debian packages polyglot and stockfish");
    QFile suite(QStringLiteral(KX_SUITES_DIR "/WAC.EPD"));
    if (!suite.open(QIODevice::ReadOnly))
        QSKIP("needs WAC.EPD in " KX_SUITES_DIR);
    const QStringList records = QString::fromUtf8(suite.readAll()).split(u'\n').mid(0, 12);

    AnalysisFixture fx;
    frmKestrelux& w = fx.openWith(records, {}, true);
    w.ShowPosition(qint16(position));
    fx.useEngine(polyglot, {"-noini", "-ec", stockfish});
    fx.button("cmdAnalyze")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!fx.text("txtDepth").isEmpty(), kWaitMs);
    const kx::ThinkingLine line = kx::ReadThinkingLine(fx.field("txtCommento"));
    QCOMPARE(line.firstMove, solution);
    QCOMPARE(fx.text("txtDepth"), QString::number(line.depth));
    QCOMPARE(fx.text("txtValutazione").toLongLong(), line.score);
    QCOMPARE(fx.text("txtDifficolta"), kx::DifficultyForDepth(line.depth));
    QTRY_VERIFY_WITH_TIMEOUT(!fx.engineRuns(), kWaitMs);
}

QTEST_MAIN(TestAnalysis)
#include "tst_analysis.moc"
