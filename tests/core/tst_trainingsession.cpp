// A training session driven by hand, tick by tick, on positions shown as the
// window would show them: when an attempt ends and how it is judged, the
// totals and how they are shown, the end of the session, and a receiver that
// ends the session while it is being told of an attempt.

#include "HistoryFile.h"
#include "HistoryKeeper.h"
#include "ShownPosition.h"
#include "TrainingSession.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace kx;

namespace {

// A pawn push whose best move e4 is made from e2 to e4; e1 to d1 is wrong.
const QString kPawnPush = QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 w - - bm e4; id \"T\";");

struct Session
{
    ShownPosition shown;
    TrainingSession session{shown};
    int shownCount = 0;

    explicit Session(int positions, double seconds = 50)
    {
        QObject::connect(&session, &TrainingSession::nextPositionWanted, [this, seconds] {
            shown.Show(++shownCount, kPawnPush);
            session.PositionShown(seconds);
        });
        shown.Show(++shownCount, kPawnPush);
        session.PositionShown(seconds);
        session.Start(positions);
    }
    /// ticks of 0.1 s, then the move (none when empty), then ticks until the
    /// attempt ends; the ticks the attempt took in all.
    int play(int ticks, const char* move)
    {
        for (int i = 0; i < ticks; ++i)
            session.Tick();
        const qint32 before = session.tally().attempts();
        if (*move) {
            const auto square = [](const char* name) {
                return (name[1] - '1') * 8 + name[0] - 'a';
            };
            shown.PickSquare(square(move));
            shown.Move(square(move + 2));
        }
        while (ticks < 100000 && session.tally().attempts() == before && session.isRunning()) {
            session.Tick();
            ++ticks;
        }
        return ticks;
    }
};

} // namespace

class TestTrainingSession : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void attemptsEndAndAreJudged();
    void pointsDependOnSessionLength_data();
    void pointsDependOnSessionLength();
    void endsAfterItsPositions();
    void aReceiverMayEndTheSession();
    void lineAnsweredAndCountedLater();
};

void TestTrainingSession::attemptsEndAndAreJudged()
{
    Session s(10);
    QSignalSpy judged(&s.session, &TrainingSession::attemptJudged);
    s.play(99, "e2e4");           // solved in 10.0 s: the move counts on the tick after it
    s.play(122, "e1d1");          // wrong after 12.3 s
    QCOMPARE(s.play(0, ""), 500); // no move: the 500th tick is the first past 50 s
    s.session.setPositionAnalysed(true);
    s.play(0, "e2e4"); // right, but the position was opened elsewhere
    QCOMPARE(judged.size(), 4);
    const auto attempt = [&](int i) {
        return judged.at(i).at(0).value<Attempt>();
    };
    QCOMPARE(attempt(0).elapsed, 10.0);
    QVERIFY(attempt(0).solved && attempt(0).matched);
    QCOMPARE(attempt(0).reportRow(),
             QStringList({"1", "96.9", "Pe2e4", "e4", "", "1", "", "1", "10.0", "40.0"}));
    QCOMPARE(attempt(1).reportRow().mid(0, 3), QStringList({"2", "...", "Ke1d1"}));
    QCOMPARE(attempt(1).reportRow().mid(8), QStringList({"12.3", "37.7"}));
    QCOMPARE(attempt(2).userMove, QString());
    QVERIFY(attempt(3).matched && !attempt(3).solved);
    QVERIFY(!s.session.positionAnalysed()); // only ever for one position

    const SessionTally& tally = s.session.tally();
    QCOMPARE(QStringList({tally.pointsText(), tally.secondsUsedText(), tally.savedText(),
                          tally.solvedText()}),
             QStringList({"96.9", "160", "40", "1/4(25%)"}));
}

// Two positions solved in 10 s each: the points shown, one decimal each, add up.
void TestTrainingSession::pointsDependOnSessionLength_data()
{
    QTest::addColumn<int>("positions");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QStringList>("points"); // after the first and the second
    const QLocale c = QLocale::c();
    QTest::newRow("10 positions") << 10 << c << QStringList{"96.9", "193.8"};
    QTest::newRow("100 positions") << 100 << c << QStringList{"9.9", "19.8"};
    QTest::newRow("1000 positions") << 1000 << c << QStringList{"1", "2"};
    QTest::newRow("10 positions, decimal comma")
        << 10 << QLocale(QLocale::German) << QStringList{"96,9", "193,8"};
}

void TestTrainingSession::pointsDependOnSessionLength()
{
    QFETCH(int, positions);
    QFETCH(QLocale, locale);
    QFETCH(QStringList, points);
    QLocale::setDefault(locale);
    Session s(positions);
    QStringList shown;
    for (int i = 0; i < 2; ++i) {
        s.play(99, "e2e4");
        shown << s.session.tally().pointsText();
    }
    QCOMPARE(shown, points);
}

void TestTrainingSession::endsAfterItsPositions()
{
    Session s(10, 0.3);
    QSignalSpy ended(&s.session, &TrainingSession::sessionEnded);
    for (int i = 0; i < 10; ++i)
        s.play(0, i % 3 ? "" : "e2e4");
    QCOMPARE(ended.size(), 1);
    QCOMPARE(s.session.state(), TrainingSession::State::Ended);
    QCOMPARE(s.shownCount, 10);
    QVERIFY(!s.session.clock()->isActive());
    const SummaryLineInput summary = s.session.tally().summary();
    QCOMPARE(QStringList({summary.puntiCaption, summary.solvedCaption, summary.totTimeCaption}),
             QStringList({"409", "4/10(40%)", "0"}));
    s.session.Tick(); // an ended session counts nothing more
    QCOMPARE(s.session.tally().attempts(), 10);
}

void TestTrainingSession::aReceiverMayEndTheSession()
{
    for (const bool abandon : {true, false}) {
        Session s(10);
        QSignalSpy wanted(&s.session, &TrainingSession::nextPositionWanted);
        QSignalSpy ended(&s.session, &TrainingSession::sessionEnded);
        QObject::connect(&s.session, &TrainingSession::attemptJudged,
                         [&] { abandon ? s.session.Abandon() : s.session.Finish(); });
        s.play(3, "e2e4");
        QCOMPARE(wanted.size(), 0);
        QCOMPARE(ended.size(), abandon ? 0 : 1);
        QCOMPARE(s.session.state(),
                 abandon ? TrainingSession::State::Idle : TrainingSession::State::Ended);
    }
}

// A line of two moves on one clock: the reply half a second after the right
// first move, no move of the user's in between; then a miss counted as
// solved after all, in the tally and in the position's history.
void TestTrainingSession::lineAnsweredAndCountedLater()
{
    const QString line = QStringLiteral("4k3/8/8/8/8/8/PP6/4K3 w - - bm a3; pv a3 Kd7 b3;");
    ShownPosition shown;
    TrainingSession session(shown);
    QTemporaryDir data;
    const QDate today(2026, 3, 1);
    HistoryKeeper history(session, data.path(), nullptr, [today] { return today; });
    history.UseSuite(QStringLiteral("T.EPD"));
    const auto entryOf = [&](qint32 number) {
        const auto entries =
            ReadHistoryFile(data.filePath(HistoryFileName(QStringLiteral("T.EPD"))), today).entries;
        const auto at =
            std::find_if(entries.begin(), entries.end(),
                         [number](const HistoryEntry& e) { return e.number == number; });
        return at == entries.end() ? HistoryEntry{} : *at;
    };
    QSignalSpy replies(&session, &TrainingSession::replyPlayed);
    QSignalSpy judged(&session, &TrainingSession::attemptJudged);
    QSignalSpy revised(&session, &TrainingSession::attemptRevised);
    QObject::connect(&session, &TrainingSession::nextPositionWanted, [&] {
        shown.Show(2, line);
        session.PositionShown(50);
    });
    session.setWholeLine(true);
    shown.Show(1, line);
    session.PositionShown(50);
    session.Start(10);
    const auto move = [&shown](int from, int to) {
        shown.PickSquare(from);
        return shown.Move(to);
    };
    QCOMPARE(move(8, 16), QStringLiteral("Pa2a3"));
    QCOMPARE(shown.PickSquare(60), ShownPosition::Pick::Waiting); // Black's king is the trainer's
    for (int i = 0; i < TrainingSession::kReplyTicks; ++i)
        session.Tick();
    QCOMPARE(replies.size(), 0);
    session.Tick();
    QCOMPARE(replies.size(), 1);
    QCOMPARE(replies.at(0).at(0).toString(), QStringLiteral("Ke8d7"));
    QCOMPARE(move(9, 17), QStringLiteral("Pb2b3"));
    session.Tick();
    QCOMPARE(judged.size(), 1);
    const Attempt first = judged.at(0).at(0).value<Attempt>();
    QVERIFY(first.solved);
    QCOMPARE(first.elapsed, 0.7); // the clock ran over the whole line
    QCOMPARE(first.userMove, QStringLiteral("Pa2a3 Pb2b3"));
    QCOMPARE(first.solution, QStringLiteral("1.a3 Kd7 2.b3"));

    move(9, 25); // b4, a miss
    session.Tick();
    const Attempt missed = judged.at(1).at(0).value<Attempt>();
    QVERIFY(!missed.solved);
    QCOMPARE(QStringList({missed.dueFen, missed.missedMove, missed.wanted}),
             QStringList({"4k3/8/8/8/8/8/PP6/4K3 w - - 0 1", "Pb2b4", "a2a3"}));
    QCOMPARE(session.tally().solvedText(), QStringLiteral("1/2(50%)"));
    QCOMPARE(entryOf(2).box, 1);
    QCOMPARE(history.BoxNote(missed), QStringLiteral("1"));
    QVERIFY(session.CountAsSolved(missed));
    const HistoryEntry revisedEntry = entryOf(2);
    QCOMPARE(QList<int>({revisedEntry.attempts, revisedEntry.solves, revisedEntry.box}),
             QList<int>({1, 1, kNoBox})); // as if solved at once: out of review
    QCOMPARE(history.BoxNote(missed), QString());
    QCOMPARE(entryOf(1).solves, 1);
    QVERIFY(!session.CountAsSolved(revised.at(0).at(0).value<Attempt>())); // counted once
    QCOMPARE(session.tally().solvedText(), QStringLiteral("2/2(100%)"));
    QCOMPARE(session.tally().secondsUsedText(), QStringLiteral("1")); // 0.7 and 0.1, rounded
    // The points of a solve in 0.1 s, added to the session's.
    QCOMPARE(revised.at(0).at(0).value<Attempt>().pointsText(), QStringLiteral("101.8"));
    QCOMPARE(session.tally().pointsText(),
             QString::number((first.shownTenths() + 1018) / 10.0, 'f', 1));
}

QTEST_GUILESS_MAIN(TestTrainingSession)
#include "tst_trainingsession.moc"
