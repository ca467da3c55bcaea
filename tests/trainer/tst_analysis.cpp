// Engine analysis through the main window against a scripted xboard engine
// (and polyglot with Stockfish when installed): commands and their order, the
// output window, grading in statistics mode, stop, restart, StopEng, failures,
// status requests, and the clock's analysis of each finished position.

#include "../core/TestFiles.h"
#include "AnalysisDriver.h"
#include "KestreluxTestAccess.h"
#include "TrainerFixture.h"
#include "frmOutput.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int kWaitMs = 30000;
const QString kWhite = QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 w - - bm e4; id \"T.1\";");
const QString kBlack = QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 b - - bm Kd7; id \"T.2\";");

// A window on a suite of records whose engine is the scripted one.
struct Fixture : TrainerFixture
{
    KestreluxTestAccess* a = nullptr;

    frmKestrelux& openWith(const QStringList& records, const QStringList& fake, bool stats)
    {
        if (stats)
            writeFile(dataFile("zantex.txt"), {});
        a = &openOn(records);
        if (stats)
            window->cmdScanBM_Click(); // so that every record can be drawn
        useEngine(KX_FAKE_XBOARD, QStringList(fake) << "--record" << dataFile("commands"));
        AnalysisDriver::Timing timing;
        timing.featureWait = timing.leaveDelay = std::chrono::milliseconds(300);
        timing.polling = 5;
        window->analysisDriver().setTiming(timing);
        window->ShowPosition(1);
        a->clock()->stop();
        return *window;
    }
    /// The engine program with its arguments, each quoted; the command-line text set.
    QString useEngine(const QString& program, const QStringList& arguments)
    {
        QStringList words;
        for (QString word : arguments)
            words << u'"' + word.replace(u'"', QLatin1String("\\\"")) + u'"';
        a->useEngine(program, words.join(u' '));
        return words.join(u' ');
    }
    QStringList commands() const
    {
        return QString::fromUtf8(readAll(dataFile("commands"))).split(u'\n', Qt::SkipEmptyParts);
    }
    frmOutput* output() const
    {
        frmOutput* o = window->findChild<frmOutput*>();
        return o && o->isVisible() ? o : nullptr;
    }
    QString shown() const { return output() ? output()->Text() : QString(); }
    QString caption() { return a->text("cmdAnalyze"); }
    QStringList grade()
    {
        return {a->text("txtCommento"), a->text("txtDepth"), a->text("txtDifficolta"),
                a->text("txtValutazione")};
    }
    bool engineRuns() const { return a->engine()->EngineStarted(); }
    // Whatever was sent before has arrived once this has.
    bool sentinelArrives()
    {
        return a->engine()->WriteToEngine("sentinel") > 0 &&
               QTest::qWaitFor([&] { return commands().contains("sentinel"); }, kWaitMs);
    }
};

} // namespace

class TestAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void startSequenceAndOutput_data();
    void startSequenceAndOutput();
    void gradesAndStopsOnce_data();
    void gradesAndStopsOnce();
    void stopRestartAndStopEng();
    void failuresAreTold_data();
    void failuresAreTold();
    void refusedStatusRequestsStop_data();
    void refusedStatusRequestsStop();
    void floodKeepsTheWindowBounded();
    void clockAnalysesEachFinishedPosition();
    void realEngineGrades_data();
    void realEngineGrades();
};

void TestAnalysis::startSequenceAndOutput_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QStringList>("fake");
    QTest::addColumn<QString>("expected"); // commands up to the first ".", "|" between
    QTest::addColumn<QString>("shown");

    const QString plain = "xboard|protover 2|new|force|post|setboard 4k3/8/8/8/8/8/4P3/4K3 w - - "
                          "0 1|analyze|.";
    QTest::newRow("numbered; version, NNUE and eval lines not shown")
        << kWhite
        << QStringList{"--on", "analyze=PolyGlot 1.4.9 by F\\n1 +0 0 0 NNUE evaluation using "
                               "nn.nnue enabled\\neval=-1.60\\n7 35 120 900 1. e4 Kd7 2. d4"}
        << plain << "\n7 35 120 900 1. e4 Kd7 2. d4";
    QTest::newRow("no features: the wait runs out")
        << kWhite << QStringList{"--features", "", "--on", "analyze=5 20 10 4000 e4 Kd7"} << plain
        << "\n5 20 10 4000 e4 Kd7";
    QTest::newRow("operations before bm; counters from hmvc and fmvn")
        << "8/8/8/8/8/8/8/K6k w - - acd 4; hmvc 2; fmvn 3; bm Kb2; id \"W.1\";" << QStringList{}
        << "xboard|protover 2|new|force|post|setboard 8/8/8/8/8/8/8/K6k w - - 2 3|analyze|."
        << "";
    QTest::newRow("Crafty alone gets log off and noise 0")
        << kWhite << QStringList{"--features", "feature myname=\"Crafty-23.4\" done=1"}
        << "xboard|protover 2|log off|new|force|noise 0|post|setboard 4k3/8/8/8/8/8/4P3/4K3 w "
           "- - 0 1|analyze|."
        << "";
    QTest::newRow("no setboard: edit mode, Black to move")
        << kBlack
        << QStringList{"--features", "feature setboard=0 done=0\\nfeature done=1", "--on",
                       "analyze=3 -5 1 60 1. ... Kd7 2. e4"}
        << "xboard|protover 2|new|force|post|a2a3|edit|#|Ke1|Pe2|c|Ke8|.|analyze|."
        << "\n3 -5 1 60 1. ... Kd7 2. e4";
}

void TestAnalysis::startSequenceAndOutput()
{
    QFETCH(QString, record);
    QFETCH(QStringList, fake);
    QFETCH(QString, expected);
    QFETCH(QString, shown);

    Fixture fx;
    fx.openWith({record}, fake, false);
    fx.a->click("cmdAnalyze");
    QCOMPARE(fx.caption(), QStringLiteral("Stop"));
    const QStringList sequence = expected.split(u'|');
    QTRY_VERIFY_WITH_TIMEOUT(fx.commands().size() >= sequence.size(), kWaitMs);
    QCOMPARE(fx.commands().mid(0, sequence.size()), sequence);
    QCOMPARE(fx.output()->pos(), QPoint(400, 333));
    fx.output()->resize(500, 300); // the text fills the window; a double-click copies it all
    QCOMPARE(fx.output()->txtOutput->geometry(), QRect(0, 0, 500, 300));
    QTRY_VERIFY_WITH_TIMEOUT(fx.output()->windowTitle().startsWith("stat01: "), kWaitMs);
    // One status request after each answer.
    QTRY_VERIFY_WITH_TIMEOUT(fx.commands().count(".") >= 3, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(fx.shown(), shown, kWaitMs);
    QTest::mouseDClick(fx.output()->txtOutput->viewport(), Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), shown);
}

void TestAnalysis::gradesAndStopsOnce_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("time");   // txtAnalyzeTime
    QTest::addColumn<QString>("before"); // comment|depth|difficulty|evaluation
    QTest::addColumn<bool>("autoNext");
    QTest::addColumn<QString>("after"); // <line> stands for the line
    const auto row = [](const char* name, const QString& record, const char* line, const char* time,
                        const char* before, bool autoNext, const char* after) {
        QTest::newRow(name) << record << line << time << before << autoNext << after;
    };
    row("depth 3 gives 5", kWhite, "3 35 120 900 1. e4 Kd7 2. d4", "30", "|||", false,
        "<line>|3|5|35");
    row("depth 5 gives 6; unnumbered, mark set aside, Auto", kWhite, "5 -20 10 4000 e4! Kd7", "30",
        "|||", true, "<line>|5|6|-20");
    row("depth 7 gives 7; Black to move", kBlack, " 7 +100002 30 9000 1. ... Kd7+ 2. e4", "30",
        "|||", false, "<line>|7|7|+100002");
    row("coordinates; depth 4 gives 6, Auto", kWhite, "4 12 3 800 e2e4 e8d7", "30", "|||", true,
        "<line>|4|6|12");
    row("noted depth stays, evaluation still the second word", kWhite, "2 35 1 90 e4", "30", "|9||",
        false, "<line>|9|7|35");
    row("time up, not solved", kWhite, "3 10 1 100 1. Kd1 Kd7", "0", "|12||", false,
        " ??? Sol move not found ???|12|7|");
}

void TestAnalysis::gradesAndStopsOnce()
{
    QFETCH(QString, record);
    QFETCH(QString, line);
    QFETCH(QString, time);
    QFETCH(QString, before);
    QFETCH(bool, autoNext);
    QFETCH(QString, after);

    Fixture fx;
    // A solution line again, and more lines, come while the stop is due.
    frmKestrelux& w =
        fx.openWith(QStringList(60, record),
                    {"--on", "analyze=1 0 0 1 Kf2\\n" + line + "\\n9 99 9 9 e4 Kd7"}, true);
    const char* fields[] = {"txtCommento", "txtDepth", "txtDifficolta", "txtValutazione"};
    for (int i = 0; i < 4; ++i)
        fx.a->setText(fields[i], before.section(u'|', i, i));
    fx.a->setText("txtAnalyzeTime", time);
    fx.a->element<QCheckBox>("chkAuto")->setChecked(autoNext);
    QStringList graded; // as the checks left the fields, before Auto shows another position
    const auto note = [&] {
        graded << fx.grade().join(u'|');
    };
    connect(&w.analysisDriver(), &AnalysisDriver::solutionFound, this, note);
    connect(&w.analysisDriver(), &AnalysisDriver::timeRanOut, this, note);
    QSignalSpy found(&w.analysisDriver(), &AnalysisDriver::solutionFound);
    QSignalSpy finish(&w.analysisDriver(), &AnalysisDriver::finishRequested);
    kx::RandomSource next = w.randomSource();
    const qint16 drawn = kx::DrawPositionNumber(next.Next(), 60);

    fx.a->click("cmdAnalyze");
    if (time != "0") { // graded at once, stopped only after the pause
        QTRY_COMPARE_WITH_TIMEOUT(found.size(), 1, kWaitMs);
        QCOMPARE(w.analysisDriver().state(), AnalysisDriver::State::LeavingAnalysis);
        QVERIFY(fx.engineRuns());
    }
    QTRY_VERIFY_WITH_TIMEOUT(!fx.engineRuns(), kWaitMs);
    QCOMPARE(graded, QStringList{QString(after).replace("<line>", line)});
    QCOMPARE(found.size(), time != "0");
    QCOMPARE(finish.size(), 1);
    QCOMPARE(fx.caption(), QStringLiteral("Analyze"));
    QVERIFY(QApplication::clipboard()->text().startsWith("\n1 0 0 1 Kf2\n"));
    QCOMPARE(fx.a->currentPosition(), autoNext ? drawn : 1);
}

void TestAnalysis::stopRestartAndStopEng()
{
    Fixture fx;
    frmKestrelux& w = fx.openWith(
        {kWhite}, {"--on", "analyze=6 40 50 7000 e4 Kd7", "--exit-on", "sentinel"}, true);
    QSignalSpy failed(&w.analysisDriver(), &AnalysisDriver::failed);
    fx.a->click("cmdAnalyze");
    QTRY_COMPARE_WITH_TIMEOUT(fx.shown(), QStringLiteral("\n6 40 50 7000 e4 Kd7"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(fx.output()->windowTitle().startsWith("stat01: "), kWaitMs);
    // StopEng: "exit" once, the engine kept and polled less often.
    fx.a->click("cmdStopEng");
    fx.a->click("cmdStopEng");
    QCOMPARE(fx.a->engine()->TimePolling(), 200);
    QVERIFY(fx.sentinelArrives());
    QCOMPARE(fx.commands().count("exit"), 1);
    QVERIFY(fx.engineRuns());
    // Stop: the output and its caption on the clipboard.
    fx.a->click("cmdAnalyze");
    const QStringList copied = QApplication::clipboard()->text().split(u'\n');
    QCOMPARE(copied.mid(0, 2), (QStringList{"", "6 40 50 7000 e4 Kd7"}));
    QVERIFY(copied.value(2).startsWith("stat01: "));
    QVERIFY(fx.caption() == "Analyze" && !fx.engineRuns() && !fx.output());

    // restart: the board with the user's move on it; again only stops (no Auto).
    fx.a->playMove(Pellomar::e, 2, Pellomar::e, 4);
    w.cmdEngRestart_Click();
    const QString board = "setboard 4k3/8/8/8/4P3/8/8/4K3 b - e3 0 1";
    QTRY_VERIFY_WITH_TIMEOUT(fx.commands().contains(board), kWaitMs);
    QCOMPARE(fx.caption(), QStringLiteral("Analyze"));
    w.cmdEngRestart_Click();
    QVERIFY(!fx.engineRuns() && !fx.output());
    QCOMPARE(failed.size(), 0); // no stop is a failure
}

void TestAnalysis::failuresAreTold_data()
{
    QTest::addColumn<QString>("program"); // <fake>: the scripted engine
    QTest::addColumn<QStringList>("fake");
    QTest::addColumn<QString>("told");

    QTest::newRow("ends at once") << "<fake>" << QStringList{"--exit-at-once"}
                                  << "The engine ended by itself.";
    QTest::newRow("tellusererror, then exit 0")
        << "<fake>"
        << QStringList{"--on", "xboard=tellusererror Engine not found", "--exit-on", "xboard"}
        << "The engine reported an error: Engine not found";
    QTest::newRow("missing program")
        << "/nonexistent/kx-engine" << QStringList{"-x"} << "The engine could not be started.";
    QTest::newRow("no engine set")
        << "" << QStringList{} << "No engine is set. Choose one with \"Set Eng\".";
}

void TestAnalysis::failuresAreTold()
{
    QFETCH(QString, program);
    QFETCH(QStringList, fake);
    QFETCH(QString, told);

    Fixture fx;
    frmKestrelux& w = fx.openWith({kWhite}, {}, false);
    const QString arguments = fx.useEngine(program.replace("<fake>", KX_FAKE_XBOARD), fake);
    QSignalSpy failed(&w.analysisDriver(), &AnalysisDriver::failed);
    fx.a->click("cmdAnalyze");
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, kWaitMs);
    const QString commandLine = (program + u' ' + arguments).trimmed();
    QCOMPARE(fx.shown(), "\n" + told + "\nCommand line: " + commandLine);
    QCOMPARE(fx.output()->windowTitle(), QStringLiteral("Engine output"));
    QVERIFY(fx.caption() == "Analyze" && !fx.engineRuns());
    QCOMPARE(w.analysisDriver().state(), AnalysisDriver::State::Idle);
}

void TestAnalysis::refusedStatusRequestsStop_data()
{
    QTest::addColumn<QString>("refusal");
    for (const char* refusal : {"Error (unknown command): .", "Illegal move: .", "Invalid move: ."})
        QTest::newRow(refusal) << refusal;
}

void TestAnalysis::refusedStatusRequestsStop()
{
    QFETCH(QString, refusal);
    Fixture fx;
    // Each refusal comes with a thinking line, which would ask again; none is asked.
    fx.openWith({kWhite}, {"--on", ".=" + refusal, "--on", ".=5 1 1 1 e4"}, false);
    fx.a->click("cmdAnalyze");
    QTRY_COMPARE_WITH_TIMEOUT(fx.shown(), QStringLiteral("\n5 1 1 1 e4"), kWaitMs);
    QVERIFY(fx.sentinelArrives());
    QCOMPARE(fx.commands().count("."), 1);
}

void TestAnalysis::floodKeepsTheWindowBounded()
{
    Fixture fx;
    fx.openWith({kWhite}, {"--flood", "3000"}, false);
    fx.a->click("cmdAnalyze");
    QTRY_VERIFY_WITH_TIMEOUT(fx.shown().endsWith("\n3000 12 3000 3000000 1. Nf3 d5 2. d4"),
                             kWaitMs);
    // What is left after emptying is the latest lines, whole and in order.
    const QStringList lines = fx.shown().split(u'\n').mid(1);
    QVERIFY(fx.shown().size() < 30100 && lines.size() > 100);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype depth = 3000 - lines.size() + 1 + i;
        QCOMPARE(lines[i],
                 QStringLiteral("%1 12 %1 %2 1. Nf3 d5 2. d4").arg(depth).arg(depth * 1000));
    }
}

void TestAnalysis::clockAnalysesEachFinishedPosition()
{
    QStringList records; // a pawn on each file
    for (int f = 0; f < 8; ++f)
        records << QStringLiteral("4k3/8/8/8/8/8/%1P%2/4K3 w - - bm %3;")
                       .arg(f ? QString::number(f) : "", f < 7 ? QString::number(7 - f) : "",
                            QChar(u'a' + f) + QStringLiteral("4"));
    Fixture fx;
    fx.openWith(records, {}, false);
    fx.a->setText("txtTimeForPosition", "1");
    fx.a->element<QCheckBox>("chkAnalyze")->setChecked(true);
    fx.a->click("cmdNew");
    fx.a->clock()->stop();

    QStringList analysed;
    const auto finishAttempt = [&] {
        analysed << "setboard " + kx::EngineFen(fx.a->text("txtFen"));
        fx.a->finishAttempt();
    };
    for (int attempt = 0; attempt < 2; ++attempt) {
        finishAttempt(); // the previous analysis is stopped first
        QTRY_COMPARE_WITH_TIMEOUT(fx.commands().filter("setboard"), analysed, kWaitMs);
    }
    fx.a->session().setPositionAnalysed(true);
    const QString record = fx.a->text("txtFen");
    finishAttempt();
    QCOMPARE(QApplication::clipboard()->text(), record); // nothing stopped, nothing started
    QVERIFY(!fx.a->session().positionAnalysed() && fx.engineRuns());
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
    const QString polyglot = "/usr/games/polyglot", stockfish = "/usr/games/stockfish";
    if (!QFileInfo(polyglot).isExecutable() || !QFileInfo(stockfish).isExecutable())
        QSKIP("needs the Debian packages polyglot and stockfish");
    QFile suite(KX_SUITES_DIR "/WAC.EPD");
    if (!suite.open(QIODevice::ReadOnly))
        QSKIP("needs WAC.EPD in " KX_SUITES_DIR);

    Fixture fx;
    frmKestrelux& w =
        fx.openWith(QString::fromUtf8(suite.readAll()).split(u'\n').mid(0, 12), {}, true);
    w.ShowPosition(qint16(position));
    fx.useEngine(polyglot, {"-noini", "-ec", stockfish});
    fx.a->click("cmdAnalyze");
    QTRY_VERIFY_WITH_TIMEOUT(!fx.a->text("txtDepth").isEmpty(), kWaitMs);
    const kx::ThinkingLine line = kx::ReadThinkingLine(fx.a->text("txtCommento"));
    QCOMPARE(line.firstMove, solution);
    QCOMPARE(fx.grade().mid(1),
             (QStringList{QString::number(line.depth), kx::DifficultyForDepth(line.depth),
                          fx.a->text("txtCommento").split(' ', Qt::SkipEmptyParts)[1]}));
    QTRY_VERIFY_WITH_TIMEOUT(!fx.engineRuns(), kWaitMs);
}

QTEST_MAIN(TestAnalysis)
#include "tst_analysis.moc"
