#include "Fen.h"
#include "Notation.h"
#include "TestFiles.h"

#include <QTest>

using namespace kx;

// Placement text read into squares and written back.
class TestFen : public QObject
{
    Q_OBJECT

private slots:
    void readPlacement_data();
    void readPlacement();
    void boardOrder();
    void everySuiteRecord();
};

void TestFen::readPlacement_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fen");
    const auto row = [](const char* name, const char* text, const char* fen) {
        QTest::newRow(name) << QString(text) << QString(fen);
    };
    row("upper-case side", "4k3/8/8/8/8/8/8/4K3 B", "4k3/8/8/8/8/8/8/4K3 b - -");
    row("tab before the side", "4k3/8/8/8/8/8/8/4K3\tb", "4k3/8/8/8/8/8/8/4K3 b - -");
    row("no side field", "4k3/8/8/8/8/8/8/4K3", "4k3/8/8/8/8/8/8/4K3 w - -");
    row("runs written 44 and 17", "44/8/17/8/8/8/8/1K6 w", "8/8/8/8/8/8/8/1K6 w - -");
    row("other characters skipped", "4k3/8/8/8/0x9/8/8/8/4K3 b", "4k3/8/8/8/8/8/8/4K3 b - -");
    row("text ends early", "rk", "rk6/8/8/8/8/8/8/8 w - -");
    row("empty text", "", "8/8/8/8/8/8/8/8 w - -");
    row("run past the last square", "8/8/8/8/8/8/8/68 b", "8/8/8/8/8/8/8/8 b - -");
}

void TestFen::readPlacement()
{
    QFETCH(QString, text);
    const FenReading reading = ReadPlacement(text);
    QTEST(PlacementToFen(reading.squares, reading.blackToMove), "fen");
}

void TestFen::boardOrder()
{
    // Board order starts at a1 (index 0); e1 is 4, e8 is 60.
    const FenReading reading =
        ReadPlacement(QStringLiteral("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"));
    QCOMPARE(reading.squares[0], trad(QStringLiteral("R")));
    QCOMPARE(reading.squares[4], trad(QStringLiteral("K")));
    QCOMPARE(reading.squares[60], trad(QStringLiteral("k")));
    QCOMPARE(reading.squares[28], qint16(1));
    QVERIFY(!reading.blackToMove);
}

void TestFen::everySuiteRecord()
{
    const QStringList lines = publicSuiteRecords();
    QVERIFY2(!lines.isEmpty(), kNoPublicSuites);
    for (const QString& line : lines) {
        const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        const FenReading reading = ReadPlacement(line);
        QCOMPARE(PlacementToFen(reading.squares, reading.blackToMove),
                 fields[0] + u' ' + fields[1] + QStringLiteral(" - -"));
    }
}

QTEST_GUILESS_MAIN(TestFen)
#include "tst_fen.moc"
