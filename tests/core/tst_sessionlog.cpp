#include "FileSizeLimit.h"
#include "SessionLog.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kx;

// Appending finished sessions to the log.
class TestSessionLog : public QObject
{
    Q_OBJECT

private slots:
    void appendsSessions()
    {
        // The data folder may not exist yet on a first run.
        const QString path = m_dir.filePath(QStringLiteral("pomvel/kestrelux/KXLog.txt"));
        QVERIFY(AppendSessionLog(path, "\nfirst\n\n  96 1/1(100%)"));
        QVERIFY(AppendSessionLog(path, "\nsecond"));
        QCOMPARE(readAll(path), QByteArray("\nfirst\n\n  96 1/1(100%)\n\nsecond\n"));
    }

    // The disk fills up during the append: what was written of it is taken back.
    void failedAppendKeepsTheLog()
    {
        const QString path = m_dir.filePath(QStringLiteral("KXLog.txt"));
        QVERIFY(AppendSessionLog(path, QStringLiteral("older session")));
        Result<> written;
        {
            const FileSizeLimit limit(64);
            written = AppendSessionLog(path, QString(4096, u'r'));
        }
        QVERIFY(!written);
        QVERIFY2(written.error().contains(path), qPrintable(written.error()));
        QCOMPARE(readAll(path), QByteArray("older session\n"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestSessionLog)
#include "tst_sessionlog.moc"
