// The engine settings dialog and the settings file, and
// the external chess program (its command line, and xboard on a virtual display).

#include "../core/TestFiles.h"
#include "AnalysisDriver.h"
#include "ExternalLauncher.h"
#include "IniFile.h"
#include "KestreluxTestAccess.h"
#include "TrainerFixture.h"
#include "frmOutput.h"
#include "frmSetup.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <csignal>

namespace {

constexpr int kWaitMs = 30000;
const QString kRecord = QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 b - - bm Kd7; id \"T.1\";");

} // namespace

class TestEngineSetup : public QObject
{
    Q_OBJECT

private slots:
    void setEngine_data();
    void setEngine();
    void chooserFillsThePath();
    void wbCommandLine();
    void wbOpensXboard();
};

void TestEngineSetup::setEngine_data()
{
    QTest::addColumn<QString>("button"); // how the dialog is left
    QTest::addColumn<bool>("writable");
    QTest::newRow("OK") << "cmdOK" << true;
    QTest::newRow("Cancel") << "cmdCancel" << true;
    QTest::newRow("OK, settings file cannot be written") << "cmdOK" << false;
}

void TestEngineSetup::setEngine()
{
    QFETCH(QString, button);
    QFETCH(bool, writable);
    TrainerFixture fx;
    const QString ini = fx.programFile("Kestrelux.ini");
    if (writable)
        fx.writeFile(ini, "; engines\n[Kestrelux]\nEngine= /usr/games/old \nCommandLine=-a\n");
    else {
        // Folders where the file would be, in the program and the data folder.
        QVERIFY(QDir().mkpath(ini));
        QVERIFY(QDir().mkpath(fx.dataFile("Kestrelux.ini")));
    }
    KestreluxTestAccess& a = fx.openOn({kRecord});
    frmKestrelux& w = a.w;
    w.ShowPosition(1);
    a.clock()->stop();
    // An analysis runs meanwhile.
    const QString runningEngine = QStringLiteral(KX_FAKE_XBOARD);
    a.useEngine(runningEngine, QString());
    fx.messages.clear();
    const QByteArray before = readAll(ini);
    a.click("cmdAnalyze");
    QVERIFY(a.engine()->EngineStarted());

    QString shown; // what the dialog showed
    int cut = 0;   // captions it showed cut
    w.setDialogRunner([&](QDialog& dialog) {
        auto* engine = dialog.findChild<QLineEdit*>("txtEngine");
        auto* arguments = dialog.findChild<QLineEdit*>("txtCommandLine");
        auto* protocol = dialog.findChild<QComboBox*>("cmbProtocol");
        shown = dialog.windowTitle() + u'|' + engine->text() + u'|' + arguments->text() + u'|' +
                protocol->currentText();
        for (const QLabel* caption : dialog.findChildren<QLabel*>()) // never cut
            cut += caption->width() < caption->sizeHint().width();
        engine->setText("/opt/my engines/eng");
        arguments->setText(" xboard -x ");
        protocol->setCurrentText("UCI");
        dialog.findChild<QPushButton*>(button)->click();
        return dialog.result();
    });
    a.click("cmdSetEngine");
    QCOMPARE(cut, 0);
    QCOMPARE(shown, "Engine setup|" + runningEngine + "||Auto");
    QCOMPARE(fx.messages.size(), writable ? 0 : 1);
    QVERIFY(writable || fx.messages.first().startsWith("The engine settings could not be saved"));

    const bool ok = button == "cmdOK";
    // OK ends the analysis but leaves the button to start the next one.
    QCOMPARE(a.engine()->EngineStarted(), !ok);
    QCOMPARE(w.findChild<frmOutput*>() && w.findChild<frmOutput*>()->isVisible(), !ok);
    QCOMPARE(a.text("cmdAnalyze"), QStringLiteral("Stop"));
    // The dialog shows what is chosen now.
    QCOMPARE(a.engineShown(),
             ok ? "/opt/my engines/eng| xboard -x |UCI" : runningEngine + "||Auto");
    if (ok && writable) {
        QCOMPARE(kx::ReadIniValue(ini, "Kestrelux", "Engine"), "/opt/my engines/eng");
        QCOMPARE(kx::ReadIniValue(ini, "Kestrelux", "CommandLine"), "xboard -x");
        QCOMPARE(kx::ReadIniValue(ini, "Kestrelux", "Protocol"), "UCI");
        QVERIFY(readAll(ini).startsWith("; engines\n"));
    } else {
        QCOMPARE(readAll(ini), before);
    }
    if (!ok)
        return;
    // The next analysis starts the new command line, the program quoted for its blank.
    a.click("cmdAnalyze");
    QCOMPARE(w.analysisDriver().commandLine(), "\"/opt/my engines/eng\"  xboard -x ");
}

void TestEngineSetup::chooserFillsThePath()
{
    QStringList filters;
    bool accept = true;
    frmSetup setup(nullptr, [&](QDialog& dialog) {
        auto& chooser = static_cast<QFileDialog&>(dialog);
        filters = QStringList{chooser.windowTitle()} + chooser.nameFilters();
        chooser.selectFile(KX_FAKE_XBOARD);
        return accept ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    QCOMPARE(setup.cmdPath->toolTip(), QStringLiteral("Seleziona il motore"));
    setup.cmdPath->click();
    QCOMPARE(filters, (QStringList{"Selezione Motore", "Eseguibili (*)", "Tutti i file (*)"}));
    QCOMPARE(setup.txtEngine->text(), KX_FAKE_XBOARD);
    accept = false; // a cancelled chooser changes nothing
    setup.txtEngine->setText("/usr/games/old");
    setup.cmdPath->click();
    QCOMPARE(setup.txtEngine->text(), "/usr/games/old");
}

void TestEngineSetup::wbCommandLine()
{
    const QString suite = "/home/u/my suites/WAC.EPD";
    const QStringList load = {"-lpf", suite, "-lpi", "12", "-saveSettingsOnExit", "false"};
    QCOMPARE(ExternalLauncher::Arguments(false, suite, "12"), load);
    QCOMPARE(ExternalLauncher::Arguments(true, suite, "12"),
             QStringList({"-fcp", "stockfish", "-fd", "/usr/games", "-fUCI"}) + load);
}

void TestEngineSetup::wbOpensXboard()
{
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    if (xvfb.isEmpty() || ExternalLauncher::FindProgram("xboard").isEmpty() ||
        ExternalLauncher::FindProgram("xdotool").isEmpty())
        QSKIP("needs Xvfb, xboard and xdotool (Debian packages xvfb, xboard, xdotool)");

    // A display of its own, numbered by the server.
    QProcess server;
    server.setProcessChannelMode(QProcess::SeparateChannels);
    server.start(xvfb, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine(), kWaitMs);
    const QByteArray display = ":" + server.readLine().trimmed();
    const QByteArray oldDisplay = qgetenv("DISPLAY");
    qputenv("DISPLAY", display);
    qint64 xboardPid = 0;
    const auto cleanup = qScopeGuard([&] {
        if (xboardPid > 0)
            ::kill(pid_t(xboardPid), SIGKILL);
        server.terminate();
        server.waitForFinished();
        qputenv("DISPLAY", oldDisplay);
    });

    TrainerFixture fx;
    KestreluxTestAccess& a = fx.openOn({kRecord});
    frmKestrelux& w = a.w;
    w.ShowPosition(1); // the clock runs
    w.externalLauncher().setTiming({std::chrono::milliseconds(200), 100});
    QSignalSpy seen(&w.externalLauncher(), &ExternalLauncher::windowSeen);
    QSignalSpy finished(&w.externalLauncher(), &ExternalLauncher::finished);
    a.click("cmdWB");
    QVERIFY2(fx.messages.isEmpty(), qPrintable(fx.messages.value(0)));
    xboardPid = w.externalLauncher().processId();
    QVERIFY(a.session().positionAnalysed());
    QVERIFY(!a.clock()->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 1, kWaitMs);

    // Its window gone, the watch ends with the message and the clock runs again.
    QCOMPARE(::kill(pid_t(xboardPid), SIGKILL), 0);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kWaitMs);
    QCOMPARE(fx.messages, QStringList{"Restart"});
    QVERIFY(a.clock()->isActive());
}

QTEST_MAIN(TestEngineSetup)
#include "tst_enginesetup.moc"
