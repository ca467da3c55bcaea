#include "Fen.h"

#include <QFile>
#include <QTest>

using namespace kx;

namespace {

constexpr qint16 kEmpty = 1;

// Board-order index of a square name such as "e1".
int square(const char* name)
{
    return (name[1] - '1') * 8 + (name[0] - 'a');
}

// Placement with every run of empty squares written as one digit.
QString normalisedPlacement(const QString& placement)
{
    QString expanded;
    for (const QChar c : placement) {
        if (c.isDigit())
            expanded += QString(c.digitValue(), u'1');
        else
            expanded += c;
    }
    QString out;
    int run = 0;
    for (const QChar c : expanded) {
        if (c == u'1') {
            ++run;
            continue;
        }
        if (run > 0)
            out += QString::number(run);
        run = 0;
        out += c;
    }
    if (run > 0)
        out += QString::number(run);
    return out;
}

} // namespace

// Placement text read into squares and written back.
class TestFen : public QObject
{
    Q_OBJECT

private slots:
    void readPlacement_data();
    void readPlacement();
    void startPosition();
    void everySuiteRecord_data();
    void everySuiteRecord();
};

void TestFen::readPlacement_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fen");
    QTest::newRow("empty board, black") << "8/8/8/8/8/8/8/8 b - -"
                                        << "8/8/8/8/8/8/8/8 b - -";
    QTest::newRow("upper-case side") << "4k3/8/8/8/8/8/8/4K3 B"
                                     << "4k3/8/8/8/8/8/8/4K3 b - -";
    QTest::newRow("no side field") << "4k3/8/8/8/8/8/8/4K3"
                                   << "4k3/8/8/8/8/8/8/4K3 w - -";
    QTest::newRow("runs written 44 and 17") << "44/8/17/8/8/8/8/1K6 w"
                                            << "8/8/8/8/8/8/8/1K6 w - -";
    QTest::newRow("no slashes") << "4k3888888K7 b"
                                << "4k3/8/8/8/8/8/8/K7 b - -";
    QTest::newRow("other characters skipped") << "4k3/8/8/8/0x9/8/8/8/4K3 b"
                                              << "4k3/8/8/8/8/8/8/4K3 b - -";
    QTest::newRow("operations ignored") << "8/8/8/8/8/8/8/7K w - - bm Kg1; id \"b\";"
                                        << "8/8/8/8/8/8/8/7K w - -";
    QTest::newRow("text ends early") << "rk"
                                     << "rk6/8/8/8/8/8/8/8 w - -";
    QTest::newRow("empty text") << ""
                                << "8/8/8/8/8/8/8/8 w - -";
    QTest::newRow("run past the last square") << "8/8/8/8/8/8/8/68 b"
                                              << "8/8/8/8/8/8/8/8 b - -";
}

void TestFen::readPlacement()
{
    QFETCH(QString, text);
    QFETCH(QString, fen);
    const FenReading reading = ReadPlacement(text);
    QCOMPARE(PlacementToFen(reading.squares, reading.blackToMove), fen);
}

void TestFen::startPosition()
{
    const QString start =
        QStringLiteral("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    const FenReading reading = ReadPlacement(start);
    QCOMPARE(reading.squares[square("a1")], qint16(10));
    QCOMPARE(reading.squares[square("e1")], qint16(8));
    QCOMPARE(reading.squares[square("d8")], qint16(3));
    QCOMPARE(reading.squares[square("e8")], qint16(2));
    QCOMPARE(reading.squares[square("h7")], qint16(7));
    QCOMPARE(reading.squares[square("e4")], kEmpty);
    QVERIFY(!reading.blackToMove);
    QCOMPARE(PlacementToFen(reading.squares, false),
             QStringLiteral("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -"));
}

void TestFen::everySuiteRecord_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("WAC") << "WAC.EPD";
    QTest::newRow("WCSAC") << "WCSAC.EPD";
}

void TestFen::everySuiteRecord()
{
    QFETCH(QString, name);
    QFile file(QStringLiteral(KX_SUITES_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        QSKIP(qPrintable(QStringLiteral("Public suite %1 not found in " KX_SUITES_DIR).arg(name)));
    int records = 0;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString record = QString::fromUtf8(raw).trimmed();
        if (record.isEmpty())
            continue;
        ++records;
        const QStringList fields = record.split(u' ', Qt::SkipEmptyParts);
        const FenReading reading = ReadPlacement(record);
        const QString expected = normalisedPlacement(fields[0]) + u' ' + fields[1] + " - -";
        QCOMPARE(PlacementToFen(reading.squares, reading.blackToMove), expected);
    }
    QVERIFY(records > 0);
}

QTEST_GUILESS_MAIN(TestFen)
#include "tst_fen.moc"
