// The program as a user gets it: installed with cmake --install into a
// temporary DESTDIR, then run from there with a temporary home. The window
// cases open the installed folders in this process, so a case that drives
// the window further (a button, a dialog) is one more function here.

#include "IniFile.h"
#include "KestreluxTestAccess.h"
#include "SuiteFile.h"
#include "TrainerFixture.h"

#include <QComboBox>
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
constexpr int kProcessTimeoutMs = 120000;

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// A main window on the installed program folder with a data folder of its own.
struct InstalledWindow
{
    QTemporaryDir data;
    QStringList messages;
    std::unique_ptr<frmKestrelux> window;

    frmKestrelux& open(const QString& programFolder)
    {
        window = std::make_unique<frmKestrelux>(programFolder, data.path());
        window->setMessageHandler([this](const QString& text) { messages.append(text); });
        return *window;
    }
};

} // namespace

class TestInstalled : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installsEveryFile_data();
    void installsEveryFile();
    void commandLine_data();
    void commandLine();
    void firstStartMakesTheUsersSettings();
    void startsOnTheShippedSuites_data();
    void startsOnTheShippedSuites();
    void findsSuitesInTheDataFolder_data();
    void findsSuitesInTheDataFolder();
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
    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DESTDIR"), m_root.path());
    install.setProcessEnvironment(env);
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(KX_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(KX_BUILD_DIR),
                   QStringLiteral("--prefix"), QStringLiteral("/usr")});
    QVERIFY(install.waitForFinished(kProcessTimeoutMs));
    QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
             install.readAll().constData());
}

void TestInstalled::installsEveryFile_data()
{
    QTest::addColumn<QString>("path");   // under the prefix
    QTest::addColumn<QString>("source"); // its source, kept byte for byte; empty when made
    const QString src = QStringLiteral(KX_SOURCE_DIR "/");
    const QString dist = src + QStringLiteral("dist/") + kAppId;
    for (const char* suite : {"WAC.EPD", "WCSAC.EPD", "KESTREL.EPD"})
        QTest::newRow(suite) << QStringLiteral("share/kestrelux/") + QLatin1String(suite)
                             << src + QStringLiteral("trainer/suites/") + QLatin1String(suite);
    QTest::newRow("default settings")
        << "share/kestrelux/Kestrelux.ini" << src + QStringLiteral("trainer/Kestrelux.ini");
    QTest::newRow("menu entry") << "share/applications/" + kAppId + ".desktop" << dist + ".desktop";
    QTest::newRow("metainfo") << "share/metainfo/" + kAppId + ".metainfo.xml"
                              << dist + ".metainfo.xml";
    QTest::newRow("icon") << "share/icons/hicolor/scalable/apps/" + kAppId + ".svg"
                          << dist + ".svg";
    QTest::newRow("64 px icon") << "share/icons/hicolor/64x64/apps/" + kAppId + ".png" << QString();
    QTest::newRow("manual page") << "share/man/man6/kestrelux.6.gz" << QString();
    QTest::newRow("copyright") << "share/doc/kestrelux/copyright"
                               << src + QStringLiteral("dist/copyright");
}

void TestInstalled::installsEveryFile()
{
    QFETCH(QString, path);
    QFETCH(QString, source);
    QVERIFY2(QFileInfo(installed(path)).isFile(), qPrintable(path));
    if (!source.isEmpty())
        QVERIFY(contents(installed(path)) == contents(source));
    if (path.endsWith(QLatin1String(".png")))
        QCOMPARE(QImage(installed(path)).size(), QSize(64, 64));
}

void TestInstalled::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // what stdout starts with
    QTest::addColumn<QString>("err"); // what stderr holds
    const QString help = QStringLiteral("Usage: kestrelux");
    QTest::newRow("version") << QStringList{"--version"} << 0
                             << QStringLiteral("kestrelux " KX_VERSION "\n") << QString();
    QTest::newRow("help") << QStringList{"--help"} << 0 << help << QString();
    QTest::newRow("help wins over version")
        << QStringList{"--version", "-h"} << 0 << help << QString();
    QTest::newRow("unknown option")
        << QStringList{"--fullscreen"} << 2 << QString() << "'--fullscreen'\n" + help;
    QTest::newRow("a file name") << QStringList{"WAC.EPD"} << 2 << QString() << "'WAC.EPD'";
    QTest::newRow("help with an unknown option")
        << QStringList{"--help", "-x"} << 2 << QString() << "'-x'";
}

// Answered without a display, and the program finds its own libraries.
void TestInstalled::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LD_LIBRARY_PATH"})
        env.remove(QLatin1String(name));
    program.setProcessEnvironment(env);
    program.start(installed(QStringLiteral("bin/kestrelux")), arguments);
    QVERIFY(program.waitForFinished(kProcessTimeoutMs));
    const QString printed = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString complaint = QString::fromLocal8Bit(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QTEST(program.exitCode(), "exitCode");
    QVERIFY2(out.isEmpty() ? printed.isEmpty() : printed.startsWith(out), qPrintable(printed));
    QVERIFY2(err.isEmpty() ? complaint.isEmpty() : complaint.contains(err), qPrintable(complaint));
}

// The installed program itself, started on a display of its own with a fresh
// home: it makes the user's settings file from the shipped default.
void TestInstalled::firstStartMakesTheUsersSettings()
{
    QTemporaryDir home;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"KESTRELUX_HOME", "XDG_DATA_HOME", "LD_LIBRARY_PATH"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(installed(QStringLiteral("bin/kestrelux")), {});
    const auto stop = qScopeGuard([&] {
        program.kill();
        program.waitForFinished(kProcessTimeoutMs);
    });

    const QString settings = home.filePath(QStringLiteral(".local/share/pomvel/kestrelux/") +
                                           QLatin1String(kx::kSettingsFileName));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(settings) || program.state() == QProcess::NotRunning,
                             kProcessTimeoutMs);
    QVERIFY2(QFile::exists(settings), program.readAllStandardError().constData());
    QCOMPARE(contents(settings),
             contents(installed(QStringLiteral("share/kestrelux/Kestrelux.ini"))));
    QVERIFY(!QFile::exists(installed(QStringLiteral("bin/Kestrelux.ini"))));
    QCOMPARE(program.state(), QProcess::Running); // started, not failed
}

void TestInstalled::startsOnTheShippedSuites_data()
{
    QTest::addColumn<QString>("suite");
    QTest::addColumn<int>("size");
    QTest::newRow("Win At Chess") << "WAC.EPD" << 300;
    QTest::newRow("Winning Chess Sacrifices and Combinations") << "WCSAC.EPD" << 1001;
    QTest::newRow("our own") << "KESTREL.EPD"
                             << int(kx::CountSuiteLines(KX_SOURCE_DIR
                                                        "/trainer/suites/KESTREL.EPD"));
}

void TestInstalled::startsOnTheShippedSuites()
{
    QFETCH(QString, suite);
    InstalledWindow fx;
    frmKestrelux& w = fx.open(installed(QStringLiteral("bin")));
    KestreluxTestAccess a(w);
    auto* suites = a.element<QComboBox>("cmbEPDFile");
    QCOMPARE(suites->currentText(), QStringLiteral("WAC.EPD"));
    QVERIFY(suites->findText(suite) >= 0);

    suites->setEditText(suite);
    w.cmbEPDFile_Click();
    QTEST(int(a.suiteSize()), "size");
    a.element<QPushButton>("cmdNew")->click();
    QVERIFY2(fx.messages.isEmpty(), qPrintable(fx.messages.join(u'\n')));
    QVERIFY(a.currentPosition() >= 1);
}

void TestInstalled::findsSuitesInTheDataFolder_data()
{
    QTest::addColumn<QString>("suite");
    QTest::newRow("a suite of the user's") << "mine.epd";
    QTest::newRow("the user's copy of a shipped suite") << "WAC.EPD";
}

// A user adds a suite by copying it into the data folder, no root needed.
void TestInstalled::findsSuitesInTheDataFolder()
{
    QFETCH(QString, suite);
    InstalledWindow fx;
    TrainerFixture::writeFile(fx.data.filePath(suite),
                              "4k3/8/8/8/8/8/4P3/4K3 w - - bm e4; id \"mine.1\";\r\n"
                              "4k3/8/8/8/8/8/3P4/4K3 w - - bm d4; id \"mine.2\";\r\n");
    frmKestrelux& w = fx.open(installed(QStringLiteral("bin")));
    KestreluxTestAccess a(w);
    auto* suites = a.element<QComboBox>("cmbEPDFile");
    int listed = 0;
    for (int i = 0; i < suites->count(); ++i)
        listed += suites->itemText(i) == suite ? 1 : 0;
    QCOMPARE(listed, 1);

    suites->setEditText(suite);
    w.cmbEPDFile_Click();
    QCOMPARE(a.suiteSize(), qint16(2));
    QVERIFY(w.ShowPosition(2));
    QVERIFY2(a.element<QLineEdit>("txtFen")->text().contains(QLatin1String("mine.2")),
             qPrintable(a.element<QLineEdit>("txtFen")->text()));
}

void TestInstalled::settingsFile_data()
{
    QTest::addColumn<QByteArray>("besideProgram"); // Kestrelux.ini in the bin folder; null: none
    QTest::addColumn<bool>("readOnly");            // the bin folder cannot be written
    QTest::addColumn<bool>("inDataFolder");
    QTest::addColumn<QString>("engine");
    const QString shippedEngine =
        kx::ReadIniValue(installed(QStringLiteral("share/kestrelux/Kestrelux.ini")),
                         QLatin1String(kx::kSettingsSection), QLatin1String(kx::kEngineKey));
    const QByteArray own = "[Kestrelux]\nEngine=/opt/engines/own\n";
    QTest::newRow("none beside the program") << QByteArray() << false << true << shippedEngine;
    QTest::newRow("read-only beside the program") << own << true << true << "/opt/engines/own";
    QTest::newRow("writable beside the program") << own << false << false << "/opt/engines/own";
}

// Where the window reads (and Set Eng writes) its settings.
void TestInstalled::settingsFile()
{
    QFETCH(QByteArray, besideProgram);
    QFETCH(bool, readOnly);
    QFETCH(bool, inDataFolder);
    if (readOnly && geteuid() == 0)
        QSKIP("root may write into read-only folders, so the folder cannot be made read-only");
    const QString bin = installed(QStringLiteral("bin"));
    const QString beside = QDir(bin).filePath(QLatin1String(kx::kSettingsFileName));
    const QFileDevice::Permissions permissions = QFile::permissions(bin);
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(bin, permissions);
        QFile::remove(beside);
    });
    if (!besideProgram.isNull())
        TrainerFixture::writeFile(beside, besideProgram);
    if (readOnly)
        QVERIFY(QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    InstalledWindow fx;
    frmKestrelux& w = fx.open(bin);
    KestreluxTestAccess a(w);
    const QString expected =
        QDir(inDataFolder ? fx.data.path() : bin).filePath(QLatin1String(kx::kSettingsFileName));
    QCOMPARE(a.settingsFile(), expected);
    QVERIFY(QFile::exists(expected));
    QTEST(a.LastEngine(), "engine");
    QCOMPARE(QFile::exists(fx.data.filePath(QLatin1String(kx::kSettingsFileName))), inDataFolder);
}

void TestInstalled::validatorsAcceptTheMenuFiles_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");
    const QString root = m_root.path();
    QTest::newRow("desktop entry")
        << "desktop-file-validate"
        << QStringList{installed("share/applications/" + kAppId + ".desktop")};
    QTest::newRow("metainfo") << "appstreamcli"
                              << QStringList{
                                     "validate", "--no-net",
                                     installed("share/metainfo/" + kAppId + ".metainfo.xml")};
    QTest::newRow("metainfo with its desktop entry and icon")
        << "appstreamcli" << QStringList{"validate-tree", "--no-net", root};
}

void TestInstalled::validatorsAcceptTheMenuFiles()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        QSKIP(qPrintable(tool +
                         QStringLiteral(" is not installed (Debian packages desktop-file-utils, "
                                        "appstream); the check is skipped")));
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(program, arguments);
    QVERIFY(check.waitForFinished(kProcessTimeoutMs));
    const QByteArray said = check.readAll();
    QVERIFY2(check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0, said.constData());
}

QTEST_MAIN(TestInstalled)
#include "tst_installed.moc"
