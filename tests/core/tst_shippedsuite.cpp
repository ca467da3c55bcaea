// The suite shipped with the program: well formed, legal-looking, and every
// best move the one a strong engine plays (when Stockfish is installed).

#include "Epd.h"
#include "Fen.h"
#include "Judging.h"
#include "Notation.h"
#include "TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace kx;

namespace {

const QString kSuite = QStringLiteral(KX_SOURCE_DIR "/trainer/suites/KESTREL.EPD");
const QString kStockfish = QStringLiteral("/usr/games/stockfish");
constexpr int kSearchDepth = 18;
constexpr int kEngineTimeoutMs = 60000;

QStringList records()
{
    return suiteLines(kSuite);
}

int squareIndex(const QString& name) // "e2" -> board order
{
    return (name[1].unicode() - '1') * 8 + (name[0].unicode() - 'a');
}

// Reads engine output until a line starts with prefix; returns that line.
QString readUntil(QProcess& engine, const QString& prefix)
{
    QByteArray pending;
    while (true) {
        while (!engine.canReadLine()) {
            if (!engine.waitForReadyRead(kEngineTimeoutMs))
                return QString();
        }
        const QString line = QString::fromLatin1(engine.readLine()).trimmed();
        if (line.startsWith(prefix))
            return line;
    }
}

} // namespace

class TestShippedSuite : public QObject
{
    Q_OBJECT

private slots:
    void wellFormed();
    void bestMovesAreTheEnginesChoice();
};

void TestShippedSuite::wellFormed()
{
    const QStringList all = records();
    QVERIFY2(all.size() >= 50, qPrintable(QString::number(all.size())));
    QSet<QString> ids;
    int blackToMove = 0;
    static const QRegularExpression idOp(QStringLiteral("; id \"(KX\\.\\d{3})\";$"));
    for (const QString& record : all) {
        const auto id = idOp.match(record);
        QVERIFY2(id.hasMatch(), qPrintable(record));
        QVERIFY2(!ids.contains(id.captured(1)), qPrintable(record));
        ids.insert(id.captured(1));

        QVERIFY2(record.split(u' ').size() > 5, qPrintable(record));
        const FenReading position = ReadPlacement(record);
        blackToMove += position.blackToMove ? 1 : 0;
        int whiteKings = 0, blackKings = 0;
        for (int i = 0; i < 64; ++i) {
            whiteKings += position.squares[i] == 8;
            blackKings += position.squares[i] == 2;
            const bool backRank = i < 8 || i >= 56;
            QVERIFY2(!(backRank && (position.squares[i] == 7 || position.squares[i] == 13)),
                     qPrintable(record));
        }
        QCOMPARE(whiteKings, 1);
        QCOMPARE(blackKings, 1);

        QVERIFY2(GetBmField(record).startsWith(QLatin1String("bm ")), qPrintable(record));
        QVERIFY2(!GetBestMoveWords(record).isEmpty(), qPrintable(record));
    }
    QVERIFY(blackToMove * 4 >= all.size());
}

void TestShippedSuite::bestMovesAreTheEnginesChoice()
{
    if (!QFile::exists(kStockfish))
        QSKIP(
            "Stockfish is not installed (apt-get install stockfish); the engine check is skipped");
    QProcess engine;
    engine.start(kStockfish, {});
    QVERIFY(engine.waitForStarted());
    engine.write("uci\nsetoption name Threads value 1\nisready\n");
    QVERIFY(!readUntil(engine, QStringLiteral("readyok")).isEmpty());

    for (const QString& record : records()) {
        const QStringList fields = record.split(u' ', Qt::SkipEmptyParts);
        const QString fen = fields.mid(0, 4).join(u' ') + QStringLiteral(" 0 1");
        engine.write(
            QStringLiteral("position fen %1\ngo depth %2\n").arg(fen).arg(kSearchDepth).toLatin1());
        const QString answer = readUntil(engine, QStringLiteral("bestmove "));
        QVERIFY2(!answer.isEmpty(), qPrintable(record));
        const QString uci = answer.split(u' ').value(1);
        QVERIFY2(uci.size() >= 4, qPrintable(answer));

        // The engine's move as the board would write it.
        const FenReading position = ReadPlacement(record);
        QString user = num2pie(position.squares[squareIndex(uci.mid(0, 2))]) + uci.left(4);
        if (uci.size() == 5)
            user += QLatin1Char('=') + uci.mid(4, 1).toUpper();

        QVERIFY2(JudgeMove(record, {user}).right(),
                 qPrintable(record + QStringLiteral(" / engine: ") + user));
    }
    engine.write("quit\n");
    engine.waitForFinished(5000);
}

QTEST_GUILESS_MAIN(TestShippedSuite)
#include "tst_shippedsuite.moc"
