// Engine analysis through the main window against a scripted engine of either
// protocol (and Stockfish, through polyglot and directly, when installed):
// commands and their order, how Auto decides, the output window, grading in
// statistics mode, stop, restart, StopEng, failures, status requests, an
// engine that answers nothing, and the clock's analysis of each finished position.

#include "../core/TestFiles.h"
#include "AnalysisDriver.h"
#include "EngineCheck.h"
#include "KestreluxTestAccess.h"
#include "TrainerFixture.h"
#include "frmOutput.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>
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

    frmKestrelux& openWith(const QStringList& records, const QStringList& fake, bool stats,
                           kx::EngineProtocol protocol = kx::EngineProtocol::Auto)
    {
        if (stats)
            writeFile(dataFile("zantex.txt"), {});
        a = &openOn(records);
        if (stats)
            window->cmdScanBM_Click(); // so that every record can be drawn
        useEngine(KX_FAKE_XBOARD, QStringList(fake) << "--record" << dataFile("commands"),
                  protocol);
        window->analysisDriver().setTiming(timing());
        window->ShowPosition(1);
        a->clock()->stop();
        return *window;
    }
    static AnalysisDriver::Timing timing()
    {
        AnalysisDriver::Timing timing;
        timing.answerWait = timing.leaveDelay = timing.stopWait = std::chrono::milliseconds(300);
        timing.probeWait = std::chrono::milliseconds(100);
        timing.silenceNotice = std::chrono::milliseconds(600);
        timing.polling = 5;
        return timing;
    }
    /// The engine program with its arguments, each quoted; the command-line text set.
    QString useEngine(const QString& program, const QStringList& arguments,
                      kx::EngineProtocol protocol = kx::EngineProtocol::Auto)
    {
        QStringList words;
        for (QString word : arguments)
            words << u'"' + word.replace(u'"', QLatin1String("\\\"")) + u'"';
        a->useEngine(program, words.join(u' '), protocol);
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
    void uciDialogue_data();
    void uciDialogue();
    void gradesAndStopsOnce_data();
    void gradesAndStopsOnce();
    void stopRestartAndStopEng();
    void failuresAreTold_data();
    void failuresAreTold();
    void refusedStatusRequestsStop_data();
    void refusedStatusRequestsStop();
    void floodKeepsTheWindowBounded();
    void silentEngineIsTold_data();
    void silentEngineIsTold();
    void clockAnalysesEachFinishedPosition();
    void realEngineGrades_data();
    void realEngineGrades();
    void engineChecksAMiss_data();
    void engineChecksAMiss();
    void realEngineChecksAMiss();
};

void TestAnalysis::startSequenceAndOutput_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QStringList>("fake");
    QTest::addColumn<QString>("expected"); // commands up to the first ".", "|" between
    QTest::addColumn<QString>("shown");
    QTest::addColumn<kx::EngineProtocol>("protocol"); // Auto unless the row says

    const QString plain = "xboard|protover 2|new|force|post|setboard 4k3/8/8/8/8/8/4P3/4K3 w - - "
                          "0 1|analyze|.";
    const QString afterUci = "xboard|protover 2|uci|new|force|post|setboard "
                             "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1|analyze|.";
    QTest::newRow("numbered; version, NNUE and eval lines not shown")
        << kWhite
        << QStringList{"--on", "analyze=PolyGlot 1.4.9 by F\\n1 +0 0 0 NNUE evaluation using "
                               "nn.nnue enabled\\neval=-1.60\\n7 35 120 900 1. e4 Kd7 2. d4"}
        << plain << "\n7 35 120 900 1. e4 Kd7 2. d4" << kx::EngineProtocol::Auto;
    QTest::newRow("xboard, no features: the wait runs out")
        << kWhite << QStringList{"--features", "", "--on", "analyze=5 20 10 4000 e4 Kd7"} << plain
        << "\n5 20 10 4000 e4 Kd7" << kx::EngineProtocol::Xboard;
    QTest::newRow("Auto, no features: UCI tried, then xboard")
        << kWhite << QStringList{"--features", "", "--on", "analyze=5 20 10 4000 e4 Kd7"}
        << afterUci << "\n5 20 10 4000 e4 Kd7" << kx::EngineProtocol::Auto;
    QTest::newRow("Auto, refuses uci as hoichess does and ends: started again in xboard")
        << kWhite << QStringList{"--features", "",    "--on", "uci=Error (unknown command): uci",
                                 "--exit-on",  "uci", "--on", "analyze=5 20 10 4000 e4 Kd7"}
        << "xboard|protover 2|uci|" + plain << "\n5 20 10 4000 e4 Kd7" << kx::EngineProtocol::Auto;
    QTest::newRow("operations before bm; counters from hmvc and fmvn")
        << "8/8/8/8/8/8/8/K6k w - - acd 4; hmvc 2; fmvn 3; bm Kb2; id \"W.1\";" << QStringList{}
        << "xboard|protover 2|new|force|post|setboard 8/8/8/8/8/8/8/K6k w - - 2 3|analyze|."
        << "" << kx::EngineProtocol::Xboard;
    QTest::newRow("Crafty alone gets log off and noise 0")
        << kWhite << QStringList{"--features", "feature myname=\"Crafty-23.4\" done=1"}
        << "xboard|protover 2|log off|new|force|noise 0|post|setboard 4k3/8/8/8/8/8/4P3/4K3 w "
           "- - 0 1|analyze|."
        << "" << kx::EngineProtocol::Auto;
    QTest::newRow("no setboard: edit mode, Black to move")
        << kBlack
        << QStringList{"--features", "feature setboard=0 done=0\\nfeature done=1", "--on",
                       "analyze=3 -5 1 60 1. ... Kd7 2. e4"}
        << "xboard|protover 2|new|force|post|a2a3|edit|#|Ke1|Pe2|c|Ke8|.|analyze|."
        << "\n3 -5 1 60 1. ... Kd7 2. e4" << kx::EngineProtocol::Auto;
}

void TestAnalysis::startSequenceAndOutput()
{
    QFETCH(QString, record);
    QFETCH(QStringList, fake);
    QFETCH(QString, expected);
    QFETCH(QString, shown);
    QFETCH(kx::EngineProtocol, protocol);

    Fixture fx;
    fx.openWith({record}, fake, false, protocol);
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

void TestAnalysis::uciDialogue_data()
{
    QTest::addColumn<QStringList>("fake");
    QTest::addColumn<kx::EngineProtocol>("protocol");
    QTest::addColumn<int>("probeMs"); // Auto's silence before "uci"
    QTest::addColumn<QString>("greeting");

    const QStringList uci{"--uci"};
    QTest::newRow("UCI") << uci << kx::EngineProtocol::Uci << 100 << "";
    QTest::newRow("Auto, silent to xboard")
        << uci << kx::EngineProtocol::Auto << 100 << "xboard|protover 2|";
    // No silence runs out in time here: only the refusal brings "uci".
    QTest::newRow("Auto, refuses xboard")
        << QStringList{"--uci", "--on", "xboard=Unknown command: 'xboard'. Type help."}
        << kx::EngineProtocol::Auto << 3600000 << "xboard|protover 2|";
}

void TestAnalysis::uciDialogue()
{
    QFETCH(QStringList, fake);
    QFETCH(kx::EngineProtocol, protocol);
    QFETCH(int, probeMs);
    QFETCH(QString, greeting);

    Fixture fx;
    const QString go = "go=info string NNUE evaluation using nn.nnue enabled\n"
                       "info depth 1 currmove e8d7 currmovenumber 1\n"
                       "info depth 2 seldepth 3 multipv 1 score cp 20 nodes 4000 nps 9 time 105 "
                       "pv e8d7 e2e4\n"
                       "info depth 3 score mate 5 upperbound time 9 nodes 1 pv e8d7 e2e4 d7d6 e1e5";
    frmKestrelux& w = fx.openWith({kBlack}, QStringList(fake) << "--on" << go, false, protocol);
    AnalysisDriver::Timing timing = Fixture::timing();
    timing.probeWait = std::chrono::milliseconds(probeMs);
    w.analysisDriver().setTiming(timing);
    fx.a->click("cmdAnalyze");
    const QString position = "position fen 4k3/8/8/8/8/8/4P3/4K3 b - - 0 1";
    const QStringList sequence =
        (greeting + "uci|isready|ucinewgame|" + position + "|go infinite").split(u'|');
    QTRY_COMPARE_WITH_TIMEOUT(fx.commands(), sequence, kWaitMs);
    // The info string as it is; the thinking lines in SAN as an xboard engine
    // prints them, the illegal move told once; no line without a pv.
    QTRY_COMPARE_WITH_TIMEOUT(
        fx.shown().split(u'\n'),
        (QStringList{"", "info string NNUE evaluation using nn.nnue enabled",
                     "2 +20 10 4000 1. ... Kd7 2. e4", "3 +100005 0 1 1. ... Kd7? 2. e4 Kd6",
                     "The engine's line holds a move that is not legal there: e1e5. Its lines "
                     "are shown up to such a move."}),
        kWaitMs);

    // StopEng: "stop", answered by bestmove; the engine runs on.
    fx.a->click("cmdStopEng");
    QCOMPARE(fx.a->engine()->TimePolling(), 200);
    QVERIFY(fx.sentinelArrives());
    QCOMPARE(fx.commands().mid(sequence.size()), (QStringList{"stop", "sentinel"}));
    QVERIFY(fx.engineRuns());
    // Stop: "quit" once, no status request ever.
    fx.a->click("cmdAnalyze");
    QVERIFY(!fx.engineRuns() && fx.caption() == "Analyze");
    QTRY_COMPARE_WITH_TIMEOUT(fx.commands().mid(sequence.size()),
                              (QStringList{"stop", "sentinel", "quit"}), kWaitMs);
}

void TestAnalysis::gradesAndStopsOnce_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("time");   // txtAnalyzeTime
    QTest::addColumn<QString>("before"); // comment|depth|difficulty|evaluation
    QTest::addColumn<bool>("autoNext");
    QTest::addColumn<QString>("after"); // <line> stands for the line as shown
    QTest::addColumn<QString>("shown"); // a UCI engine's line as shown; "" for xboard lines
    const auto row = [](const char* name, const QString& record, const char* line, const char* time,
                        const char* before, bool autoNext, const char* after,
                        const char* shown = "") {
        QTest::newRow(name) << record << line << time << before << autoNext << after << shown;
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
    row("UCI: depth 3 gives 5, Auto", kWhite,
        "info depth 3 seldepth 4 score cp 35 time 1200 nodes 900 pv e2e4 e8d7 e4e5", "30", "|||",
        true, "<line>|3|5|+35", "3 +35 120 900 1. e4 Kd7 2. e5");
    row("UCI: mate, Black to move", kBlack, "info depth 7 score mate 2 time 300 nodes 9000 pv e8d7",
        "30", "|||", false, "<line>|7|7|+100002", "7 +100002 30 9000 1. ... Kd7");
    row("UCI: time up, not solved", kWhite, "info depth 3 score cp 10 time 10 nodes 100 pv e1d1",
        "0", "|12||", false, " ??? Sol move not found ???|12|7|", "3 +10 1 100 1. Kd1");
}

void TestAnalysis::gradesAndStopsOnce()
{
    QFETCH(QString, record);
    QFETCH(QString, line);
    QFETCH(QString, time);
    QFETCH(QString, before);
    QFETCH(bool, autoNext);
    QFETCH(QString, after);
    QFETCH(QString, shown);

    Fixture fx;
    // A solution line again, and more lines, come while the stop is due.
    const bool black = record == kBlack;
    const QString first = black ? "1 +0 0 1 1. ... Kf8" : "1 +0 0 1 1. Kf2";
    const QStringList fake =
        shown.isEmpty()
            ? QStringList{"--on", "analyze=1 0 0 1 Kf2\\n" + line + "\\n9 99 9 9 e4 Kd7"}
            : QStringList{"--uci", "--on",
                          "go=info depth 1 score cp 0 time 0 nodes 1 pv " +
                              QString(black ? "e8f8" : "e1f2") + "\\n" + line +
                              "\\ninfo depth 9 score cp 99 time 90 nodes 9 pv e2e4 e8d7"};
    frmKestrelux& w = fx.openWith(QStringList(60, record), fake, true);
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
    QCOMPARE(graded, QStringList{QString(after).replace("<line>", shown.isEmpty() ? line : shown)});
    QCOMPARE(found.size(), time != "0");
    QCOMPARE(finish.size(), 1);
    QCOMPARE(fx.caption(), QStringLiteral("Analyze"));
    QVERIFY(QApplication::clipboard()->text().startsWith(
        "\n" + (shown.isEmpty() ? QStringLiteral("1 0 0 1 Kf2") : first) + "\n"));
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

void TestAnalysis::silentEngineIsTold_data()
{
    QTest::addColumn<kx::EngineProtocol>("protocol");
    QTest::addColumn<QString>("tried");
    QTest::newRow("xboard") << kx::EngineProtocol::Xboard << "xboard";
    QTest::newRow("UCI") << kx::EngineProtocol::Uci << "UCI";
    QTest::newRow("Auto") << kx::EngineProtocol::Auto << "xboard and UCI";
}

void TestAnalysis::silentEngineIsTold()
{
    QFETCH(kx::EngineProtocol, protocol);
    QFETCH(QString, tried);
    Fixture fx;
    // Silent to either greeting; it answers only once told that someone waits.
    fx.openWith({kWhite}, {"--features", "", "--on", ".=", "--on", "sentinel=uciok"}, false,
                protocol);
    fx.a->click("cmdAnalyze");
    QTRY_COMPARE_WITH_TIMEOUT(fx.shown(),
                              "\n" + QStringLiteral(KX_FAKE_XBOARD) +
                                  " has not answered yet (protocol tried: " + tried +
                                  "). Still waiting for it.",
                              kWaitMs);
    // Still waiting, not failed: a UCI engine that answers late is analysed.
    QVERIFY(fx.engineRuns() && fx.caption() == "Stop");
    if (protocol != kx::EngineProtocol::Uci)
        return;
    QVERIFY(fx.sentinelArrives());
    QTRY_VERIFY_WITH_TIMEOUT(fx.commands().contains("isready"), kWaitMs);
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
        analysed << "setboard " + kx::EngineFen(fx.a->w.shownPosition().record());
        fx.a->finishAttempt();
    };
    for (int attempt = 0; attempt < 2; ++attempt) {
        finishAttempt(); // the previous analysis is stopped first
        QTRY_COMPARE_WITH_TIMEOUT(fx.commands().filter("setboard"), analysed, kWaitMs);
    }
    fx.a->session().setPositionAnalysed(true);
    const QString record = fx.a->w.shownPosition().record();
    finishAttempt();
    QCOMPARE(QApplication::clipboard()->text(), record); // nothing stopped, nothing started
    QVERIFY(!fx.a->session().positionAnalysed() && fx.engineRuns());
}

void TestAnalysis::realEngineGrades_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("solution");
    QTest::addColumn<bool>("polyglot"); // false: Stockfish spoken to directly, protocol Auto
    QTest::newRow("polyglot, WAC.001, White to move") << 1 << "Qg6" << true;
    QTest::newRow("polyglot, WAC.012, Black to move") << 12 << "Qxf3" << true;
    QTest::newRow("Stockfish, WAC.001, White to move") << 1 << "Qg6" << false;
    QTest::newRow("Stockfish, WAC.012, Black to move") << 12 << "Qxf3" << false;
}

void TestAnalysis::realEngineGrades()
{
    QFETCH(int, position);
    QFETCH(QString, solution);
    QFETCH(bool, polyglot);
    const QString polyglotProgram = "/usr/games/polyglot", stockfish = "/usr/games/stockfish";
    if (!QFileInfo(stockfish).isExecutable())
        QSKIP("needs the Debian package stockfish");
    if (polyglot && !QFileInfo(polyglotProgram).isExecutable())
        QSKIP("needs the Debian package polyglot");
    QFile suite(KX_SUITES_DIR "/WAC.EPD");
    if (!suite.open(QIODevice::ReadOnly))
        QSKIP("needs WAC.EPD in " KX_SUITES_DIR);

    Fixture fx;
    frmKestrelux& w =
        fx.openWith(QString::fromUtf8(suite.readAll()).split(u'\n').mid(0, 12), {}, true);
    w.ShowPosition(qint16(position));
    if (polyglot)
        fx.useEngine(polyglotProgram, {"-noini", "-ec", stockfish});
    else
        fx.useEngine(stockfish, {});
    fx.a->click("cmdAnalyze");
    QTRY_VERIFY_WITH_TIMEOUT(!fx.a->text("txtDepth").isEmpty(), kWaitMs);
    const kx::ThinkingLine line = kx::ReadThinkingLine(fx.a->text("txtCommento"));
    QCOMPARE(line.firstMove, solution);
    QCOMPARE(fx.grade().mid(1),
             (QStringList{QString::number(line.depth), kx::DifficultyForDepth(line.depth),
                          fx.a->text("txtCommento").split(' ', Qt::SkipEmptyParts)[1]}));
    QTRY_VERIFY_WITH_TIMEOUT(!fx.engineRuns(), kWaitMs);
}

// The engine's word on a missed move on its report row: the king's move
// Kd2 against the best move e4, each position's score as the fake engine
// gives it from Black's side.
void TestAnalysis::engineChecksAMiss_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QStringList>("fake");
    QTest::addColumn<bool>("countEqual");
    QTest::addColumn<QString>("word"); // after the solution in the row
    QTest::addColumn<int>("solved");
    const QString afterKd2 = "--on-board", user = "4k3/8/8/8/8/8/3KP3/8=5 %1 10 4000 %2";
    const QString best = "4k3/8/8/8/4P3/8/8/4K3=5 %1 10 4000 Kd7";
    const auto fake = [&](const char* userScore, const char* reply, const char* bestScore) {
        return QStringList{afterKd2, user.arg(userScore, reply), afterKd2, best.arg(bestScore)};
    };
    QTest::newRow("equal") << kWhite << fake("-230", "Kd7", "-250") << false
                           << "e4 - also good (+2.3 vs +2.5)" << 0;
    QTest::newRow("equal, counted as solved")
        << kWhite << fake("-230", "Kd7", "-250") << true << "e4 - also good (+2.3 vs +2.5)" << 1;
    QTest::newRow("worse") << kWhite << fake("-40", "Ke7", "-250") << true
                           << "e4 - worse (+0.4 vs +2.5), refuted by Ke7" << 0;
    QTest::newRow("mate lost") << kWhite << fake("-500", "Kd7", "-100003") << true
                               << "e4 - worse (+5.0 vs #3), refuted by Kd7" << 0;
    QTest::newRow("engine dies") << kWhite << QStringList{"--exit-on", "analyze"} << true
                                 << "e4 - no engine verdict" << 0;
    // Any move but Kd2 would do: the user's position against the one before it.
    QTest::newRow("am: against the position itself")
        << "4k3/8/8/8/8/8/4P3/4K3 w - - am Kd2;"
        << QStringList{afterKd2, user.arg("-40", "Ke7"), afterKd2,
                       "4k3/8/8/8/8/8/4P3/4K3=5 250 10 4000 e4"}
        << true << "not Kd2 - worse (+0.4 vs +2.5), refuted by Ke7" << 0;
}

void TestAnalysis::engineChecksAMiss()
{
    QFETCH(QString, record);
    QFETCH(QStringList, fake);
    QFETCH(bool, countEqual);
    Fixture fx;
    fx.openWith({record}, fake, false);
    EngineCheck::Timing timing;
    timing.engine.answerWait = timing.engine.lineGrace = std::chrono::milliseconds(300);
    timing.engine.probeWait = std::chrono::milliseconds(100);
    fx.a->w.engineCheck().setTiming(timing);
    fx.a->setText("txtAnalyzeTime", "0.2"); // the search time: the default, at most this
    fx.a->element<QCheckBox>("chkEngineCheck")->setChecked(true);
    fx.a->element<QCheckBox>("chkCountEqual")->setChecked(countEqual);
    fx.a->click("cmdNew");
    fx.a->playMove(Pellomar::e, 1, Pellomar::d, 2);
    fx.a->finishAttempt();
    QVERIFY(
        fx.a->report()->TextMatrix(1, 3).endsWith(QLatin1String(" - the engine is checking...")));
    // Ended at once: when an equal move may count, the log waits for the verdict.
    fx.a->click("cmdEndSession");
    QFETCH(QString, word);
    QTRY_COMPARE_WITH_TIMEOUT(fx.a->report()->TextMatrix(1, 3), word, kWaitMs);
    QTRY_VERIFY(fx.a->lastReportLine().contains(QLatin1String("tottime ")));
    QTEST(fx.a->solvedCount(), "solved");
    // Counted, the row, the report line and the summary are a solve's.
    const bool solved = fx.a->solvedCount() == 1;
    QCOMPARE(fx.a->report()->TextMatrix(1, 1) != QLatin1String("..."), solved);
    QCOMPARE(fx.a->text("txtReport").section(u'\n', 1, 1).startsWith(QLatin1String(" .... ")),
             !solved);
    QVERIFY(fx.a->lastReportLine().contains(solved ? " 1/1(100%)" : " 0/1(0%)"));
    // The engines were the check's own, the window's never ran; the user's
    // position was searched first.
    QVERIFY(!fx.engineRuns());
    QCOMPARE(fx.commands().filter("setboard").value(0),
             QStringLiteral("setboard 4k3/8/8/8/8/8/3KP3/8 b - - 1 1"));
    QTRY_VERIFY(!fx.a->w.engineCheck().busy());
}

// Stockfish's word on the same miss, within the time the default search allows.
void TestAnalysis::realEngineChecksAMiss()
{
    const QString stockfish = "/usr/games/stockfish";
    if (!QFileInfo(stockfish).isExecutable())
        QSKIP("needs the Debian package stockfish");
    Fixture fx;
    fx.openWith({kWhite}, {}, false);
    fx.useEngine(stockfish, {});
    fx.a->element<QCheckBox>("chkEngineCheck")->setChecked(true);
    fx.a->click("cmdNew");
    fx.a->playMove(Pellomar::e, 1, Pellomar::d, 2);
    fx.a->finishAttempt();
    QTRY_VERIFY_WITH_TIMEOUT(!fx.a->report()->TextMatrix(1, 3).endsWith(QLatin1String("...")),
                             kWaitMs);
    QVERIFY2(QRegularExpression("^e4 - (also good|worse) \\([-+#.0-9]+ vs [-+#.0-9]+\\)")
                 .match(fx.a->report()->TextMatrix(1, 3))
                 .hasMatch(),
             qPrintable(fx.a->report()->TextMatrix(1, 3)));
}

QTEST_MAIN(TestAnalysis)
#include "tst_analysis.moc"
