// The engine settings dialog and the settings file, the output window, and
// the external chess program (its command line, and xboard on a virtual display).

#include "AnalysisDriver.h"
#include "ExternalLauncher.h"
#include "IniFile.h"
#include "KestreluxTestAccess.h"
#include "TrainerFixture.h"
#include "frmOutput.h"
#include "frmSetup.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
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

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestEngineSetup : public QObject
{
    Q_OBJECT

private slots:
    void setupDialogElements();
    void setEngine_data();
    void setEngine();
    void chooserFillsThePath_data();
    void chooserFillsThePath();
    void outputWindow();
    void wbCommandLine_data();
    void wbCommandLine();
    void wbOpensXboard();
};

void TestEngineSetup::setupDialogElements()
{
    // name=caption@left,top,width,height in twips.
    const QString table = QStringLiteral(
        "lblEngine=Engine@105,105,495,195|txtEngine=@105,315,3375,285|cmdPath=...@3570,315,435,285|"
        "lblCommandLine=Command line arguments@105,735,1770,195|txtCommandLine=@105,945,3375,285|"
        "cmdOK=OK@4410,210,1065,330|cmdCancel=Cancel@4410,630,1065,330");
    frmSetup setup;
    QCOMPARE(setup.windowTitle(), QStringLiteral("Engine setup"));
    QCOMPARE(setup.size(), QSize(5565 / 15, 1455 / 15));
    QVERIFY(!setup.Selected);
    QCOMPARE(setup.cmdPath->toolTip(), QStringLiteral("Seleziona il motore"));
    for (const QString& entry : table.split(u'|')) {
        const QString name = entry.section(u'=', 0, 0);
        QWidget* element = setup.findChild<QWidget*>(name);
        QVERIFY2(element, qPrintable(name));
        const QStringList place = entry.section(u'@', 1).split(u',');
        QCOMPARE(element->geometry(), QRect(place[0].toInt() / 15, place[1].toInt() / 15,
                                            place[2].toInt() / 15, place[3].toInt() / 15));
        const QString caption = entry.section(u'=', 1).section(u'@', 0, 0);
        if (auto* b = qobject_cast<QPushButton*>(element))
            QCOMPARE(b->text(), caption);
        else if (auto* l = qobject_cast<QLabel*>(element))
            QCOMPARE(l->text(), caption);
    }
}

void TestEngineSetup::setEngine_data()
{
    QTest::addColumn<QString>("button"); // how the dialog is left
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QString>("message"); // "" when none

    QTest::newRow("OK") << "cmdOK" << true << "";
    QTest::newRow("Cancel") << "cmdCancel" << true << "";
    QTest::newRow("OK, settings file cannot be written")
        << "cmdOK" << false << "The engine settings could not be saved";
}

void TestEngineSetup::setEngine()
{
    QFETCH(QString, button);
    QFETCH(bool, writable);
    QFETCH(QString, message);

    TrainerFixture fx;
    const QString ini = fx.programFile("Kestrelux.ini");
    if (writable)
        fx.writeFile(ini, "; engines\n[Kestrelux]\nEngine= /usr/games/old \nCommandLine=-a\n");
    else
        QVERIFY(QDir().mkpath(ini)); // a folder where the file should be
    const QByteArray before = contents(ini);
    fx.addSuite("WAC.EPD", {kRecord});
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.ShowPosition(1);
    a.clock()->stop();
    // An analysis runs meanwhile.
    a.LastEngine() = QStringLiteral(KX_FAKE_XBOARD);
    a.LastCommandLine().clear();
    const QString runningEngine = a.LastEngine();
    a.element<QPushButton>("cmdAnalyze")->click();
    QVERIFY(a.engine()->EngineStarted());

    QStringList seen;
    w.setDialogRunner([&](QDialog& dialog) {
        seen << dialog.objectName() + u'=' + dialog.findChild<QLineEdit*>("txtEngine")->text() +
                    u'|' + dialog.findChild<QLineEdit*>("txtCommandLine")->text();
        dialog.findChild<QLineEdit*>("txtEngine")->setText("/opt/my engines/eng");
        dialog.findChild<QLineEdit*>("txtCommandLine")->setText(" xboard -x ");
        dialog.findChild<QPushButton*>(button)->click();
        return dialog.result();
    });
    a.element<QPushButton>("cmdSetEngine")->click();
    QCOMPARE(seen, QStringList{"frmSetup=" + runningEngine + "|"});
    QCOMPARE(fx.messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY(fx.messages.first().startsWith(message));

    const bool ok = button == "cmdOK";
    // OK ends the analysis but leaves the button to start the next one.
    QCOMPARE(a.engine()->EngineStarted(), !ok);
    QCOMPARE(w.findChild<frmOutput*>() && w.findChild<frmOutput*>()->isVisible(), !ok);
    QCOMPARE(a.element<QPushButton>("cmdAnalyze")->text(), QStringLiteral("Stop"));
    QCOMPARE(a.LastEngine(), ok ? "/opt/my engines/eng" : runningEngine);
    QCOMPARE(a.LastCommandLine(), ok ? " xboard -x " : "");
    if (ok && writable) {
        QCOMPARE(kx::ReadIniValue(ini, "Kestrelux", "Engine"), "/opt/my engines/eng");
        QCOMPARE(kx::ReadIniValue(ini, "Kestrelux", "CommandLine"), "xboard -x");
        QVERIFY(contents(ini).startsWith("; engines\n"));
    } else {
        QCOMPARE(contents(ini), before);
    }
    if (!ok)
        return;
    // The next analysis starts the new command line.
    a.element<QPushButton>("cmdAnalyze")->click();
    // The program is quoted: its path holds a blank.
    QCOMPARE(w.analysisDriver().commandLine(), "\"/opt/my engines/eng\"  xboard -x ");
}

void TestEngineSetup::chooserFillsThePath_data()
{
    QTest::addColumn<bool>("accepted");
    QTest::newRow("file chosen") << true;
    QTest::newRow("chooser cancelled") << false;
}

void TestEngineSetup::chooserFillsThePath()
{
    QFETCH(bool, accepted);
    QStringList filters;
    QString title;
    frmSetup setup(nullptr, [&](QDialog& dialog) {
        auto& chooser = static_cast<QFileDialog&>(dialog);
        title = chooser.windowTitle();
        filters = chooser.nameFilters();
        chooser.selectFile(QStringLiteral(KX_FAKE_XBOARD));
        return accepted ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    setup.txtEngine->setText("/usr/games/old");
    setup.cmdPath->click();
    QCOMPARE(title, QStringLiteral("Selezione Motore"));
    QCOMPARE(filters.size(), 2);
    QCOMPARE(setup.txtEngine->text(), accepted ? KX_FAKE_XBOARD : "/usr/games/old");
}

void TestEngineSetup::outputWindow()
{
    QWidget owner;
    frmOutput output(&owner);
    QCOMPARE(output.windowTitle(), QStringLiteral("Engine output"));
    QCOMPARE(output.size(), QSize(4620 / 15, 3150 / 15));
    output.show();
    output.resize(500, 300);
    QCOMPARE(output.txtOutput->geometry(), QRect(0, 0, 500, 300));
    output.AddLine("1 10 0 5 e4");
    output.AddLine("2 12 0 9 e4 e5");
    QTest::mouseDClick(output.txtOutput->viewport(), Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("\n1 10 0 5 e4\n2 12 0 9 e4 e5"));
}

void TestEngineSetup::wbCommandLine_data()
{
    QTest::addColumn<bool>("withEngine");
    QTest::addColumn<QStringList>("expected");

    const QStringList loadPosition = {"-lpf", "<suite>", "-lpi", "12", "-saveSettingsOnExit",
                                      "false"};
    QTest::newRow("default engine found")
        << true << QStringList{"-fcp", "stockfish", "-fd", "/usr/games", "-fUCI"} + loadPosition;
    QTest::newRow("default engine missing") << false << loadPosition;
}

void TestEngineSetup::wbCommandLine()
{
    QFETCH(bool, withEngine);
    QFETCH(QStringList, expected);
    const QString suite = "/home/u/my suites/WAC.EPD";
    expected.replaceInStrings("<suite>", suite);
    QCOMPARE(ExternalLauncher::Arguments(withEngine, suite, "12"), expected);
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
    fx.addSuite("WAC.EPD", {kRecord});
    frmKestrelux& w = fx.open();
    KestreluxTestAccess a(w);
    w.ShowPosition(1); // the clock runs
    w.externalLauncher().setTiming({std::chrono::milliseconds(200), 100});
    QSignalSpy seen(&w.externalLauncher(), &ExternalLauncher::windowSeen);
    QSignalSpy finished(&w.externalLauncher(), &ExternalLauncher::finished);
    a.element<QPushButton>("cmdWB")->click();
    QVERIFY2(fx.messages.isEmpty(), qPrintable(fx.messages.value(0)));
    xboardPid = w.externalLauncher().processId();
    QVERIFY(a.positionAnalysed());
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
