#include "FileSizeLimit.h"
#include "IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace kx;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

} // namespace

// The settings file: reading, writing in place, and failing safely.
class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void awkwardValuesRoundTrip_data();
    void awkwardValuesRoundTrip();
    void readsWithoutRegardToCase_data();
    void readsWithoutRegardToCase();
    void missingGivesDefault_data();
    void missingGivesDefault();
    void writes_data();
    void writes();
    void refusesLineBreaks();
    void unwritablePathFails();
    void failedWriteKeepsOldFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestIniFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(QStringLiteral("Kestrelux.ini"));
}

void TestIniFile::awkwardValuesRoundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("commas") << "a,b,c"
                            << "a,b,c";
    QTest::newRow("quotes") << "\"quoted\" \"args\""
                            << "\"quoted\" \"args\"";
    QTest::newRow("backslashes") << "C:\\Engines\\x.exe"
                                 << "C:\\Engines\\x.exe";
    QTest::newRow("equals signs") << "-opt=a=b"
                                  << "-opt=a=b";
    QTest::newRow("semicolon") << "; not a comment"
                               << "; not a comment";
    QTest::newRow("brackets") << "[Kestrelux]"
                              << "[Kestrelux]";
    QTest::newRow("blanks trimmed") << "  /usr/games/stockfish  "
                                    << "/usr/games/stockfish";
    QTest::newRow("non-ASCII path") << "/home/zoë/moteur"
                                    << "/home/zoë/moteur";
    QTest::newRow("empty") << ""
                           << "";
}

void TestIniFile::awkwardValuesRoundTrip()
{
    QFETCH(QString, value);
    QFETCH(QString, readBack);
    QVERIFY(WriteIniValue(m_path, "Kestrelux", "CommandLine", value));
    QCOMPARE(ReadIniValue(m_path, "Kestrelux", "CommandLine", "default"), readBack);
    // A second write replaces the first rather than adding a line.
    QVERIFY(WriteIniValue(m_path, "Kestrelux", "CommandLine", value));
    QCOMPARE(readAll(m_path).count("CommandLine"), 1);
}

void TestIniFile::readsWithoutRegardToCase_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("lower-case names") << QByteArray("[kestrelux]\nengine=/bin/e\n");
    QTest::newRow("upper-case names") << QByteArray("[KESTRELUX]\nENGINE = /bin/e \n");
    QTest::newRow("blanks around header") << QByteArray("  [ Kestrelux ]  \r\nEngine=/bin/e\r\n");
    QTest::newRow("first of two sections")
        << QByteArray("[Kestrelux]\nEngine=/bin/e\n[kestrelux]\nEngine=/bin/other\n");
    QTest::newRow("after comments and others")
        << QByteArray("; settings\n[Other]\nEngine=/no\n\n[Kestrelux]\n;Engine=/no\nEngine=/bin/e");
}

void TestIniFile::readsWithoutRegardToCase()
{
    QFETCH(QByteArray, content);
    writeAll(m_path, content);
    QCOMPARE(ReadIniValue(m_path, "Kestrelux", "Engine"), QStringLiteral("/bin/e"));
}

void TestIniFile::missingGivesDefault_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("createFile");
    QTest::newRow("no file") << QByteArray() << false;
    QTest::newRow("no section") << QByteArray("[Other]\nEngine=/bin/e\n") << true;
    QTest::newRow("no key") << QByteArray("[Kestrelux]\nCommandLine=-x\n") << true;
    QTest::newRow("key in a later section")
        << QByteArray("[Kestrelux]\n[Other]\nEngine=/bin/e\n") << true;
}

void TestIniFile::missingGivesDefault()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, createFile);
    if (createFile)
        writeAll(m_path, content);
    QCOMPARE(ReadIniValue(m_path, "Kestrelux", "Engine", "none"), QStringLiteral("none"));
}

void TestIniFile::writes_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("creates the file") << QByteArray() << QByteArray("[Kestrelux]\nEngine=/x\n");
    QTest::newRow("replaces in place, keeps the rest")
        << QByteArray("; my engines\r\n[KESTRELUX]\r\nENGINE = /old ; x\r\nCommandLine=-a\r\n\r\n"
                      "[Other]\r\nEngine=/keep\r\n")
        << QByteArray("; my engines\r\n[KESTRELUX]\r\nENGINE =/x\r\nCommandLine=-a\r\n\r\n"
                      "[Other]\r\nEngine=/keep\r\n");
    QTest::newRow("adds key at end of section")
        << QByteArray("[Kestrelux]\nCommandLine=-a\n\n[Other]\nk=v\n")
        << QByteArray("[Kestrelux]\nCommandLine=-a\nEngine=/x\n\n[Other]\nk=v\n");
    QTest::newRow("adds key to last line without line end")
        << QByteArray("[Kestrelux]\nCommandLine=-a")
        << QByteArray("[Kestrelux]\nCommandLine=-a\nEngine=/x\n");
    QTest::newRow("adds section at end")
        << QByteArray("[Other]\r\nk=v")
        << QByteArray("[Other]\r\nk=v\r\n[Kestrelux]\r\nEngine=/x\r\n");
}

void TestIniFile::writes()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    if (!before.isEmpty())
        writeAll(m_path, before);
    QString error;
    QVERIFY2(WriteIniValue(m_path, "Kestrelux", "Engine", "/x", &error), qPrintable(error));
    QCOMPARE(readAll(m_path), after);
    QCOMPARE(ReadIniValue(m_path, "Kestrelux", "Engine"), QStringLiteral("/x"));
}

void TestIniFile::refusesLineBreaks()
{
    writeAll(m_path, "[Kestrelux]\nEngine=/old\n");
    QString error;
    QVERIFY(!WriteIniValue(m_path, "Kestrelux", "Engine", "/x\n[Evil]", &error));
    QVERIFY(error.contains(m_path));
    QCOMPARE(readAll(m_path), QByteArray("[Kestrelux]\nEngine=/old\n"));
}

void TestIniFile::unwritablePathFails()
{
    // A folder that cannot exist: its parent is a regular file.
    const QString blocker = m_dir->filePath(QStringLiteral("plain"));
    writeAll(blocker, "not a folder");
    const QString path = blocker + QStringLiteral("/Kestrelux.ini");
    QString error;
    QVERIFY(!WriteIniValue(path, "Kestrelux", "Engine", "/x", &error));
    QVERIFY2(error.contains(path), qPrintable(error));
    QCOMPARE(readAll(blocker), QByteArray("not a folder"));
}

void TestIniFile::failedWriteKeepsOldFile()
{
    const QByteArray old("[Kestrelux]\nEngine=/old\n");
    writeAll(m_path, old);
    const QString longValue(4096, u'v');
    QString error;
    bool written = true;
    {
        const FileSizeLimit limit(256);
        written = WriteIniValue(m_path, "Kestrelux", "Engine", longValue, &error);
    }
    QVERIFY(!written);
    QVERIFY2(error.contains(m_path), qPrintable(error));
    QCOMPARE(readAll(m_path), old);
    // No half-written temporary file is left beside it.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"Kestrelux.ini"});
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
