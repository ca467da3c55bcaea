#include "Fen.h"
#include "Notation.h"
#include "TestFiles.h"

#include <QTest>

using namespace kx;

// Piece letters and codes, the two square numberings, and placement text read
// into squares and written back.
class TestFen : public QObject
{
    Q_OBJECT

private slots:
    // A piece row reads both ways; a row that is no piece gives trad 1 for the
    // text and "" for the code.
    void pieces_data()
    {
        QTest::addColumn<QString>("letter");
        QTest::addColumn<qint16>("code");
        QTest::addColumn<bool>("piece");
        const QString letters = QStringLiteral("kqrbnpKQRBNP"); // codes 2..13
        for (qint16 code = 2; code <= 13; ++code) {
            const QString letter = letters.mid(code - 2, 1);
            QTest::newRow(qPrintable(letter)) << letter << code << true;
        }
        QTest::newRow("empty text, code 0") << "" << qint16(0) << false;
        QTest::newRow("digit, empty square") << "1" << qint16(1) << false;
        QTest::newRow("slash, code 14") << "/" << qint16(14) << false;
        QTest::newRow("blank, negative code") << " " << qint16(-2) << false;
        QTest::newRow("two letters, large code") << "kk" << qint16(100) << false;
    }
    void pieces()
    {
        QFETCH(QString, letter);
        QFETCH(qint16, code);
        QFETCH(bool, piece);
        QCOMPARE(trad(letter), piece ? code : qint16(1));
        QCOMPARE(dart(code), piece ? letter : QString());
        QCOMPARE(num2pie(code), piece ? letter.toUpper() : QString());
    }

    void squareOrders()
    {
        // FEN reading order starts at a8, board order at a1.
        QCOMPARE(rov(0), qint16(56));  // a8
        QCOMPARE(rov(7), qint16(63));  // h8
        QCOMPARE(rov(36), qint16(28)); // e4
        QCOMPARE(rov(63), qint16(7));  // h1
        for (qint32 i = 0; i < 64; ++i) {
            QVERIFY(rov(i) >= 0 && rov(i) < 64);
            QCOMPARE(rov(rov(i)), qint16(i));
        }
    }

    void readPlacement_data()
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
    void readPlacement()
    {
        QFETCH(QString, text);
        const FenReading reading = ReadPlacement(text);
        QTEST(PlacementToFen(reading.squares, reading.blackToMove), "fen");
    }

    void boardOrder()
    {
        // Board order starts at a1 (index 0); e1 is 4, e8 is 60.
        const FenReading reading = ReadPlacement(
            QStringLiteral("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"));
        QCOMPARE(reading.squares[0], trad(QStringLiteral("R")));
        QCOMPARE(reading.squares[4], trad(QStringLiteral("K")));
        QCOMPARE(reading.squares[60], trad(QStringLiteral("k")));
        QCOMPARE(reading.squares[28], qint16(1));
        QVERIFY(!reading.blackToMove);
    }

    void everySuiteRecord()
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
};

QTEST_GUILESS_MAIN(TestFen)
#include "tst_fen.moc"
