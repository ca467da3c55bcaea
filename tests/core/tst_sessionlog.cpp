#include "FileSizeLimit.h"
#include "SessionLog.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kx;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Appending finished sessions to the log.
class TestSessionLog : public QObject
{
    Q_OBJECT

private slots:
    void appendsSessions();
    void keepsWhatTheLogHeld();
    void unwritableFolderFails();
    void failedAppendKeepsTheLog();
};

void TestSessionLog::appendsSessions()
{
    QTemporaryDir dir;
    // The data folder may not exist yet on a first run.
    const QString path = dir.filePath(QStringLiteral("pomvel/kestrelux/KXLog.txt"));
    QString error;
    QVERIFY2(AppendSessionLog(path, QStringLiteral("\nfirst\n\n  96 1/1(100%)"), &error),
             qPrintable(error));
    QVERIFY2(AppendSessionLog(path, QStringLiteral("\nsecond"), &error), qPrintable(error));
    QCOMPARE(readAll(path), QByteArray("\nfirst\n\n  96 1/1(100%)\n\nsecond\n"));
}

void TestSessionLog::keepsWhatTheLogHeld()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("KXLog.txt"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("older session\r\n");
    old.close();
    QVERIFY(AppendSessionLog(path, QStringLiteral("new")));
    QCOMPARE(readAll(path), QByteArray("older session\r\nnew\n"));
}

void TestSessionLog::unwritableFolderFails()
{
    QTemporaryDir dir;
    // Permissions do not stop root; a folder whose parent is a file always fails.
    const QString blocker = dir.filePath(QStringLiteral("plain"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a folder");
    file.close();
    const QString path = blocker + QStringLiteral("/logs/KXLog.txt");
    QString error;
    QVERIFY(!AppendSessionLog(path, QStringLiteral("report"), &error));
    QVERIFY2(error.contains(path), qPrintable(error));
    QCOMPARE(readAll(blocker), QByteArray("not a folder"));
}

void TestSessionLog::failedAppendKeepsTheLog()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("KXLog.txt"));
    QVERIFY(AppendSessionLog(path, QStringLiteral("older session")));
    QString error;
    bool written = true;
    {
        const FileSizeLimit limit(64);
        written = AppendSessionLog(path, QString(4096, u'r'), &error);
    }
    QVERIFY(!written);
    QVERIFY2(error.contains(path), qPrintable(error));
    QVERIFY(readAll(path).startsWith("older session\n"));
}

QTEST_GUILESS_MAIN(TestSessionLog)
#include "tst_sessionlog.moc"
