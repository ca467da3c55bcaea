// Where the settings file lives, and how the data folder's copy is first made.

#include "Paths.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace kx;

class TestPaths : public QObject
{
    Q_OBJECT

private slots:
    void chooseSettings_data();
    void chooseSettings();
    void settingsFollowTheFilesPresent();
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

// An installed layout on disk: a bin folder without settings, the shipped
// default beside it, and a data folder not made yet.
void TestPaths::settingsFollowTheFilesPresent()
{
    QTemporaryDir root;
    const QString program = root.filePath(QStringLiteral("bin"));
    const QString data = root.filePath(QStringLiteral("home/data"));
    const QString dataFile = data + QStringLiteral("/Kestrelux.ini");
    QVERIFY(QDir().mkpath(program) && QDir().mkpath(ShippedFolder(program)));
    writeAll(ShippedFolder(program) + QStringLiteral("/Kestrelux.ini"), "[K]\nEngine=dflt\n");

    QCOMPARE(SettingsFile(program, data), dataFile);
    QVERIFY(SeedSettingsFile(program, data));
    QCOMPARE(readAll(dataFile), QByteArray("[K]\nEngine=dflt\n"));
    writeAll(dataFile, "[K]\nEngine=mine\n");
    QVERIFY(SeedSettingsFile(program, data));
    QCOMPARE(readAll(dataFile), QByteArray("[K]\nEngine=mine\n")); // never replaced

    writeAll(program + QStringLiteral("/Kestrelux.ini"), "[K]\nEngine=beside\n");
    QCOMPARE(SettingsFile(program, data), program + QStringLiteral("/Kestrelux.ini"));
}

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
