// Engines that misbehave on purpose, driven through the engine control alone
// and through an analysis in the main window, as xboard engines and as UCI
// engines that misbehave once told "go": the window keeps answering, memory
// stays bounded, nothing of the engine outlives CloseEngine or the window, and
// the next analysis works. The longest pause of the event loop and the memory
// growth under each engine are printed (bench_hostile measures them over the
// engines' whole run). UCI engines that break the dialogue are told of in the
// output window and leave nothing behind.

#include "AnalysisDriver.h"
#include "KestreluxTestAccess.h"
#include "LoopWatch.h"
#include "ProcessTable.h"
#include "TrainerFixture.h"
#include "frmOutput.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int kWaitMs = 60000;
// How long the window is watched under each engine.
constexpr int kWatchMs = 1000;
// Bounds that only a window that stops answering, or output kept without
// limit (the 100 MB flood), can break; the goals are far lower.
constexpr qint64 kPauseBoundMs = 2000;
constexpr qint64 kGrowthBoundBytes = 96 << 20;
#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer holds freed memory back for a while: growth says nothing.
constexpr bool kGrowthMeaningful = false;
#else
constexpr bool kGrowthMeaningful = true;
#endif

const QString kFakeEngine = QStringLiteral(KX_FAKE_ENGINE);
const QString kRecord = QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 w - - bm e4; id \"T.1\";");

QString quoted(const QStringList& words)
{
    QStringList out;
    for (const QString& word : words)
        out << u'"' + word + u'"';
    return out.join(u' ');
}

} // namespace

class TestHostileEngines : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void survives_data();
    void survives();
    void uciMisbehaviourIsTold_data();
    void uciMisbehaviourIsTold();

private:
    // The well-behaved engine's analysis after a hostile one, then its stop.
    static void nextAnalysisWorks(KestreluxTestAccess& a);
};

void TestHostileEngines::survives_data()
{
    QTest::addColumn<QStringList>("engine"); // the fake engine's options
    QTest::addColumn<qint64>("input");       // bytes of commands sent meanwhile
    QTest::addColumn<bool>("prints");        // output must arrive
    QTest::addColumn<bool>("throughWindow"); // an analysis in the window, closed at the end
    QTest::addColumn<bool>("uci");           // a UCI engine, hostile from "go" on

    const struct
    {
        const char* name;
        QStringList engine;
        qint64 input;
        bool prints;
    } engines[] = {
        {"floods 100 MB without a line end", {"--at-start", "spew 104857600"}, 0, true},
        {"writes NUL and invalid UTF-8", {"--at-start", "junk 1000000"}, 0, true},
        {"never reads its input", {"--deaf"}, 8 << 20, false},
        {"ignores SIGTERM", {"--ignore-term", "--at-start", "tick 100000 5"}, 0, true},
        {"forks a child and exits", {"--at-start", "fork-exit"}, 8 << 20, false},
        {"a line every millisecond", {"--at-start", "tick 10000 1"}, 0, true},
    };
    for (const char* way : {"control", "window", "window, UCI"}) {
        const bool throughWindow = way != std::string_view("control");
        const bool uci = way == std::string_view("window, UCI");
        for (const auto& e : engines) {
            QStringList engine = e.engine;
            if (uci) {
                engine.replaceInStrings(QRegularExpression("^--at-start$"), "--at-go");
                engine.prepend("--uci");
            }
            // A UCI engine that reads its input has answered the greeting.
            const bool prints = e.prints || (uci && !engine.contains("--deaf"));
            QTest::addRow("%s, %s", e.name, way)
                << engine << e.input << prints << throughWindow << uci;
        }
    }
}

void TestHostileEngines::survives()
{
    QFETCH(QStringList, engine);
    QFETCH(qint64, input);
    QFETCH(bool, prints);
    QFETCH(bool, throughWindow);
    QFETCH(bool, uci);

    TrainerFixture fx;
    KestreluxTestAccess* a = &fx.openOn({kRecord});
    frmKestrelux* w = fx.window.get();
    Ostravin::NqIEngine* control = a->engine();
    w->ShowPosition(1);
    a->clock()->stop();
    qint64 received = 0;
    connect(control, &Ostravin::NqIEngine::DataFromEngine, this,
            [&](const QString& line) { received += line.size() + 1; });

    AnalysisDriver::Timing timing; // the analysis commands follow soon
    timing.answerWait = std::chrono::milliseconds(300);
    w->analysisDriver().setTiming(timing);
    if (throughWindow) {
        a->useEngine(kFakeEngine, quoted(engine),
                     uci ? kx::EngineProtocol::Uci : kx::EngineProtocol::Auto);
        a->click("cmdAnalyze");
    } else {
        control->setTimePolling(1);
        control->setPathEngine(quoted(QStringList(kFakeEngine) + engine));
        QVERIFY(control->StartEngine());
    }
    QVERIFY(control->EngineStarted());
    const pid_t pid = ProcessTable::children().value(0);
    QVERIFY(pid > 0);
    // From here on: looking through /proc takes a while of its own.
    LoopWatch watch;
    // Commands pile up for an engine that does not take them; none may block.
    const QString command(64 * 1024 - 1, u'c');
    qint64 sent = 0;
    QTimer sender;
    connect(&sender, &QTimer::timeout, this, [&] {
        if (sent < input && control->EngineStarted()) {
            control->WriteToEngine(command);
            sent += command.size() + 1;
        }
    });
    sender.start(1);
    // Not QTest::qWait: its sleeps between rounds of events would be measured as pauses.
    QEventLoop watching;
    QTimer::singleShot(kWatchMs, &watching, &QEventLoop::quit);
    watching.exec();
    sender.stop();
    const LoopWatch::Figures figures = watch.figures();
    qInfo("longest event-loop pause %lld ms (%.1f ms of it busy), memory growth %.1f MB, %.1f MB "
          "received",
          figures.longestPauseMs, figures.longestBusyMs, figures.growthBytes / 1048576.0,
          received / 1048576.0);
    QVERIFY(figures.longestPauseMs < kPauseBoundMs);
    QVERIFY(!kGrowthMeaningful || figures.growthBytes < kGrowthBoundBytes);
    QCOMPARE(received > 0, prints);
    if (frmOutput* output = w->findChild<frmOutput*>()) { // no line too long to lay out quickly
        for (const QString& line : output->Text().split(u'\n'))
            QVERIFY2(line.size() <= 2001, qPrintable(QString::number(line.size())));
    }

    if (throughWindow) {
        w->close();
        fx.access.reset();
        fx.window.reset();
    } else {
        control->CloseEngine();
    }
    // Reaped, and nothing of its session runs on.
    QTRY_COMPARE_WITH_TIMEOUT(ProcessTable::children(), QList<pid_t>{}, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(ProcessTable::runningInSession(pid), QList<pid_t>{}, kWaitMs);

    // The next analysis, with a well-behaved engine.
    if (throughWindow) {
        w = &fx.open();
        a = &*fx.access;
        w->ShowPosition(1);
        a->clock()->stop();
    }
    w->analysisDriver().setTiming(timing);
    nextAnalysisWorks(*a);
}

void TestHostileEngines::nextAnalysisWorks(KestreluxTestAccess& a)
{
    a.useEngine(KX_FAKE_XBOARD, quoted({"--on", "analyze=5 20 10 4000 e4 Kd7"}));
    a.click("cmdAnalyze");
    QTRY_VERIFY_WITH_TIMEOUT(a.w.findChild<frmOutput*>() &&
                                 a.w.findChild<frmOutput*>()->Text().endsWith("e4 Kd7"),
                             kWaitMs);
    a.click("cmdAnalyze");
    QVERIFY(!a.engine()->EngineStarted());
}

void TestHostileEngines::uciMisbehaviourIsTold_data()
{
    QTest::addColumn<QString>("program"); // <fake>: the hostile engine, <script>: the scripted one
    QTest::addColumn<QStringList>("engine");
    QTest::addColumn<bool>("stopEng"); // StopEng once a thinking line is shown
    QTest::addColumn<QString>("told");
    QTest::addColumn<bool>("ends"); // the analysis ends by itself

    const QString info = "go=info depth 2 score cp 5 time 10 nodes 10 pv e2e4 e8d7";
    QTest::newRow("never says uciok")
        << "<script>" << QStringList{"--features", "", "--on", "uci=id name Mute"} << false
        << "The engine did not answer \"uci\" with \"uciok\" within 0.3 seconds" << true;
    QTest::newRow("dies in mid-search")
        << "<script>" << QStringList{"--uci", "--on", info, "--exit-on", "go"} << false
        << "The engine ended by itself." << true;
    QTest::newRow("ignores stop") << "<script>"
                                  << QStringList{"--uci", "--on", info, "--on", "stop="} << true
                                  << "The engine did not stop when told to" << true;
    QTest::newRow("ignores stop and quit, thinking on")
        << "<fake>"
        << QStringList{"--uci", "--ignore-stop", "--ignore-quit", "--at-go", "tick 100000 5"}
        << true << "The engine did not stop when told to" << true;
    QTest::newRow("a pv with an illegal move")
        << "<script>" << QStringList{"--uci", "--on", info + " e4e6 d7d6"} << false
        << "2 +5 1 10 1. e4 Kd7\nThe engine's line holds a move that is not legal there: e4e6."
        << false;
}

void TestHostileEngines::uciMisbehaviourIsTold()
{
    QFETCH(QString, program);
    QFETCH(QStringList, engine);
    QFETCH(bool, stopEng);
    QFETCH(QString, told);
    QFETCH(bool, ends);

    TrainerFixture fx;
    KestreluxTestAccess& a = fx.openOn({kRecord});
    frmKestrelux& w = *fx.window;
    w.ShowPosition(1);
    a.clock()->stop();
    AnalysisDriver::Timing timing;
    timing.answerWait = timing.stopWait = std::chrono::milliseconds(300);
    w.analysisDriver().setTiming(timing);
    a.useEngine(program == "<fake>" ? kFakeEngine : QStringLiteral(KX_FAKE_XBOARD), quoted(engine),
                kx::EngineProtocol::Uci);
    const auto shown = [&] {
        const frmOutput* output = w.findChild<frmOutput*>();
        return output ? output->Text() : QString();
    };
    a.click("cmdAnalyze");
    if (stopEng) {
        QTRY_VERIFY_WITH_TIMEOUT(shown().contains("1. e4"), kWaitMs);
        a.click("cmdStopEng");
    }
    QTRY_VERIFY_WITH_TIMEOUT(shown().contains(told), kWaitMs);
    QCOMPARE(a.engine()->EngineStarted(), !ends);
    if (!ends)
        a.click("cmdAnalyze");
    QCOMPARE(a.text("cmdAnalyze"), QStringLiteral("Analyze"));
    QCOMPARE(w.analysisDriver().state(), AnalysisDriver::State::Idle);
    QTRY_COMPARE_WITH_TIMEOUT(ProcessTable::children(), QList<pid_t>{}, kWaitMs);
    nextAnalysisWorks(a);
}

QTEST_MAIN(TestHostileEngines)
#include "tst_hostileengines.moc"
