// The files the trainer writes, when the writing goes wrong: the session
// log, the settings file, a statistics file and a position history are written
// over and over by a
// copy of this program (started with --writer) that is killed with SIGKILL at
// many points; after every kill the file holds the content before a write or
// after it, never a cut or mixed one, and the log every session appended
// before. A full disk and a read-only folder refuse a write with a message
// naming the file and leave the file as it was.

#include "FileSizeLimit.h"
#include "HistoryFile.h"
#include "IniFile.h"
#include "SessionLog.h"
#include "StatsFile.h"
#include "TestFiles.h"
#include "Unprivileged.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <csignal>
#include <optional>
#include <thread>
#include <unistd.h>

using namespace kx;

namespace {

constexpr int kKillsPerFile = 40;
// The kill comes this long at most after the first write began: within the
// first few writes.
constexpr int kLatestKillMicroseconds = 20000;
// A writer nobody kills stops by itself.
constexpr int kMostWrites = 2000;
constexpr int kWaitMs = 60000;

// The report of session n, a few kilobytes of report lines.
QString sessionReport(int n)
{
    QString report = QStringLiteral("\nsession %1").arg(n);
    for (int line = 0; line < 40 + n * 37 % 200; ++line)
        report += QStringLiteral("\n %1.0 %2) Move: e2e4 Sol: e4 solv Elap10 Save40")
                      .arg(n)
                      .arg(line + 1, 2, 10, QLatin1Char('0'));
    return report;
}

QString engineValue(int n)
{
    return QStringLiteral("engine-%1-").arg(n) + QString(1000 + n * 7919 % 100000, u'v');
}

TableRows statsRows(int n)
{
    TableRows rows{QStringList()};
    for (int i = 1; i <= 200 + n * 31 % 800; ++i)
        rows << QStringList{QString::number(i),
                            "Qxd1+",
                            "Qd1",
                            "",
                            "",
                            "3",
                            "+1.2",
                            QString::number(n),
                            "4",
                            "1",
                            "after write " + QString::number(n)};
    return rows;
}

// A suite's position history after n attempts, a few hundred positions met.
std::vector<HistoryEntry> historyEntries(int n)
{
    std::vector<HistoryEntry> entries;
    const QDate day(2024, 1, 1);
    for (int i = 1; i <= 200 + n * 31 % 800; ++i) {
        HistoryEntry e;
        e.number = i;
        e.key = quint64(i) * 0x9e3779b97f4a7c15ull;
        e.attempts = n + 1;
        e.solves = n % 2;
        e.lastSeen = day.addDays(n);
        e.box = 1 + i % 6;
        e.due = day.addDays(n + i % 30);
        entries.push_back(e);
    }
    return entries;
}

// The whole file after write n (n = 0: before the first).
QByteArray contentAfter(const QString& kind, int n)
{
    if (kind == "log") {
        QByteArray log;
        for (int i = 1; i <= n; ++i)
            log += (sessionReport(i) + u'\n').toUtf8();
        return log;
    }
    if (kind == "ini") {
        return "; my settings\r\n[Other]\r\nEngine=kept\r\n\r\n[Kestrelux]\r\nEngine=" +
               (n ? engineValue(n).toUtf8() : QByteArray("start")) +
               "\r\nCommandLine=-x\r\n[Tail]\r\nA=1";
    }
    if (kind == "history")
        return HistoryText(historyEntries(n));
    return StatsText(statsRows(n));
}

Result<> writeNext(const QString& kind, const QString& path, int n)
{
    if (kind == "log")
        return AppendSessionLog(path, sessionReport(n));
    if (kind == "ini")
        return WriteIniValue(path, "Kestrelux", "Engine", engineValue(n));
    if (kind == "history")
        return WriteHistoryFile(path, historyEntries(n));
    return WriteStatsFile(path, statsRows(n));
}

void say(const QByteArray& text)
{
    // Straight to the pipe: nothing may wait in a buffer when the kill comes.
    [[maybe_unused]] const ssize_t n = ::write(STDOUT_FILENO, text.constData(), text.size());
}

// The writer: writes after == n + 1, n + 2, ... until killed, telling when
// each write begins and when it has ended.
int writeUntilKilled(const QString& kind, const QString& path, int done)
{
    for (int n = done + 1; n <= done + kMostWrites; ++n) {
        say("begin " + QByteArray::number(n) + '\n');
        const Result<> written = writeNext(kind, path, n);
        if (!written) {
            say("failed " + written.error().toUtf8() + '\n');
            return 1;
        }
        say("end " + QByteArray::number(n) + '\n');
    }
    return 0;
}

// The highest n of the lines "word n" in output; fallback when there are none.
int lastNumber(const QByteArray& output, const QByteArray& word, int fallback)
{
    int last = fallback;
    for (const QByteArray& line : output.split('\n')) {
        if (line.startsWith(word + ' '))
            last = qMax(last, line.mid(word.size() + 1).toInt());
    }
    return last;
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileWriting_data();
    void killedWhileWriting();
    void refusedWriteLosesNothing_data();
    void refusedWriteLosesNothing();
};

void TestCrashSafety::killedWhileWriting_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("session log, appended") << "log";
    QTest::newRow("settings file, one value changed") << "ini";
    QTest::newRow("statistics file, saved whole") << "stats";
    QTest::newRow("position history, saved whole") << "history";
}

void TestCrashSafety::killedWhileWriting()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath("file.txt");
    writeAll(path, contentAfter(kind, 0));

    int done = 0; // the writes the file holds
    int inTheMiddle = 0;
    for (int kill = 1; kill <= kKillsPerFile; ++kill) {
        QProcess writer;
        writer.start(qApp->applicationFilePath(), {"--writer", kind, path, QString::number(done)});
        QByteArray output;
        while (!output.contains("begin")) {
            QVERIFY(writer.waitForReadyRead(kWaitMs));
            output += writer.readAllStandardOutput();
        }
        // The kill point.
        std::this_thread::sleep_for(std::chrono::microseconds(
            QRandomGenerator::global()->bounded(kLatestKillMicroseconds)));
        QCOMPARE(::kill(pid_t(writer.processId()), SIGKILL), 0);
        QVERIFY(writer.waitForFinished(kWaitMs));
        output += writer.readAllStandardOutput();
        QVERIFY2(!output.contains("failed"), output.constData());

        // Every write that ended is there; the one under way is all there or not at all.
        const int ended = lastNumber(output, "end", done);
        const int begun = lastNumber(output, "begin", done);
        inTheMiddle += begun > ended;
        const QByteArray content = readAll(path);
        done = -1;
        for (int n = ended; n <= begun && done < 0; ++n)
            done = content == contentAfter(kind, n) ? n : -1;
        QVERIFY2(done >= 0, qPrintable(QStringLiteral("kill %1: after %2 writes the file is "
                                                      "neither that nor the next (%3 bytes)")
                                           .arg(kill)
                                           .arg(ended)
                                           .arg(content.size())));
    }
    qInfo("%d kills, %d of them during a write; %d writes kept", kKillsPerFile, inTheMiddle, done);
    QVERIFY(inTheMiddle > 0);
}

void TestCrashSafety::refusedWriteLosesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("fullDisk"); // else a read-only folder
    for (const char* kind : {"log", "ini", "stats", "history"}) {
        QTest::addRow("%s, full disk", kind) << kind << true;
        QTest::addRow("%s, read-only folder", kind) << kind << false;
    }
}

void TestCrashSafety::refusedWriteLosesNothing()
{
    QFETCH(QString, kind);
    QFETCH(bool, fullDisk);
    if (!fullDisk)
        KX_RUN_AS_UNPRIVILEGED_USER();

    QTemporaryDir dir;
    const QString path = dir.filePath("file.txt");
    writeAll(path, contentAfter(kind, 1));
    QFile::Permissions folder = QFile::permissions(dir.path());
    if (!fullDisk)
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    Result<> written;
    {
        std::optional<FileSizeLimit> limit;
        if (fullDisk)
            limit.emplace(1024); // less than the file holds already
        written = writeNext(kind, path, 2);
    }
    QFile::setPermissions(dir.path(), folder);
    QVERIFY(!written);
    QVERIFY2(written.error().contains(path), qPrintable(written.error()));
    QVERIFY(readAll(path) == contentAfter(kind, 1));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"file.txt"});
}

int main(int argc, char* argv[])
{
    if (argc == 5 && qstrcmp(argv[1], "--writer") == 0)
        return writeUntilKilled(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                                QByteArray(argv[4]).toInt());
    QCoreApplication app(argc, argv);
    TestCrashSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashsafety.moc"
