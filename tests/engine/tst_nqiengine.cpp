#include "NqEngineLimits.h"
#include "NqIEngine.h"
#include "ProcessTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

using Ostravin::NqIEngine;

namespace {

// Generous, for loaded machines and runs under valgrind.
constexpr int kWaitMs = 60000;

const QString kFakeEngine = QStringLiteral(KX_FAKE_ENGINE);

// No word given here holds a quote or ends with a backslash, so quotes alone
// bring each one back unchanged.
QString fakeCommand(const QStringList& arguments)
{
    QString command = u'"' + kFakeEngine + u'"';
    for (const QString& argument : arguments)
        command += QStringLiteral(" \"%1\"").arg(argument);
    return command;
}

QTimer* pollTimer(NqIEngine& engine)
{
    return engine.findChild<QTimer*>(QStringLiteral("TimerForRead"));
}

QStringList lines(const QSignalSpy& spy)
{
    QStringList out;
    for (const QList<QVariant>& arguments : spy)
        out.append(arguments.at(0).toString());
    return out;
}

QByteArray fileContents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList descriptors(const QString& process)
{
    return QDir(QStringLiteral("/proc/%1/fd").arg(process))
        .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
}

// The arguments a process was started with, its program left out.
QStringList processArguments(pid_t pid)
{
    QStringList words;
    for (const QByteArray& word :
         fileContents(QStringLiteral("/proc/%1/cmdline").arg(pid)).split('\0'))
        words.append(QString::fromLocal8Bit(word));
    return words.mid(1, words.size() - 2); // the last NUL ends the last word
}

// Posts an action on the first tick of the polling timer, so that it runs
// inside the read that tick starts, when the reader first lets events run.
struct TickTrap : QObject
{
    std::function<void()> action;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Timer && action)
            QMetaObject::invokeMethod(this, std::exchange(action, {}), Qt::QueuedConnection);
        return false;
    }
};

} // namespace

/*
 * The engine control against a small fake engine (and a real one when it is
 * installed): starting, the line framing of the output, writing, quitting,
 * closing, and a host that closes, restarts or deletes the control while a
 * read is under way. After every test no child process and no descriptor of
 * it may be left.
 */
class tst_NqIEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void properties();
    void start_data();
    void start();
    void engineRunsApart();
    void output_data();
    void output();
    void slowHostGetsLinesOverSeveralTicks();
    void outputEndedAfterTheLastLine_data();
    void outputEndedAfterTheLastLine();
    void writeToEngine();
    void quitReleasesEngine_data();
    void quitReleasesEngine();
    void hostActsDuringDelivery_data();
    void hostActsDuringDelivery();
    void realEngineAnalyses();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    bool logHas(const QString& entry) const;
    pid_t startFake(NqIEngine& engine, QStringList arguments);
    bool sentinelArrives(NqIEngine& engine, const QSignalSpy& spy);

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_descriptors;
};

void tst_NqIEngine::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_descriptors = descriptors("self");
}

void tst_NqIEngine::cleanup()
{
    QTRY_COMPARE_WITH_TIMEOUT(ProcessTable::children(), QList<pid_t>{}, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(descriptors("self"), m_descriptors, kWaitMs);
    m_dir.reset();
}

bool tst_NqIEngine::logHas(const QString& entry) const
{
    return QTest::qWaitFor(
        [&] { return fileContents(path("log")).split('\n').contains(entry.toUtf8()); }, kWaitMs);
}

// Starts the fake engine with polling off and waits until it runs; its
// process id, 0 on failure.
pid_t tst_NqIEngine::startFake(NqIEngine& engine, QStringList arguments)
{
    engine.setTimePolling(0);
    engine.setPathEngine(fakeCommand(arguments << QStringLiteral("--log") << path("log")));
    if (!engine.StartEngine() || !logHas(QStringLiteral("greeted")))
        return 0;
    return ProcessTable::children().value(0);
}

// Asks the engine for a last line and waits for it: whatever was to arrive
// before it has arrived.
bool tst_NqIEngine::sentinelArrives(NqIEngine& engine, const QSignalSpy& spy)
{
    if (engine.WriteToEngine(QStringLiteral("say END\\r\\n")) <= 0)
        return false;
    return QTest::qWaitFor([&] { return !spy.isEmpty() && lines(spy).constLast() == "END"; },
                           kWaitMs);
}

void tst_NqIEngine::properties()
{
    NqIEngine engine;
    engine.setTimePolling(0);
    engine.setTag("main");
    NqPropertyBag bag;
    engine.WriteProperties(bag);
    // The interval is written even at 0; an empty path is left out.
    QCOMPARE(bag.names(), (QStringList{"TimePolling", "Tag"}));
    engine.setPathEngine("/usr/games/stockfish");
    engine.WriteProperties(bag);

    NqIEngine restored;
    QSignalSpy changed(&restored, &NqIEngine::PropertyChanged);
    restored.ReadProperties(bag);
    QCOMPARE(lines(changed), (QStringList{"TimePolling", "PathEngine", "Tag"}));
    QCOMPARE(restored.TimePolling(), 0);
    QCOMPARE(restored.PathEngine(), "/usr/games/stockfish");
    QCOMPARE(restored.Tag(), "main");

    // An empty bag gives the defaults, and the defaults write only the interval.
    restored.ReadProperties(NqPropertyBag());
    QCOMPARE(restored.TimePolling(), 10);
    QVERIFY(restored.PathEngine().isEmpty() && restored.Tag().isEmpty());
    NqPropertyBag defaults;
    restored.WriteProperties(defaults);
    QCOMPARE(defaults.names(), QStringList{"TimePolling"});
}

void tst_NqIEngine::start_data()
{
    QTest::addColumn<QString>("commandLine");   // <dir>: the test's folder, which holds the fake
    QTest::addColumn<QStringList>("arguments"); // empty when the start must fail

    QTest::newRow("empty path") << "" << QStringList{};
    QTest::newRow("missing program") << "/nonexistent/kx-engine -xboard" << QStringList{};
    QTest::newRow("bare name searched in PATH") << "kx-fake xboard" << QStringList{"xboard"};
    QTest::newRow("quoted path with a blank, arguments taken literally, no shell")
        << "\"<dir>/my engines/kx-fake\" $HOME ; \"a b\" * | > 'x' `id` \\\"q\\\" \"\""
        << QStringList{"$HOME", ";", "a b", "*", "|", ">", "'x'", "`id`", "\"q\"", ""};
}

void tst_NqIEngine::start()
{
    QFETCH(QString, commandLine);
    QFETCH(QStringList, arguments);

    QVERIFY(QDir(m_dir->path()).mkpath("my engines"));
    QVERIFY(QFile::link(kFakeEngine, path("my engines/kx-fake")));
    const QByteArray oldPath = qgetenv("PATH");
    const auto restorePath = qScopeGuard([&] { qputenv("PATH", oldPath); });
    qputenv("PATH", QFile::encodeName(path("my engines")) + ':' + oldPath);

    NqIEngine engine;
    const QTimer* timer = pollTimer(engine);
    const bool starts = !arguments.isEmpty();
    engine.setTimePolling(50);
    engine.setPathEngine(commandLine.replace("<dir>", m_dir->path()));
    QCOMPARE(engine.StartEngine(), starts);
    // Polling runs only while an engine is held, at the interval set before.
    QCOMPARE(timer->isActive(), starts);
    QCOMPARE(engine.TimePolling(), 50);
    if (!starts)
        return;
    QTRY_COMPARE_WITH_TIMEOUT(processArguments(ProcessTable::children().value(0)), arguments,
                              kWaitMs);
    engine.setTimePolling(-20); // off
    QVERIFY(engine.TimePolling() == 0 && !timer->isActive());
}

void tst_NqIEngine::engineRunsApart()
{
    // A careless host: a descriptor open without close-on-exec, SIGPIPE ignored.
    const int hostFd = ::open("/dev/null", O_RDONLY);
    std::signal(SIGPIPE, SIG_IGN);
    const auto restore = qScopeGuard([&] {
        std::signal(SIGPIPE, SIG_DFL);
        ::close(hostFd);
    });

    NqIEngine engine;
    const pid_t pid = startFake(engine, {"--grandchild"});
    const pid_t helper = ProcessTable::children(pid).value(0);
    QVERIFY(hostFd >= 0 && pid > 0 && helper > 0);
    QCOMPARE(ProcessTable::stat(pid).session, pid);
    QCOMPARE(descriptors(QString::number(pid)), (QStringList{"0", "1", "2"}));
    const QRegularExpression sigIgn(QStringLiteral("SigIgn:\\s*([0-9a-f]+)"));
    const QByteArray status = fileContents(QStringLiteral("/proc/%1/status").arg(pid));
    const qulonglong ignored = sigIgn.match(status).captured(1).toULongLong(nullptr, 16);
    QCOMPARE(ignored & (1ULL << (SIGPIPE - 1)), 0ULL);

    // Closing kills the engine's helpers too (once killed, they are their new
    // parent's to reap).
    engine.CloseEngine();
    QTRY_VERIFY_WITH_TIMEOUT(ProcessTable::runningInSession(pid).isEmpty(), kWaitMs);
}

void tst_NqIEngine::output_data()
{
    QTest::addColumn<bool>("allLines"); // every waiting line in one tick, or one a tick
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("expected");

    const QString piece(Ostravin::kMaxLineBytes, u'x');
    QStringList flood;
    for (int i = 0; i < 2000; ++i)
        flood.append(QStringLiteral("line %1").arg(i));
    for (const bool allLines : {false, true}) {
        const auto row = [allLines](const char* name, const QString& command,
                                    const QStringList& expected) {
            QTest::addRow("%s, %s", allLines ? "all lines" : "one a tick", name)
                << allLines << command << expected;
        };
        row("CR LF and LF end lines, empty line kept, UTF-8",
            "say caf\\xc3\\xa9\\r\\n\\r\\ndef\\nghi\\r\\n",
            {QString::fromUtf8("café"), "", "def", "ghi"});
        row("partial line when the pipe runs dry", "say abc\\r\\nde", {"abc", "de"});
        row("tab, lone CR and controls dropped", "say a\\tb\\rc\\x01\\x1bd\\x7f\\r\\n",
            {"abcd\x7f"});
        row("standard error read too", "warn oops", {"oops"});
        row("line of exactly one piece, no empty line after",
            QStringLiteral("long %1").arg(piece.size()), {piece});
        row("one byte over comes in two pieces", QStringLiteral("long %1").arg(piece.size() + 1),
            {piece, "x"});
        row("flood arrives whole and in order", "flood 2000", flood);
    }
}

void tst_NqIEngine::output()
{
    QFETCH(bool, allLines);
    QFETCH(QString, command);
    QFETCH(QStringList, expected);

    NqIEngine engine;
    QSignalSpy spy(&engine, &NqIEngine::DataFromEngine);
    QVERIFY(startFake(engine, {}));
    // The tick count seen by each line: the control's own handler runs before
    // this counter, so two lines from one tick would see the same count.
    int ticks = 0;
    QList<int> seen;
    connect(pollTimer(engine), &QTimer::timeout, this, [&] { ++ticks; });
    connect(&engine, &NqIEngine::DataFromEngine, this, [&] { seen.append(ticks); });
    engine.setAllLinesPerTick(allLines);
    engine.setTimePolling(1);
    // Each answer is written in one go, so all its lines are there for the first tick.
    QVERIFY(engine.WriteToEngine(command) > 0);
    // Not QTRY_*: it sleeps between rounds of events, which would slow the timer down.
    while (spy.size() < expected.size())
        QVERIFY(spy.wait(kWaitMs));
    QCOMPARE(lines(spy), expected);
    if (allLines) {
        // As many in one tick as were waiting.
        if (expected.size() > 100)
            QVERIFY(std::adjacent_find(seen.cbegin(), seen.cend()) != seen.cend());
    } else {
        for (qsizetype i = 1; i < seen.size(); ++i)
            QVERIFY2(seen.at(i) > seen.at(i - 1), qPrintable(QStringLiteral("line %1").arg(i + 1)));
    }
    QVERIFY(sentinelArrives(engine, spy));
    QCOMPARE(spy.size(), expected.size() + 1);
}

void tst_NqIEngine::slowHostGetsLinesOverSeveralTicks()
{
    NqIEngine engine;
    QSignalSpy spy(&engine, &NqIEngine::DataFromEngine);
    QVERIFY(startFake(engine, {}));
    int ticks = 0;
    QList<int> seen;
    connect(pollTimer(engine), &QTimer::timeout, this, [&] { ++ticks; });
    // A host that takes its time over every line.
    connect(&engine, &NqIEngine::DataFromEngine, this, [&] {
        seen.append(ticks);
        QTest::qSleep(5);
    });
    engine.setAllLinesPerTick(true);
    QVERIFY(engine.WriteToEngine("flood 40") > 0);
    QVERIFY(logHas("flood")); // all forty lines are waiting
    engine.setTimePolling(1);
    while (spy.size() < 40)
        QVERIFY(spy.wait(kWaitMs));
    QStringList expected;
    for (int i = 0; i < 40; ++i)
        expected << QStringLiteral("line %1").arg(i);
    QCOMPARE(lines(spy), expected);
    // A tick stops once its time is used up (two or three lines); the rest come later.
    qsizetype most = 0;
    for (const int tick : std::as_const(seen))
        most = qMax(most, seen.count(tick));
    QVERIFY2(most <= 10, qPrintable(QStringLiteral("%1 lines in one tick").arg(most)));
}

void tst_NqIEngine::outputEndedAfterTheLastLine_data()
{
    QTest::addColumn<bool>("allLines");
    QTest::newRow("one line a tick") << false;
    QTest::newRow("every waiting line") << true;
}

// The engine exits by itself: its last lines come first, then the end is
// told once; it is held until closed.
void tst_NqIEngine::outputEndedAfterTheLastLine()
{
    QFETCH(bool, allLines);
    NqIEngine engine;
    QStringList events;
    connect(&engine, &NqIEngine::DataFromEngine, this, [&](const QString& l) { events << l; });
    connect(&engine, &NqIEngine::EngineOutputEnded, this, [&] { events << "<ended>"; });
    int ticks = 0;
    connect(pollTimer(engine), &QTimer::timeout, this, [&] { ++ticks; });
    const pid_t pid = startFake(engine, {});
    QVERIFY(pid > 0);
    engine.setAllLinesPerTick(allLines);
    engine.setTimePolling(1);
    QVERIFY(engine.WriteToEngine("say last words\\r\\npartial\nexit") > 0);
    QTRY_VERIFY_WITH_TIMEOUT(events.contains("<ended>"), kWaitMs);
    // Told once, however long the ended engine is still polled.
    const int endedAt = ticks;
    QTRY_VERIFY_WITH_TIMEOUT(ticks > endedAt + 20, kWaitMs);
    QCOMPARE(events, (QStringList{"last words", "partial", "<ended>"}));

    // Held until closed; writing to it gives 0 and raises no SIGPIPE here.
    QTRY_COMPARE_WITH_TIMEOUT(ProcessTable::stat(pid).state, 'Z', kWaitMs);
    QVERIFY(engine.EngineStarted());
    QCOMPARE(engine.WriteToEngine("new"), 0);
    engine.CloseEngine();
    QVERIFY(!engine.EngineStarted());
}

void tst_NqIEngine::writeToEngine()
{
    NqIEngine engine;
    const pid_t pid = startFake(engine, {"--record", path("record")});
    // A stopped engine reads nothing, and more than the pipe holds is sent:
    // the rest waits in the control, up to a limit, and nothing blocks.
    QVERIFY(pid > 0 && ::kill(pid, SIGSTOP) == 0);
    const QString big(300000, u'a');
    QCOMPARE(engine.WriteToEngine(big), 300001);
    QCOMPARE(engine.WriteToEngine(QString(Ostravin::kMaxPendingInput, u'b')), 0);
    QCOMPARE(engine.WriteToEngine("xboard\r\nnew\npost\r\r\n"), 16);

    QCOMPARE(::kill(pid, SIGCONT), 0);
    const QByteArray expected = big.toLatin1() + "\nxboard\nnew\npost\n";
    QTRY_COMPARE_WITH_TIMEOUT(fileContents(path("record")).size(), expected.size(), kWaitMs);
    QVERIFY(fileContents(path("record")) == expected);
}

void tst_NqIEngine::quitReleasesEngine_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("ignoreQuit");
    QTest::addColumn<bool>("destroyControl");
    QTest::addColumn<bool>("helper"); // the engine leaves a helper behind

    QTest::newRow("lower case") << "quit" << false << false << false;
    QTest::newRow("mixed case") << "QuIt" << false << false << false;
    QTest::newRow("last of several commands") << "xboard\r\nnew\nquit" << false << false << false;
    QTest::newRow("ignored: killed after its grace") << "quit" << true << false << false;
    QTest::newRow("ignored: killed when the control goes") << "quit" << true << true << false;
    QTest::newRow("obeyed, a helper left behind is killed") << "quit" << false << false << true;
}

void tst_NqIEngine::quitReleasesEngine()
{
    QFETCH(QString, command);
    QFETCH(bool, ignoreQuit);
    QFETCH(bool, destroyControl);
    QFETCH(bool, helper);

    auto engine = std::make_unique<NqIEngine>();
    QStringList options;
    if (ignoreQuit)
        options << "--ignore-quit";
    if (helper)
        options << "--grandchild";
    const pid_t pid = startFake(*engine, options);
    QVERIFY(pid > 0);
    QVERIFY(engine->WriteToEngine(command) > 0);
    QVERIFY(!engine->EngineStarted());
    QCOMPARE(engine->WriteToEngine("new"), 0);
    QVERIFY(logHas("quit"));
    if (ignoreQuit) { // not killed before its grace: it can still be stopped
        QCOMPARE(::kill(pid, SIGSTOP), 0);
        QTRY_COMPARE_WITH_TIMEOUT(ProcessTable::stat(pid).state, 'T', kWaitMs);
    }
    if (destroyControl) {
        engine.reset();
        QVERIFY(!ProcessTable::exists(pid));
    }
    // Reaped, whether it ended by itself or had to be killed, and nothing of it runs on.
    QTRY_VERIFY_WITH_TIMEOUT(!ProcessTable::exists(pid), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(ProcessTable::runningInSession(pid).isEmpty(), kWaitMs);
}

void tst_NqIEngine::hostActsDuringDelivery_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("duringRead");

    QTest::newRow("close in the line handler") << "close" << false;
    QTest::newRow("restart in the line handler") << "restart" << false;
    QTest::newRow("delete in the line handler") << "delete" << false;
    QTest::newRow("close while reading") << "close" << true;
    QTest::newRow("restart while reading") << "restart" << true;
    QTest::newRow("delete while reading") << "delete" << true;
}

void tst_NqIEngine::hostActsDuringDelivery()
{
    QFETCH(QString, action);
    QFETCH(bool, duringRead);

    QWidget host;
    QPointer<NqIEngine> engine = new NqIEngine(&host);
    QSignalSpy spy(engine.data(), &NqIEngine::DataFromEngine);
    const pid_t oldPid = startFake(*engine, {});
    QVERIFY(oldPid > 0 && engine->WriteToEngine("say old line\\r\\nmore\\r\\n") > 0);
    QVERIFY(logHas("say"));

    bool acted = false;
    const auto act = [&] {
        if (std::exchange(acted, true))
            return;
        if (action == "close")
            engine->CloseEngine();
        else if (action == "restart")
            engine->StartEngine(); // a new engine from the same command line
        else
            delete engine.data();
    };
    TickTrap trap;
    if (duringRead)
        trap.action = act;
    else
        connect(engine.data(), &NqIEngine::DataFromEngine, this, act);
    pollTimer(*engine)->installEventFilter(&trap);
    engine->setTimePolling(1);
    QTRY_VERIFY_WITH_TIMEOUT(acted, kWaitMs);
    if (action == "delete") // destruction ends the engine before it returns
        QVERIFY(!engine && !ProcessTable::exists(oldPid));
    QTRY_VERIFY_WITH_TIMEOUT(!ProcessTable::exists(oldPid), kWaitMs);
    QStringList expected = duringRead ? QStringList{} : QStringList{"old line"};
    if (action == "restart") {
        // The new engine is read, and nothing more of the old one.
        QVERIFY(sentinelArrives(*engine, spy));
        expected << "END";
    }
    QCOMPARE(lines(spy), expected);
    QCOMPARE(engine && engine->EngineStarted(), action == "restart");
}

void tst_NqIEngine::realEngineAnalyses()
{
    const QString polyglot = QStringLiteral("/usr/games/polyglot");
    const QString stockfish = QStringLiteral("/usr/games/stockfish");
    if (!QFileInfo(polyglot).isExecutable() || !QFileInfo(stockfish).isExecutable())
        QSKIP("needs the Debian packages polyglot and stockfish");

    NqIEngine engine;
    QSignalSpy spy(&engine, &NqIEngine::DataFromEngine);
    engine.setPathEngine(polyglot + " -noini -ec " + stockfish);
    QVERIFY(engine.StartEngine());
    for (const char* command :
         {"xboard", "new", "post",
          "setboard r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4",
          "analyze"})
        QVERIFY(engine.WriteToEngine(command) > 0);

    // depth, score, time, nodes, then a principal variation starting with a move.
    const QRegularExpression analysis(QStringLiteral(
        R"(^\s*\d+\s+[-+]?\d+\s+\d+\s+\d+\s+(O-O|[KQRBN]?[a-h]?[1-8]?x?[a-h][1-8]))"));
    QTRY_VERIFY_WITH_TIMEOUT(lines(spy).indexOf(analysis) >= 0, kWaitMs);
    QVERIFY(engine.WriteToEngine("exit") > 0);
    QVERIFY(engine.WriteToEngine("quit") > 0);
    QVERIFY(!engine.EngineStarted());
}

QTEST_MAIN(tst_NqIEngine)
#include "tst_nqiengine.moc"
