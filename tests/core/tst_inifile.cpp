#include "EngineSettings.h"
#include "FileSizeLimit.h"
#include "IniFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace kx;

// The settings file: reading, writing in place, and failing safely.
class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void init() { QFile::remove(m_path); }
    void awkwardValuesRoundTrip_data();
    void awkwardValuesRoundTrip();
    void reads_data();
    void reads();
    void writes_data();
    void writes();
    void namesWithOuterBlanks();
    void failureKeepsOldFile_data();
    void failureKeepsOldFile();
    void engineSettings_data();
    void engineSettings();

private:
    QTemporaryDir m_dir;
    const QString m_path = m_dir.filePath(QStringLiteral("Kestrelux.ini"));
};

// Values an INI reader with escapes and lists would change.
void TestIniFile::awkwardValuesRoundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("quotes, commas, backslashes") << "\"C:\\Engines\\x.exe\" -a,b";
    QTest::newRow("equals signs") << "-opt=a=b";
    QTest::newRow("semicolon") << "; not a comment";
    QTest::newRow("brackets") << "[Kestrelux]";
    QTest::newRow("blanks around") << "  /usr/games/stockfish  ";
    QTest::newRow("non-ASCII path") << "/home/zoë/moteur";
    QTest::newRow("empty") << "";
}

void TestIniFile::awkwardValuesRoundTrip()
{
    QFETCH(QString, value);
    QVERIFY(WriteIniValue(m_path, "Kestrelux", "CommandLine", value));
    // Only the blanks around a value are lost on reading.
    QCOMPARE(ReadIniValue(m_path, "Kestrelux", "CommandLine", "default"), value.trimmed());
}

void TestIniFile::reads_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* content, const char* expected) {
        QTest::newRow(name) << QByteArray(content) << QString(expected);
    };
    row("other case, blanks around", "  [ KESTRELUX ]  \r\nENGINE = /bin/e \r\n", "/bin/e");
    row("first of two sections", "[Kestrelux]\nEngine=/bin/e\n[kestrelux]\nEngine=/no\n", "/bin/e");
    row("after comments and others", "[Other]\nEngine=/no\n[Kestrelux]\n;Engine=/no\nEngine=/bin/e",
        "/bin/e");
    row("no file", "", "none");
    row("no section", "[Other]\nEngine=/bin/e\n", "none");
    row("no key", "[Kestrelux]\nCommandLine=-x\n", "none");
    row("key in a later section", "[Kestrelux]\n[Other]\nEngine=/bin/e\n", "none");
    row("CR-only line ends", "[Other]\rEngine=/no\r[Kestrelux]\rEngine=/bin/e\r", "/bin/e");
}

void TestIniFile::reads()
{
    QFETCH(QByteArray, content);
    if (!content.isEmpty())
        writeAll(m_path, content);
    QTEST(ReadIniValue(m_path, "Kestrelux", "Engine", "none"), "expected");
}

void TestIniFile::writes_data()
{
    QTest::addColumn<QByteArray>("before"); // empty: no file
    QTest::addColumn<QByteArray>("after");
    const auto row = [](const char* name, const char* before, const char* after) {
        QTest::newRow(name) << QByteArray(before) << QByteArray(after);
    };
    row("creates the file", "", "[Kestrelux]\nEngine=/x\n");
    row("replaces in place, keeps the rest",
        "; my engines\r\n[KESTRELUX]\r\nENGINE = /old ; x\r\n"
        "CommandLine=-a\r\n\r\n[Other]\r\nEngine=/keep\r\n",
        "; my engines\r\n[KESTRELUX]\r\nENGINE =/x\r\n"
        "CommandLine=-a\r\n\r\n[Other]\r\nEngine=/keep\r\n");
    row("adds key at end of section", "[Kestrelux]\nCommandLine=-a\n\n[Other]\nk=v\n",
        "[Kestrelux]\nCommandLine=-a\nEngine=/x\n\n[Other]\nk=v\n");
    row("adds key to last line without line end", "[Kestrelux]\nCommandLine=-a",
        "[Kestrelux]\nCommandLine=-a\nEngine=/x\n");
    row("adds section at end", "[Other]\r\nk=v", "[Other]\r\nk=v\r\n[Kestrelux]\r\nEngine=/x\r\n");
    row("CR-only file", "[Kestrelux]\rEngine=/old\r[Other]\rk=v",
        "[Kestrelux]\rEngine=/x\r[Other]\rk=v");
    row("adds key to a CR-only file", "[Kestrelux]\rA=1", "[Kestrelux]\rA=1\rEngine=/x\r");
}

void TestIniFile::writes()
{
    QFETCH(QByteArray, before);
    if (!before.isEmpty())
        writeAll(m_path, before);
    const Result<> written = WriteIniValue(m_path, "Kestrelux", "Engine", "/x");
    QVERIFY2(written, qPrintable(written.error()));
    QTEST(readAll(m_path), "after");
}

// A name is stored without its outer blanks, and found again with or without them.
void TestIniFile::namesWithOuterBlanks()
{
    writeAll(m_path, "[Kestrelux]\nEngine=/old\n");
    for (const char* value : {"/a", "/b"}) {
        QVERIFY(WriteIniValue(m_path, " Kestrelux\t", " Engine ", value));
        QVERIFY(WriteIniValue(m_path, " Other ", " Depth", value));
    }
    QCOMPARE(readAll(m_path), QByteArray("[Kestrelux]\nEngine=/b\n[Other]\nDepth=/b\n"));
    QCOMPARE(ReadIniValue(m_path, " Kestrelux ", " Engine"), QStringLiteral("/b"));
    QCOMPARE(ReadIniValue(m_path, "Other", "Depth "), QStringLiteral("/b"));
}

void TestIniFile::failureKeepsOldFile_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("sizeLimit"); // bytes a file may grow to
    QTest::newRow("line break in value") << "/x\n[Evil]" << (1 << 20);
    QTest::newRow("write cut short, as on a full disk") << QString(4096, u'v') << 256;
}

void TestIniFile::failureKeepsOldFile()
{
    QFETCH(QString, value);
    QFETCH(int, sizeLimit);
    const QByteArray old("[Kestrelux]\nEngine=/old\n");
    writeAll(m_path, old);
    Result<> written;
    {
        const FileSizeLimit limit(static_cast<rlim_t>(sizeLimit));
        written = WriteIniValue(m_path, "Kestrelux", "Engine", value);
    }
    QVERIFY(!written);
    QVERIFY2(written.error().contains(m_path), qPrintable(written.error()));
    QCOMPARE(readAll(m_path), old);
    // No half-written temporary file is left beside it.
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"Kestrelux.ini"});
}

// The engine's three keys: a file from before the protocol choice means Auto,
// and writing them keeps every other line.
void TestIniFile::engineSettings_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("protocol"); // as read
    const auto row = [](const char* name, const char* before, EngineProtocol protocol) {
        QTest::newRow(name) << QByteArray(before) << int(protocol);
    };
    row("no Protocol key", "[Kestrelux]\r\nEngine=/e\r\nCommandLine=-x\r\n", EngineProtocol::Auto);
    row("uci in lower case, blanks around", "; mine\n[Kestrelux]\nProtocol =  uci \n[Other]\nk=v\n",
        EngineProtocol::Uci);
    row("xboard", "[Kestrelux]\nPROTOCOL=XBoard\n", EngineProtocol::Xboard);
    row("a word it does not know", "[Kestrelux]\nProtocol=winboard\n", EngineProtocol::Auto);
}

void TestIniFile::engineSettings()
{
    QFETCH(QByteArray, before);
    QFETCH(int, protocol);
    writeAll(m_path, before);
    EngineSettings settings = EngineSettings::Read(m_path);
    QCOMPARE(int(settings.protocol), protocol);

    const QString other = ReadIniValue(m_path, "Other", "k");
    settings = {"/usr/games/my engine", "-a \"b c\"", EngineProtocol::Uci};
    QVERIFY(settings.Write(m_path));
    const EngineSettings back = EngineSettings::Read(m_path);
    QCOMPARE((QStringList{back.program, back.arguments, ProtocolName(back.protocol)}),
             (QStringList{"/usr/games/my engine", "-a \"b c\"", "UCI"}));
    QCOMPARE(ReadIniValue(m_path, "Other", "k"), other);
    QCOMPARE(readAll(m_path).startsWith("; mine\n"), before.startsWith("; mine\n"));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
