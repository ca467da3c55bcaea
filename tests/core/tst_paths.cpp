// Where the settings file lives, and how the data folder's copy is first made.

#include "Paths.h"
#include "TestFiles.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace kx;

class TestPaths : public QObject
{
    Q_OBJECT

private slots:
    void chooseSettings_data();
    void chooseSettings();
    void settingsFollowTheFilesPresent();
    void readOnlyProgramFolderSeedsTheDataFolder();
    void seedingFailsWhenTheDataFolderCannotBeMade();
};

void TestPaths::chooseSettings_data()
{
    QTest::addColumn<bool>("programHasFile");
    QTest::addColumn<bool>("programWritable");
    QTest::addColumn<bool>("dataHasFile");
    QTest::addColumn<bool>("shippedDefault");
    QTest::addColumn<bool>("inDataFolder");
    QTest::addColumn<SettingsSeed>("seed");
    using S = SettingsSeed;
    QTest::newRow("build folder") << true << true << false << true << false << S::None;
    QTest::newRow("build folder, data copy ignored")
        << true << true << true << true << false << S::None;
    QTest::newRow("installed, first start")
        << false << false << false << true << true << S::ShippedDefault;
    QTest::newRow("installed, later starts") << false << false << true << true << true << S::None;
    QTest::newRow("read-only program file, first start")
        << true << false << false << true << true << S::ProgramFile;
    QTest::newRow("read-only program file, copy made")
        << true << false << true << true << true << S::None;
    QTest::newRow("nothing shipped") << false << false << false << false << true << S::None;
}

void TestPaths::chooseSettings()
{
    QFETCH(bool, programHasFile);
    QFETCH(bool, programWritable);
    QFETCH(bool, dataHasFile);
    QFETCH(bool, shippedDefault);
    const SettingsChoice choice =
        ChooseSettings({programHasFile, programWritable, dataHasFile, shippedDefault});
    QTEST(choice.inDataFolder, "inDataFolder");
    QTEST(choice.seed, "seed");
}

namespace {

// An installed layout on disk: a bin folder without settings, the shipped
// default beside it, and a data folder not made yet.
struct Layout
{
    QTemporaryDir root;
    QString program = root.filePath(QStringLiteral("bin"));
    QString data = root.filePath(QStringLiteral("home/data"));
    QString programFile = QDir(program).filePath(QStringLiteral("Kestrelux.ini"));
    QString dataFile = QDir(data).filePath(QStringLiteral("Kestrelux.ini"));

    Layout()
    {
        QDir().mkpath(program);
        QDir().mkpath(ShippedFolder(program));
        writeAll(QDir(ShippedFolder(program)).filePath(QStringLiteral("Kestrelux.ini")),
                 "[Kestrelux]\nEngine=dflt\n");
    }
};

} // namespace

void TestPaths::settingsFollowTheFilesPresent()
{
    Layout at;
    QCOMPARE(SettingsFile(at.program, at.data), at.dataFile);
    QVERIFY(SeedSettingsFile(at.program, at.data));
    QCOMPARE(readAll(at.dataFile), QByteArray("[Kestrelux]\nEngine=dflt\n"));

    writeAll(at.dataFile, "[Kestrelux]\nEngine=mine\n");
    QVERIFY(SeedSettingsFile(at.program, at.data));
    QCOMPARE(readAll(at.dataFile), QByteArray("[Kestrelux]\nEngine=mine\n")); // never replaced

    writeAll(at.programFile, "[Kestrelux]\nEngine=beside\n");
    QCOMPARE(SettingsFile(at.program, at.data), at.programFile);
}

void TestPaths::readOnlyProgramFolderSeedsTheDataFolder()
{
    if (geteuid() == 0)
        QSKIP("root may write into read-only folders; the choice itself is tested above");
    Layout at;
    writeAll(at.programFile, "[Kestrelux]\nEngine=beside\n");
    QVERIFY(QFile::setPermissions(at.program, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(at.program, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
    });
    QCOMPARE(SettingsFile(at.program, at.data), at.dataFile);
    QVERIFY(SeedSettingsFile(at.program, at.data));
    QCOMPARE(readAll(at.dataFile), QByteArray("[Kestrelux]\nEngine=beside\n"));
}

void TestPaths::seedingFailsWhenTheDataFolderCannotBeMade()
{
    Layout at;
    const QString blocker = at.root.filePath(QStringLiteral("file"));
    writeAll(blocker, "not a folder");
    QString error;
    QVERIFY(!SeedSettingsFile(at.program, blocker + QStringLiteral("/data"), &error));
    QVERIFY2(error.contains(blocker), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
