// Engines that misbehave on purpose, driven through the engine control alone
// and through an analysis in the main window: the window keeps answering,
// memory stays bounded, nothing of the engine outlives CloseEngine or the
// window, and the next analysis works. The longest pause of the event loop
// and the memory growth under each engine are printed (bench_hostile
// measures them over the engines' whole run).

#include "AnalysisDriver.h"
#include "KestreluxTestAccess.h"
#include "LoopWatch.h"
#include "ProcessTable.h"
#include "TrainerFixture.h"
#include "frmOutput.h"

#include <QEventLoop>
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
};

void TestHostileEngines::survives_data()
{
    QTest::addColumn<QStringList>("engine"); // the fake engine's options
    QTest::addColumn<qint64>("input");       // bytes of commands sent meanwhile
    QTest::addColumn<bool>("prints");        // output must arrive
    QTest::addColumn<bool>("throughWindow"); // an analysis in the window, closed at the end

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
    for (const bool throughWindow : {false, true}) {
        for (const auto& e : engines) {
            QTest::addRow("%s, %s", e.name, throughWindow ? "window" : "control")
                << e.engine << e.input << e.prints << throughWindow;
        }
    }
}

void TestHostileEngines::survives()
{
    QFETCH(QStringList, engine);
    QFETCH(qint64, input);
    QFETCH(bool, prints);
    QFETCH(bool, throughWindow);

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
        a->LastEngine() = kFakeEngine;
        a->LastCommandLine() = quoted(engine);
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
    a->LastEngine() = KX_FAKE_XBOARD;
    a->LastCommandLine() = quoted({"--on", "analyze=5 20 10 4000 e4 Kd7"});
    w->analysisDriver().setTiming(timing);
    a->click("cmdAnalyze");
    QTRY_VERIFY_WITH_TIMEOUT(w->findChild<frmOutput*>() &&
                                 w->findChild<frmOutput*>()->Text().endsWith("e4 Kd7"),
                             kWaitMs);
    a->click("cmdAnalyze");
    QVERIFY(!a->engine()->EngineStarted());
}

QTEST_MAIN(TestHostileEngines)
#include "tst_hostileengines.moc"
