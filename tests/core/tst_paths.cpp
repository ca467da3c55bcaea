// Where the settings file lives, and what the data folder's copy is first made from.

#include "Paths.h"

#include <QTest>

using namespace kx;

class TestPaths : public QObject
{
    Q_OBJECT

private slots:
    void chooseSettings_data();
    void chooseSettings();
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

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
