#include "NqEngineLimits.h"
#include "NqIEngine.h"

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

#include <climits>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

using Ostravin::NqIEngine;

namespace {

// Generous, for loaded machines and runs under valgrind.
constexpr int kWaitMs = 60000;

const QString kFakeEngine = QStringLiteral(KX_FAKE_ENGINE);

// Quotes a word so that the engine command line gives it back unchanged.
QString quoted(const QString& word)
{
    if (!word.isEmpty() && !word.contains(QRegularExpression(QStringLiteral("[ \t\"]"))))
        return word;
    QString out = QStringLiteral("\"");
    qsizetype slashes = 0;
    for (const QChar c : word) {
        if (c == u'\\') {
            ++slashes;
            continue;
        }
        out += QString(c == u'"' ? 2 * slashes + 1 : slashes, u'\\');
        slashes = 0;
        out += c;
    }
    return out + QString(2 * slashes, u'\\') + u'"';
}

QString fakeCommand(const QStringList& arguments)
{
    QStringList words{quoted(kFakeEngine)};
    for (const QString& argument : arguments)
        words.append(quoted(argument));
    return words.join(u' ');
}

QStringList lines(const QSignalSpy& spy)
{
    QStringList out;
    for (const QList<QVariant>& arguments : spy)
        out.append(arguments.at(0).toString());
    return out;
}

// Runs the event loop until the spy holds count lines. Unlike QTRY_*, which
// sleeps between rounds of events, this lets the polling timer run at its pace.
bool waitForLines(QSignalSpy& spy, qsizetype count)
{
    while (spy.size() < count) {
        if (!spy.wait(kWaitMs))
            return false;
    }
    return true;
}

QByteArray fileContents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int openDescriptorCount()
{
    DIR* dir = opendir("/proc/self/fd");
    if (!dir)
        return -1;
    int count = 0;
    while (const dirent* entry = readdir(dir))
        count += entry->d_name[0] != '.';
    closedir(dir);
    return count;
}

struct ProcessStat
{
    char state = 0;
    pid_t parent = 0;
};

// State and parent of a process; state 0 when it has no /proc entry.
ProcessStat processStat(pid_t pid)
{
    const QByteArray stat = fileContents(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype nameEnd = stat.lastIndexOf(')');
    if (nameEnd < 0)
        return {};
    const QList<QByteArray> fields = stat.mid(nameEnd + 2).split(' ');
    if (fields.size() < 2 || fields.at(0).isEmpty())
        return {};
    return {fields.at(0).at(0), pid_t(fields.at(1).toInt())};
}

bool processExists(pid_t pid)
{
    return processStat(pid).state != 0;
}

// Every child of this test, zombies included.
QList<pid_t> childProcesses()
{
    QList<pid_t> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool isPid = false;
        const pid_t pid = entry.toInt(&isPid);
        if (isPid && processStat(pid).parent == getpid())
            children.append(pid);
    }
    return children;
}

// Posts an action on the first tick of the polling timer, so that it runs
// inside the read that tick starts, when the reader first lets events run.
class TickTrap : public QObject
{
public:
    TickTrap(QObject* timer, std::function<void()> action) : m_action(std::move(action))
    {
        timer->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Timer && m_action)
            QMetaObject::invokeMethod(this, std::exchange(m_action, {}), Qt::QueuedConnection);
        return false;
    }

private:
    std::function<void()> m_action;
};

enum class HostAction { Close, Restart, Delete };

} // namespace

Q_DECLARE_METATYPE(HostAction)

/*
 * The engine control against small fake engines (and a real one when it is
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

    void keepsItsSizeAndStaysHidden();
    void timePollingRounds_data();
    void timePollingRounds();
    void pollingRunsOnlyWithAnEngine();
    void writeProperties_data();
    void writeProperties();
    void readProperties_data();
    void readProperties();

    void startFails_data();
    void startFails();
    void childStartsClean();
    void quotedProgramGetsLiteralArguments();
    void bareProgramNameIsSearchedInPath();

    void lineFraming_data();
    void lineFraming();
    void oneLinePerTick();
    void longLineArrivesInPieces_data();
    void longLineArrivesInPieces();
    void floodArrivesInOrder();

    void writeSendsLineEnds_data();
    void writeSendsLineEnds();
    void writeToStalledEngineDoesNotBlock();
    void quitReleasesEngine_data();
    void quitReleasesEngine();
    void releasedEngineIsKilled_data();
    void releasedEngineIsKilled();
    void engineExitsByItself();
    void closeKillsProcessGroup();
    void hostActsDuringDelivery_data();
    void hostActsDuringDelivery();

    void realEngineAnalyses();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    bool logHas(const QString& entry) const;
    bool startQuiet(NqIEngine& engine, QStringList arguments);
    bool sentinelArrives(NqIEngine& engine, const QSignalSpy& spy);
    pid_t startReportingPid(NqIEngine& engine, QSignalSpy& spy, const QStringList& arguments);

    std::unique_ptr<QTemporaryDir> m_dir;
    int m_descriptorBaseline = 0;
};

void tst_NqIEngine::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_descriptorBaseline = openDescriptorCount();
}

void tst_NqIEngine::cleanup()
{
    QTRY_COMPARE_WITH_TIMEOUT(childProcesses(), QList<pid_t>{}, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(openDescriptorCount(), m_descriptorBaseline, kWaitMs);
    m_dir.reset();
}

bool tst_NqIEngine::logHas(const QString& entry) const
{
    return QTest::qWaitFor(
        [&] { return fileContents(path("log")).split('\n').contains(entry.toUtf8()); }, kWaitMs);
}

// Starts a fake engine with polling off and waits until its greeting is in
// the pipe, so the first tick finds all of it.
bool tst_NqIEngine::startQuiet(NqIEngine& engine, QStringList arguments)
{
    engine.setTimePolling(0);
    engine.setPathEngine(fakeCommand(arguments << QStringLiteral("--log") << path("log")));
    return engine.StartEngine() && logHas(QStringLiteral("greeted"));
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

// Starts a fake engine that reports its process id in its first line; 0 on failure.
pid_t tst_NqIEngine::startReportingPid(NqIEngine& engine, QSignalSpy& spy,
                                       const QStringList& arguments)
{
    engine.setTimePolling(1);
    engine.setPathEngine(fakeCommand(QStringList{"--pid"} + arguments));
    if (!engine.StartEngine() || !waitForLines(spy, 1))
        return 0;
    return pid_t(lines(spy).at(0).section(u' ', 1).toInt());
}

void tst_NqIEngine::keepsItsSizeAndStaysHidden()
{
    QWidget host;
    NqIEngine engine(&host);
    host.show();
    engine.resize(200, 100);
    QCOMPARE(engine.size(), QSize(29, 29));
    QVERIFY(!engine.isVisible());
}

void tst_NqIEngine::timePollingRounds_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint32>("interval");

    QTest::newRow("whole milliseconds") << 50.0 << 50;
    QTest::newRow("half rounds down to even") << 2.5 << 2;
    QTest::newRow("half rounds up to even") << 3.5 << 4;
    QTest::newRow("below half") << 10.4 << 10;
    QTest::newRow("above half") << 10.6 << 11;
    QTest::newRow("small value rounds to off") << 0.4 << 0;
    QTest::newRow("negative is off") << -20.0 << 0;
    QTest::newRow("huge is held to range") << 1e12 << qint32(INT_MAX);
}

void tst_NqIEngine::timePollingRounds()
{
    QFETCH(double, value);
    QFETCH(qint32, interval);
    NqIEngine engine;
    QSignalSpy changed(&engine, &NqIEngine::PropertyChanged);
    engine.setTimePolling(value);
    QCOMPARE(engine.TimePolling(), interval);
    QCOMPARE(lines(changed), QStringList{"TimePolling"});
}

void tst_NqIEngine::pollingRunsOnlyWithAnEngine()
{
    NqIEngine engine;
    const QTimer* timer = engine.findChild<QTimer*>(QStringLiteral("TimerForRead"));
    QVERIFY(timer);
    engine.setTimePolling(50);
    QVERIFY(!timer->isActive());

    engine.setPathEngine(fakeCommand({}));
    QVERIFY(engine.StartEngine());
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 50);
    engine.setTimePolling(0);
    QVERIFY(!timer->isActive());
    engine.setTimePolling(50);
    QVERIFY(timer->isActive());

    engine.CloseEngine();
    QVERIFY(!engine.EngineStarted());
    QVERIFY(!timer->isActive());
    QCOMPARE(engine.TimePolling(), 50);
}

void tst_NqIEngine::writeProperties_data()
{
    QTest::addColumn<double>("timePolling");
    QTest::addColumn<QString>("pathEngine");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("defaults keep only the interval") << 10.0 << ""
                                                     << "" << QStringList{"TimePolling"};
    QTest::newRow("interval 0 is still written") << 0.0 << ""
                                                 << "" << QStringList{"TimePolling"};
    QTest::newRow("all three") << 50.0 << "/usr/games/stockfish"
                               << "main" << QStringList{"TimePolling", "PathEngine", "Tag"};
    QTest::newRow("tag without path") << 50.0 << ""
                                      << "x" << QStringList{"TimePolling", "Tag"};
}

void tst_NqIEngine::writeProperties()
{
    QFETCH(double, timePolling);
    QFETCH(QString, pathEngine);
    QFETCH(QString, tag);
    QFETCH(QStringList, names);

    NqIEngine engine;
    engine.setTimePolling(timePolling);
    engine.setPathEngine(pathEngine);
    engine.setTag(tag);
    NqPropertyBag bag;
    engine.WriteProperties(bag);
    QCOMPARE(bag.names(), names);
    QCOMPARE(bag.ReadProperty("TimePolling").toInt(), qint32(timePolling));

    NqIEngine restored;
    restored.ReadProperties(bag);
    QCOMPARE(restored.TimePolling(), engine.TimePolling());
    QCOMPARE(restored.PathEngine(), pathEngine);
    QCOMPARE(restored.Tag(), tag);
}

void tst_NqIEngine::readProperties_data()
{
    QTest::addColumn<QVariant>("timePolling");
    QTest::addColumn<QVariant>("pathEngine");
    QTest::addColumn<QVariant>("tag");
    QTest::addColumn<qint32>("interval");

    const QVariant absent;
    QTest::newRow("empty bag gives the defaults") << absent << absent << absent << 10;
    QTest::newRow("stored values")
        << QVariant(200) << QVariant("/usr/games/fairymax") << QVariant("spare") << 200;
    QTest::newRow("interval stored as 0") << QVariant(0) << absent << absent << 0;
    QTest::newRow("interval stored as text rounds") << QVariant("12.5") << absent << absent << 12;
}

void tst_NqIEngine::readProperties()
{
    QFETCH(QVariant, timePolling);
    QFETCH(QVariant, pathEngine);
    QFETCH(QVariant, tag);
    QFETCH(qint32, interval);

    NqPropertyBag bag;
    // Written in the reverse order, to show the load order is the control's own.
    if (tag.isValid())
        bag.WriteProperty("Tag", tag);
    if (pathEngine.isValid())
        bag.WriteProperty("PathEngine", pathEngine);
    if (timePolling.isValid())
        bag.WriteProperty("TimePolling", timePolling);

    NqIEngine engine;
    engine.setTag("before");
    engine.setPathEngine("before");
    QSignalSpy changed(&engine, &NqIEngine::PropertyChanged);
    engine.ReadProperties(bag);
    QCOMPARE(lines(changed), (QStringList{"TimePolling", "PathEngine", "Tag"}));
    QCOMPARE(engine.TimePolling(), interval);
    QCOMPARE(engine.PathEngine(), pathEngine.toString());
    QCOMPARE(engine.Tag(), tag.toString());
}

void tst_NqIEngine::startFails_data()
{
    QTest::addColumn<QString>("commandLine");

    QTest::newRow("empty path") << "";
    QTest::newRow("blanks only") << "   ";
    QTest::newRow("missing program") << "/nonexistent/kx-engine -xboard";
    QTest::newRow("bare name not in PATH") << "kx-no-such-engine-7f3a";
    QTest::newRow("a folder") << quoted(QDir::tempPath());
    QTest::newRow("not executable") << quoted(QStringLiteral(KX_SOURCE_DIR "/CMakeLists.txt"));
}

void tst_NqIEngine::startFails()
{
    QFETCH(QString, commandLine);
    NqIEngine engine;
    const QTimer* timer = engine.findChild<QTimer*>(QStringLiteral("TimerForRead"));
    engine.setTimePolling(50);
    engine.setPathEngine(commandLine);
    QVERIFY(!engine.StartEngine());
    QVERIFY(!engine.EngineStarted());
    QVERIFY(!timer->isActive());
    QCOMPARE(engine.WriteToEngine("new"), 0);
    engine.CloseEngine();
    QVERIFY(!engine.EngineStarted());
}

void tst_NqIEngine::childStartsClean()
{
    // A careless host: a descriptor open without close-on-exec, SIGPIPE ignored.
    const int hostFd = ::open("/dev/null", O_RDONLY);
    QVERIFY(hostFd >= 0);
    struct sigaction ignore
    {
    };
    ignore.sa_handler = SIG_IGN;
    struct sigaction previous
    {
    };
    sigaction(SIGPIPE, &ignore, &previous);
    const auto restore = qScopeGuard([&] {
        sigaction(SIGPIPE, &previous, nullptr);
        ::close(hostFd);
    });

    NqIEngine engine;
    QSignalSpy spy(&engine, &NqIEngine::DataFromEngine);
    const pid_t pid = startReportingPid(engine, spy, {"--describe"});
    QVERIFY(pid > 0);
    QVERIFY(waitForLines(spy, 7));
    const QStringList got = lines(spy);
    QCOMPARE(got.at(1), QStringLiteral("session %1 group %1").arg(pid));
    const QStringList in = got.at(2).split(u' '), out = got.at(3).split(u' '),
                      err = got.at(4).split(u' ');
    QCOMPARE(in.value(1), "0");
    QCOMPARE(out.value(1), "1");
    QCOMPARE(err.value(1), "2");
    QVERIFY2(in.value(2).startsWith("pipe:"), qPrintable(got.at(2)));
    QVERIFY2(out.value(2).startsWith("pipe:"), qPrintable(got.at(3)));
    QVERIFY(in.value(2) != out.value(2));
    QCOMPARE(err.value(2), out.value(2));
    QCOMPARE(got.mid(5), (QStringList{"sigpipe default", "to stderr"}));
}

void tst_NqIEngine::quotedProgramGetsLiteralArguments()
{
    QVERIFY(QDir(m_dir->path()).mkpath("my engines"));
    const QString program = path("my engines/fake engine");
    QVERIFY(QFile::link(kFakeEngine, program));

    NqIEngine engine;
    QSignalSpy spy(&engine, &NqIEngine::DataFromEngine);
    engine.setTimePolling(1);
    engine.setPathEngine(quoted(program) + " --args $HOME ; \"a b\" * | > out 'x' `id` \\\"q\\\"");
    QVERIFY(engine.StartEngine());
    const QStringList expected{"arg:--args", "arg:$HOME", "arg:;",    "arg:a b",
                               "arg:*",      "arg:|",     "arg:>",    "arg:out",
                               "arg:'x'",    "arg:`id`",  "arg:\"q\""};
    QTRY_COMPARE_WITH_TIMEOUT(lines(spy), expected, kWaitMs);
    QVERIFY(!QFileInfo::exists(QDir::current().filePath("out")));
}

void tst_NqIEngine::bareProgramNameIsSearchedInPath()
{
    QVERIFY(QFile::link(kFakeEngine, path("kx-fake-engine")));
    const QByteArray oldPath = qgetenv("PATH");
    const auto restorePath = qScopeGuard([&] { qputenv("PATH", oldPath); });
    qputenv("PATH", QFile::encodeName(m_dir->path()) + ':' + oldPath);

    NqIEngine engine;
    QSignalSpy spy(&engine, &NqIEngine::DataFromEngine);
    engine.setTimePolling(1);
    engine.setPathEngine("kx-fake-engine --greet found\\r\\n");
    QVERIFY(engine.StartEngine());
    QTRY_COMPARE_WITH_TIMEOUT(lines(spy), QStringList{"found"}, kWaitMs);
}

void tst_NqIEngine::lineFraming_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("CR LF ends lines") << "abc\\r\\ndef\\r\\n" << QStringList{"abc", "def"};
    QTest::newRow("LF ends lines") << "abc\\ndef\\n" << QStringList{"abc", "def"};
    QTest::newRow("lone LF before CR LF") << "abc\\ndef\\r\\n" << QStringList{"abc", "def"};
    QTest::newRow("partial line as it stands") << "abc" << QStringList{"abc"};
    QTest::newRow("line then partial line") << "abc\\r\\nde" << QStringList{"abc", "de"};
    QTest::newRow("tab dropped") << "a\\tb\\r\\n" << QStringList{"ab"};
    QTest::newRow("lone CR dropped") << "a\\rb\\r\\n" << QStringList{"ab"};
    QTest::newRow("control characters dropped") << "\\x01x\\x1by\\x1f\\x7f\\r\\n"
                                                << QStringList{"xy\x7f"};
    QTest::newRow("empty line kept") << "one\\r\\n\\r\\ntwo\\r\\n" << QStringList{"one", "", "two"};
    QTest::newRow("UTF-8 text") << "caf\\xc3\\xa9\\r\\n" << QStringList{QString::fromUtf8("café")};
}

void tst_NqIEngine::lineFraming()
{
    QFETCH(QString, output);
    QFETCH(QStringList, expected);

    NqIEngine engine;
    QSignalSpy spy(&engine, &NqIEngine::DataFromEngine);
    QVERIFY(startQuiet(engine, {"--greet", output}));
    engine.setTimePolling(1);
    QTRY_COMPARE_WITH_TIMEOUT(spy.size(), expected.size(), kWaitMs);
    QCOMPARE(lines(spy), expected);
    QVERIFY(sentinelArrives(engine, spy));
    QCOMPARE(lines(spy), expected << "END");
}

void tst_NqIEngine::oneLinePerTick()
{
    NqIEngine engine;
    QTimer* timer = engine.findChild<QTimer*>(QStringLiteral("TimerForRead"));
    QVERIFY(startQuiet(engine, {"--greet", "1\\r\\n2\\r\\n3\\r\\n4\\r\\n5\\r\\n6\\r\\n"}));

    // The tick count seen by each line: the control's own handler runs before
    // this counter, so two lines from one tick would see the same count.
    int ticks = 0;
    QList<int> seen;
    connect(timer, &QTimer::timeout, this, [&] { ++ticks; });
    connect(&engine, &NqIEngine::DataFromEngine, this, [&] { seen.append(ticks); });
    engine.setTimePolling(1);
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 6, kWaitMs);
    for (qsizetype i = 1; i < seen.size(); ++i)
        QVERIFY2(seen.at(i) > seen.at(i - 1), qPrintable(QStringLiteral("line %1").arg(i + 1)));
}

void tst_NqIEngine::longLineArrivesInPieces_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QList<int>>("pieces");

    const int piece = int(Ostravin::kMaxLineBytes);
    QTest::newRow("one byte under") << piece - 1 << QList<int>{piece - 1};
    QTest::newRow("exactly one piece, no empty line after") << piece << QList<int>{piece};
    QTest::newRow("one byte over") << piece + 1 << QList<int>{piece, 1};
    QTest::newRow("three pieces and a rest") << 200000 << QList<int>{piece, piece, piece, 3392};
}

void tst_NqIEngine::longLineArrivesInPieces()
{
    QFETCH(int, length);
    QFETCH(QList<int>, pieces);

    NqIEngine engine;
    QSignalSpy spy(&engine, &NqIEngine::DataFromEngine);
    engine.setTimePolling(1);
    engine.setPathEngine(fakeCommand({}));
    QVERIFY(engine.StartEngine());
    QVERIFY(engine.WriteToEngine(QStringLiteral("long %1").arg(length)) > 0);
    QVERIFY(sentinelArrives(engine, spy));
    QCOMPARE(spy.size(), pieces.size() + 1);
    for (qsizetype i = 0; i < pieces.size(); ++i)
        QCOMPARE(lines(spy).at(i), QString(pieces.at(i), u'x'));
}

void tst_NqIEngine::floodArrivesInOrder()
{
    constexpr int count = 2000;
    NqIEngine engine;
    QSignalSpy spy(&engine, &NqIEngine::DataFromEngine);
    engine.setTimePolling(1);
    engine.setPathEngine(fakeCommand({}));
    QVERIFY(engine.StartEngine());
    QVERIFY(engine.WriteToEngine(QStringLiteral("flood %1").arg(count)) > 0);
    QVERIFY(waitForLines(spy, count));
    QCOMPARE(spy.size(), count);
    const QStringList received = lines(spy);
    for (int i = 0; i < count; ++i)
        QCOMPARE(received.at(i), QStringLiteral("line %1").arg(i));
}

void tst_NqIEngine::writeSendsLineEnds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("sent");

    QTest::newRow("LF added") << "new" << QByteArray("new\n");
    QTest::newRow("CR LF sent as LF") << "exit\r\n" << QByteArray("exit\n");
    QTest::newRow("several commands in one call") << "exit\r\nexit\r\nexit\r\nexit\r\n"
                                                  << QByteArray("exit\nexit\nexit\nexit\n");
    QTest::newRow("mixed line ends") << "log off\nxboard\r\nnew\nnoise 0\npost"
                                     << QByteArray("log off\nxboard\nnew\nnoise 0\npost\n");
    QTest::newRow("empty text") << "" << QByteArray("\n");
    QTest::newRow("trailing CR") << "go\r" << QByteArray("go\n");
    QTest::newRow("CR inside a line kept") << "a\rb" << QByteArray("a\rb\n");
    QTest::newRow("CRs before LF dropped") << "a\r\r\nb" << QByteArray("a\nb\n");
    QTest::newRow("UTF-8") << QString::fromUtf8("é") << QByteArray("\xc3\xa9\n");
}

void tst_NqIEngine::writeSendsLineEnds()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, sent);

    NqIEngine engine;
    engine.setPathEngine(fakeCommand({"--record", path("record")}));
    QVERIFY(engine.StartEngine());
    QCOMPARE(engine.WriteToEngine(text), sent.size());
    QTRY_COMPARE_WITH_TIMEOUT(fileContents(path("record")), sent, kWaitMs);
}

void tst_NqIEngine::writeToStalledEngineDoesNotBlock()
{
    NqIEngine engine;
    QSignalSpy spy(&engine, &NqIEngine::DataFromEngine);
    const pid_t pid = startReportingPid(engine, spy, {"--hold-input", "--record", path("record")});
    QVERIFY(pid > 0);

    // More than the pipe holds: the rest waits in the control.
    const QString big(300000, u'a');
    QCOMPARE(engine.WriteToEngine(big), 300001);
    QCOMPARE(engine.WriteToEngine(QString(Ostravin::kMaxPendingInput, u'b')), 0);
    QCOMPARE(engine.WriteToEngine("tail"), 5);

    QCOMPARE(::kill(pid, SIGUSR1), 0);
    const QByteArray expected = big.toLatin1() + "\ntail\n";
    QTRY_COMPARE_WITH_TIMEOUT(fileContents(path("record")).size(), expected.size(), kWaitMs);
    QVERIFY(fileContents(path("record")) == expected);
}

void tst_NqIEngine::quitReleasesEngine_data()
{
    QTest::addColumn<QString>("command");

    QTest::newRow("lower case") << "quit";
    QTest::newRow("upper case") << "QUIT";
    QTest::newRow("mixed case") << "QuIt";
    QTest::newRow("last of several commands") << "xboard\r\nnew\nquit";
}

void tst_NqIEngine::quitReleasesEngine()
{
    QFETCH(QString, command);

    NqIEngine engine;
    QSignalSpy spy(&engine, &NqIEngine::DataFromEngine);
    const pid_t pid = startReportingPid(engine, spy, {"--log", path("log")});
    QVERIFY(pid > 0);

    QVERIFY(engine.WriteToEngine(command) > 0);
    QVERIFY(!engine.EngineStarted());
    QCOMPARE(engine.WriteToEngine("new"), 0);
    QVERIFY(logHas("quit"));
    // It ended by itself and is reaped well before its grace runs out.
    QTRY_VERIFY_WITH_TIMEOUT(!processExists(pid), kWaitMs);
}

void tst_NqIEngine::releasedEngineIsKilled_data()
{
    QTest::addColumn<bool>("destroyControl");

    QTest::newRow("after its grace") << false;
    QTest::newRow("when the control is destroyed") << true;
}

void tst_NqIEngine::releasedEngineIsKilled()
{
    QFETCH(bool, destroyControl);

    auto engine = std::make_unique<NqIEngine>();
    QSignalSpy spy(engine.get(), &NqIEngine::DataFromEngine);
    const pid_t pid = startReportingPid(*engine, spy, {"--ignore-quit", "--log", path("log")});
    QVERIFY(pid > 0);

    QCOMPARE(engine->WriteToEngine("quit"), 5);
    QVERIFY(!engine->EngineStarted());
    QVERIFY(logHas("quit"));
    QVERIFY(processExists(pid) && processStat(pid).state != 'Z');
    if (destroyControl) {
        engine.reset();
        QVERIFY(!processExists(pid));
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(!processExists(pid), kWaitMs);
    }
}

void tst_NqIEngine::engineExitsByItself()
{
    NqIEngine engine;
    QSignalSpy spy(&engine, &NqIEngine::DataFromEngine);
    const pid_t pid =
        startReportingPid(engine, spy, {"--greet", "last words\\r\\npartial", "--exit"});
    QVERIFY(pid > 0);
    QVERIFY(waitForLines(spy, 3));
    QCOMPARE(lines(spy).mid(1), (QStringList{"last words", "partial"}));

    // Held until closed; writing to it must neither fail loudly nor raise SIGPIPE.
    QTRY_COMPARE_WITH_TIMEOUT(processStat(pid).state, 'Z', kWaitMs);
    QVERIFY(engine.EngineStarted());
    QCOMPARE(engine.WriteToEngine("new"), 0);
    engine.CloseEngine();
    QVERIFY(!engine.EngineStarted());
    QTRY_VERIFY_WITH_TIMEOUT(!processExists(pid), kWaitMs);
}

void tst_NqIEngine::closeKillsProcessGroup()
{
    NqIEngine engine;
    QSignalSpy spy(&engine, &NqIEngine::DataFromEngine);
    const pid_t pid = startReportingPid(engine, spy, {"--grandchild"});
    QVERIFY(pid > 0);
    QVERIFY(waitForLines(spy, 2));
    const pid_t helper = pid_t(lines(spy).at(1).section(u' ', 1).toInt());
    QVERIFY(processExists(helper));

    engine.CloseEngine();
    QTRY_VERIFY_WITH_TIMEOUT(!processExists(pid), kWaitMs);
    // The helper is not ours to reap: gone, or a zombie waiting for its new parent.
    QTRY_VERIFY_WITH_TIMEOUT(!processExists(helper) || processStat(helper).state == 'Z', kWaitMs);
}

void tst_NqIEngine::hostActsDuringDelivery_data()
{
    QTest::addColumn<HostAction>("action");
    QTest::addColumn<bool>("duringRead");

    QTest::newRow("close in the line handler") << HostAction::Close << false;
    QTest::newRow("restart in the line handler") << HostAction::Restart << false;
    QTest::newRow("delete in the line handler") << HostAction::Delete << false;
    QTest::newRow("close while reading") << HostAction::Close << true;
    QTest::newRow("restart while reading") << HostAction::Restart << true;
    QTest::newRow("delete while reading") << HostAction::Delete << true;
}

void tst_NqIEngine::hostActsDuringDelivery()
{
    QFETCH(HostAction, action);
    QFETCH(bool, duringRead);

    QWidget host;
    QPointer<NqIEngine> engine = new NqIEngine(&host);
    QSignalSpy spy(engine.data(), &NqIEngine::DataFromEngine);
    QVERIFY(startQuiet(*engine, {"--pid", "--greet", "old line\\r\\n"}));
    const QList<pid_t> children = childProcesses();
    QCOMPARE(children.size(), 1);
    const pid_t oldPid = children.at(0);
    const QString second = fakeCommand({"--greet", "second\\r\\n"});

    bool acted = false;
    const auto act = [&] {
        acted = true;
        if (action == HostAction::Close) {
            engine->CloseEngine();
        } else if (action == HostAction::Restart) {
            engine->setPathEngine(second);
            engine->StartEngine();
        } else {
            delete engine.data();
        }
    };
    QStringList expected;
    std::unique_ptr<TickTrap> trap;
    if (duringRead) {
        trap = std::make_unique<TickTrap>(engine->findChild<QTimer*>("TimerForRead"), act);
    } else {
        expected << QStringLiteral("pid %1").arg(oldPid);
        connect(engine.data(), &NqIEngine::DataFromEngine, this, [&] {
            if (!acted)
                act();
        });
    }
    engine->setTimePolling(1);
    QTRY_VERIFY_WITH_TIMEOUT(acted, kWaitMs);

    if (action == HostAction::Delete) {
        // Destruction ends the engine before it returns.
        QVERIFY(!engine);
        QVERIFY(!processExists(oldPid));
        QCOMPARE(lines(spy), expected);
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(!processExists(oldPid), kWaitMs);
    if (action == HostAction::Close) {
        QVERIFY(!engine->EngineStarted());
        engine->setPathEngine(second);
        QVERIFY(engine->StartEngine());
    }
    QVERIFY(engine->EngineStarted());
    QTRY_VERIFY_WITH_TIMEOUT(lines(spy).contains("second"), kWaitMs);
    QVERIFY(sentinelArrives(*engine, spy));
    QCOMPARE(lines(spy), expected << "second"
                                  << "END");
}

void tst_NqIEngine::realEngineAnalyses()
{
    const QString polyglot = QStringLiteral("/usr/games/polyglot");
    const QString stockfish = QStringLiteral("/usr/games/stockfish");
    if (!QFileInfo(polyglot).isExecutable() || !QFileInfo(stockfish).isExecutable())
        QSKIP("needs /usr/games/polyglot and /usr/games/stockfish (Debian packages "
              "polyglot and stockfish)");

    NqIEngine engine;
    QSignalSpy spy(&engine, &NqIEngine::DataFromEngine);
    engine.setPathEngine(polyglot + " -noini -ec " + stockfish);
    QVERIFY(engine.StartEngine());
    for (const char* command : {"xboard", "new", "post"})
        QVERIFY(engine.WriteToEngine(command) > 0);
    QVERIFY(engine.WriteToEngine("setboard r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/"
                                 "RNBQK2R w KQkq - 4 4") > 0);
    QVERIFY(engine.WriteToEngine("analyze") > 0);
    engine.setTimePolling(10);

    // depth, score, time, nodes, then a principal variation starting with a move.
    const QRegularExpression analysis(QStringLiteral(
        R"(^\s*\d+\s+[-+]?\d+\s+\d+\s+\d+\s+(O-O|[KQRBN]?[a-h]?[1-8]?x?[a-h][1-8]))"));
    const auto analysed = [&] {
        return lines(spy).indexOf(analysis) >= 0;
    };
    QTRY_VERIFY_WITH_TIMEOUT(analysed(), kWaitMs);
    QVERIFY(engine.WriteToEngine("exit") > 0);
    QVERIFY(engine.WriteToEngine("quit") > 0);
    QVERIFY(!engine.EngineStarted());
}

QTEST_MAIN(tst_NqIEngine)
#include "tst_nqiengine.moc"
