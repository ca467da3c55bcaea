// The program as a user gets it: installed with cmake --install into a
// temporary DESTDIR, then run from there with a temporary home. The window
// cases open the installed folders in this process, so a case that drives the
// window further (a button, a dialog) is one more row or function here.

#include "IniFile.h"
#include "KestreluxTestAccess.h"
#include "TrainerFixture.h"

#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>

#include <unistd.h>

namespace {

const QString kAppId = QStringLiteral("org.pomvel.kestrelux");
constexpr int kTimeoutMs = 120000;

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

QProcessEnvironment environmentWithout(std::initializer_list<const char*> names)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : names)
        env.remove(QLatin1String(name));
    return env;
}

} // namespace

class TestInstalled : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installsItsFiles();
    void commandLine_data();
    void commandLine();
    void firstStartMakesTheUsersSettings();
    void suites_data();
    void suites();
    void settingsFile_data();
    void settingsFile();
    void validatorsAcceptTheMenuFiles_data();
    void validatorsAcceptTheMenuFiles();

private:
    QString installed(const QString& relative) const
    {
        return m_root.filePath(QStringLiteral("usr/") + relative);
    }

    QTemporaryDir m_root;
};

void TestInstalled::initTestCase()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DESTDIR"), m_root.path());
    QProcess install;
    install.setProcessEnvironment(env);
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(KX_CMAKE_COMMAND),
                  {"--install", KX_BUILD_DIR, "--prefix", "/usr"});
    QVERIFY(install.waitForFinished(kTimeoutMs));
    QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
             install.readAll().constData());
}

// The suites byte for byte (line ends included), and the icon rendered.
void TestInstalled::installsItsFiles()
{
    for (const char* suite : {"WAC.EPD", "WCSAC.EPD", "KESTREL.EPD"})
        QVERIFY2(
            contents(installed(QStringLiteral("share/kestrelux/") + QLatin1String(suite))) ==
                contents(QStringLiteral(KX_SOURCE_DIR "/trainer/suites/") + QLatin1String(suite)),
            suite);
    QCOMPARE(QImage(installed("share/icons/hicolor/64x64/apps/" + kAppId + ".png")).size(),
             QSize(64, 64));
}

void TestInstalled::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // what stdout starts with
    QTest::addColumn<QString>("err"); // what stderr holds
    const QString version = QStringLiteral("kestrelux " KX_VERSION "\n");
    QTest::newRow("version") << QStringList{"--version"} << 0 << version << QString();
    QTest::newRow("help wins over version")
        << QStringList{"--version", "-h"} << 0 << QStringLiteral("Usage: kestrelux") << QString();
    QTest::newRow("anything else") << QStringList{"--help", "WAC.EPD"} << 2 << QString()
                                   << QStringLiteral("'WAC.EPD'\nUsage: kestrelux");
    QTest::newRow("toolkit options pass")
        << QStringList{"-session", "1a2b", "--style", "Fusion", "-reverse", "--version"} << 0
        << version << QString();
    QTest::newRow("toolkit option without its value")
        << QStringList{"-style"} << 2 << QString() << QStringLiteral("'-style'\nUsage");
}

// Answered without a display, the program finding its own libraries.
void TestInstalled::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess program;
    program.setProcessEnvironment(
        environmentWithout({"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LD_LIBRARY_PATH"}));
    program.start(installed(QStringLiteral("bin/kestrelux")), arguments);
    QVERIFY(program.waitForFinished(kTimeoutMs));
    const QString printed = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString complaint = QString::fromLocal8Bit(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QTEST(program.exitCode(), "exitCode");
    QVERIFY2(out.isEmpty() ? printed.isEmpty() : printed.startsWith(out), qPrintable(printed));
    QVERIFY2(err.isEmpty() ? complaint.isEmpty() : complaint.contains(err), qPrintable(complaint));
}

// The installed program itself, on a display of its own with a fresh home:
// it makes the user's settings file from the shipped default.
void TestInstalled::firstStartMakesTheUsersSettings()
{
    QTemporaryDir home;
    QProcessEnvironment env = environmentWithout({"KESTRELUX_HOME", "XDG_DATA_HOME"});
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(installed(QStringLiteral("bin/kestrelux")), {});
    const auto stop = qScopeGuard([&] {
        program.kill();
        program.waitForFinished(kTimeoutMs);
    });
    const QString settings = home.filePath(".local/share/pomvel/kestrelux/Kestrelux.ini");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(settings) || program.state() == QProcess::NotRunning,
                             kTimeoutMs);
    QVERIFY2(program.state() == QProcess::Running, program.readAllStandardError().constData());
    QCOMPARE(contents(settings), contents(installed("share/kestrelux/Kestrelux.ini")));
    QVERIFY(!QFile::exists(installed("bin/Kestrelux.ini")));
}

void TestInstalled::suites_data()
{
    QTest::addColumn<QString>("suite");
    QTest::addColumn<QByteArray>("usersCopy"); // put in the data folder; null: none
    QTest::addColumn<int>("size");
    const QByteArray own = "4k3/8/8/8/8/8/4P3/4K3 w - - bm e4; id \"own.1\";\r\n"
                           "4k3/8/8/8/8/8/3P4/4K3 w - - bm d4; id \"own.2\";\r\n";
    QTest::newRow("Win At Chess") << "WAC.EPD" << QByteArray() << 300;
    QTest::newRow("Winning Chess Sacrifices and Combinations")
        << "WCSAC.EPD" << QByteArray() << 1001;
    QTest::newRow("a suite the user added") << "own.epd" << own << 2;
    QTest::newRow("the user's copy of a shipped suite") << "WAC.EPD" << own << 2;
}

// A fresh start opens on WAC.EPD; every suite is listed once and a session
// starts on it. A user adds a suite by copying it into the data folder.
void TestInstalled::suites()
{
    QFETCH(QString, suite);
    QFETCH(QByteArray, usersCopy);
    TrainerFixture fx;
    if (!usersCopy.isNull())
        fx.writeFile(fx.dataFile(suite), usersCopy);
    fx.open(installed(QStringLiteral("bin")));
    KestreluxTestAccess& a = *fx.access;
    auto* suites = a.element<QComboBox>("cmbEPDFile");
    QCOMPARE(suites->currentText(), QStringLiteral("WAC.EPD"));
    QStringList listed;
    for (int i = 0; i < suites->count(); ++i)
        listed << suites->itemText(i);
    QCOMPARE(listed.count(suite), 1);

    suites->setEditText(suite);
    a.w.cmbEPDFile_Click();
    QTEST(a.w.suiteSize(), "size");
    a.click("cmdNew");
    QVERIFY2(fx.messages.isEmpty(), qPrintable(fx.messages.join(u'\n')));
    QCOMPARE(a.text("txtFen").contains(QLatin1String("\"own.")), !usersCopy.isNull());
}

void TestInstalled::settingsFile_data()
{
    QTest::addColumn<QByteArray>("besideProgram"); // Kestrelux.ini in the bin folder; null: none
    QTest::addColumn<bool>("readOnly");            // the bin folder cannot be written
    QTest::addColumn<QByteArray>("usersOwn");      // already in the data folder; null: none
    QTest::addColumn<bool>("inDataFolder");
    QTest::addColumn<QString>("engine");
    const QString shipped = kx::ReadIniValue(installed("share/kestrelux/Kestrelux.ini"),
                                             QStringLiteral("Kestrelux"), QStringLiteral("Engine"));
    const QByteArray beside = "[Kestrelux]\nEngine=/opt/beside\n";
    const QByteArray own = "[Kestrelux]\nEngine=/opt/own\n";
    QTest::newRow("first start") << QByteArray() << false << QByteArray() << true << shipped;
    QTest::newRow("the user's own, kept") << QByteArray() << false << own << true << "/opt/own";
    QTest::newRow("read-only beside the program")
        << beside << true << QByteArray() << true << "/opt/beside";
    QTest::newRow("writable beside the program")
        << beside << false << own << false << "/opt/beside";
}

// Where the window reads (and Set Eng writes) its settings.
void TestInstalled::settingsFile()
{
    QFETCH(QByteArray, besideProgram);
    QFETCH(bool, readOnly);
    QFETCH(QByteArray, usersOwn);
    QFETCH(bool, inDataFolder);
    if (readOnly && geteuid() == 0)
        QSKIP("root may write into read-only folders, so this one cannot be made read-only");
    const QString bin = installed(QStringLiteral("bin"));
    const QString beside = bin + QStringLiteral("/Kestrelux.ini");
    const QFileDevice::Permissions permissions = QFile::permissions(bin);
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(bin, permissions);
        QFile::remove(beside);
    });
    if (!besideProgram.isNull())
        TrainerFixture::writeFile(beside, besideProgram);
    if (readOnly)
        QVERIFY(QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    TrainerFixture fx;
    const QString inData = fx.dataFile(QStringLiteral("Kestrelux.ini"));
    if (!usersOwn.isNull())
        fx.writeFile(inData, usersOwn);
    fx.open(bin);
    KestreluxTestAccess& a = *fx.access;
    const QString settings = kx::SettingsFile(bin, fx.dataDir.path());
    QCOMPARE(settings, inDataFolder ? inData : beside);
    QCOMPARE(QFile::exists(inData), inDataFolder || !usersOwn.isNull());
    QTEST(a.engineShown().section(u'|', 0, 0), "engine");

    // Set Eng writes where the settings were read, never beside a read-only program.
    const QByteArray besideBefore = contents(beside);
    fx.window->setDialogRunner([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("txtEngine")->setText("/opt/chosen");
        dialog.findChild<QPushButton*>("cmdOK")->click();
        return dialog.result();
    });
    a.click("cmdSetEngine");
    QVERIFY2(fx.messages.isEmpty(), qPrintable(fx.messages.join(u'\n')));
    QCOMPARE(kx::ReadIniValue(settings, "Kestrelux", "Engine"), "/opt/chosen");
    if (inDataFolder)
        QCOMPARE(contents(beside), besideBefore);
}

void TestInstalled::validatorsAcceptTheMenuFiles_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::newRow("desktop entry") << QStringList{
        "desktop-file-validate", installed("share/applications/" + kAppId + ".desktop")};
    QTest::newRow("metainfo") << QStringList{
        "appstreamcli", "validate", "--no-net",
        installed("share/metainfo/" + kAppId + ".metainfo.xml")};
    QTest::newRow("metainfo with its desktop entry and icon")
        << QStringList{"appstreamcli", "validate-tree", "--no-net", m_root.path()};
}

void TestInstalled::validatorsAcceptTheMenuFiles()
{
    QFETCH(QStringList, command);
    const QString tool = QStandardPaths::findExecutable(command.takeFirst());
    if (tool.isEmpty())
        QSKIP("desktop-file-validate or appstreamcli is missing (Debian packages "
              "desktop-file-utils, appstream)");
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(tool, command);
    QVERIFY(check.waitForFinished(kTimeoutMs));
    QVERIFY2(check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0,
             check.readAll().constData());
}

QTEST_MAIN(TestInstalled)
#include "tst_installed.moc"
