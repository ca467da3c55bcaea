// A long reading of a suite on its window: the progress dialog comes up, its
// Cancel stops the reading (the suite is then not open and says why), and
// the dialog goes with the reading's end.

#include "ReadingProgress.h"
#include "Suite.h"

#include <QFile>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>

class TestReadingProgress : public QObject
{
    Q_OBJECT

private slots:
    void cancelStopsTheReading();
};

void TestReadingProgress::cancelStopsTheReading()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("LONG.EPD"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray line = "K7/8/8/8/8/8/8/k7 w - - bm Kb7;\n";
    for (qint64 written = 0; written < 16 * 1024 * 1024; written += line.size())
        file.write(line);
    file.close();

    QWidget window;
    window.show();
    // Shown at once here, where a user's window waits half a second first.
    ReadingProgress progress(&window, std::chrono::milliseconds(0));
    bool cancel = true;
    QString shown;
    bool modal = false;
    kx::Suite suite;
    suite.setProgress([&](const QString& what, qint64 done, qint64 total) -> bool {
        const bool goOn = progress(what, done, total);
        if (QProgressDialog* dialog = progress.dialog()) {
            shown = dialog->labelText();
            modal = dialog->windowModality() == Qt::WindowModal;
            if (cancel)
                dialog->cancel();
        }
        return goOn;
    });
    const kx::Result<> opened = suite.Open(path);
    QCOMPARE(shown, QStringLiteral("Reading LONG.EPD..."));
    QVERIFY(modal);
    QVERIFY(!opened && suite.stopped() && !suite.isOpen());
    QVERIFY(opened.error().startsWith(QStringLiteral("The reading of LONG.EPD was stopped")));
    QVERIFY(!progress.dialog());

    cancel = false;
    QVERIFY(suite.Open(path));
    QVERIFY(!suite.stopped());
    QCOMPARE(suite.size(), qint32(file.size() / line.size()));
    QVERIFY(!progress.dialog());
}

QTEST_MAIN(TestReadingProgress)
#include "tst_readingprogress.moc"
