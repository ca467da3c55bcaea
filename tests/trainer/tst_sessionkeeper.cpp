// No session is lost when the log cannot be written (a read-only or a full
// data folder): the user is told, offered a file to save the report in, and a
// report that reached neither is kept and goes into the log ahead of the next
// one, or when the window closes.

#include "../core/FileSizeLimit.h"
#include "../core/TestFiles.h"
#include "../core/Unprivileged.h"
#include "KestreluxTestAccess.h"
#include "TrainerFixture.h"

#include <QFileDialog>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <optional>

using namespace Pellomar;

class TestSessionKeeper : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void noSessionIsLost_data();
    void noSessionIsLost();
};

void TestSessionKeeper::noSessionIsLost_data()
{
    QTest::addColumn<bool>("fullDisk"); // else a read-only data folder
    QTest::newRow("read-only data folder") << false;
    QTest::newRow("full disk") << true;
}

void TestSessionKeeper::noSessionIsLost()
{
    QFETCH(bool, fullDisk);
    if (!fullDisk)
        KX_RUN_AS_UNPRIVILEGED_USER();

    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    const auto restoreHome = qScopeGuard([&] { qputenv("HOME", oldHome); });
    TrainerFixture fx;
    const QString log = fx.dataFile("KXLog.txt");
    fx.writeFile(log, "older session\n");
    KestreluxTestAccess& a = fx.openOn(pawnPushSuite(20));

    // The save dialog's answers in turn: a file in the home folder, or "" to cancel.
    QStringList answers, startedIn;
    a.w.setDialogRunner([&](QDialog& dialog) {
        auto& chooser = static_cast<QFileDialog&>(dialog);
        startedIn << chooser.directory().absolutePath();
        const QString answer = answers.takeFirst();
        if (answer.isEmpty())
            return int(QDialog::Rejected);
        chooser.selectFile(home.filePath(answer));
        return int(QDialog::Accepted);
    });
    std::optional<FileSizeLimit> limit;
    const QFile::Permissions writable = QFile::permissions(fx.dataDir.path());
    const auto block = [&](bool blocked) {
        if (fullDisk && blocked)
            limit.emplace(64); // less than any report
        else if (fullDisk)
            limit.reset();
        else
            QFile::setPermissions(fx.dataDir.path(),
                                  blocked ? QFile::ReadOwner | QFile::ExeOwner : writable);
    };
    const auto restore = qScopeGuard([&] { block(false); });
    // What the user is told of the log and the report's file; the position
    // history, which cannot be written either, says so apart.
    const auto told = [&] {
        return fx.messages.filter(QRegularExpression(QStringLiteral("^(?!.*_KXH\\.txt)")));
    };
    const auto session = [&] {
        a.click("cmdNew");
        for (int i = 0; i < 10; ++i) {
            a.clock()->stop();
            a.playMove(e, 2, e, 4);
            a.finishAttempt();
        }
        return a.text("txtReport").toUtf8() + '\n';
    };

    // The first report cannot go into the log; a file is offered in its place.
    block(true);
    answers << "first.txt";
    if (fullDisk)
        answers << "";
    const QByteArray first = session();
    QVERIFY(first.contains("tottime"));
    QVERIFY2(told().value(0).contains(log), qPrintable(told().value(0)));
    if (fullDisk) { // the chosen file cannot take it either: told, asked again, cancelled
        QVERIFY2(told().value(1).contains(home.filePath("first.txt")), qPrintable(told().value(1)));
        QVERIFY(!QFile::exists(home.filePath("first.txt")));
    } else {
        QCOMPARE(readAll(home.filePath("first.txt")), first);
    }
    QCOMPARE(startedIn, QStringList(fullDisk ? 2 : 1, home.path()));

    // Cancelled again, then the log can be written: the kept reports go in first.
    answers << "";
    const QByteArray second = session();
    QCOMPARE(fx.messages.size() - told().size(), 1); // the history's, told once for both
    block(false);
    const QByteArray third = session();
    QVERIFY(answers.isEmpty());
    QCOMPARE(readAll(log), "older session\n" + (fullDisk ? first : "") + second + third);

    // A report kept when the window closes goes into the log then.
    const qsizetype toldBefore = told().size();
    block(true);
    answers << "";
    const QByteArray fourth = session();
    block(false);
    fx.window->close();
    QVERIFY(readAll(log).endsWith(third + fourth));
    QCOMPARE(told().size(), toldBefore + 1);
}

QTEST_MAIN(TestSessionKeeper)
#include "tst_sessionkeeper.moc"
