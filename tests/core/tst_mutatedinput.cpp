// The parsers fed thousands of random and mutated inputs, most of them real
// records, settings, report lines and engine lines broken on purpose: whatever
// they get, they must not crash, hang or contradict themselves.

#include "BestMoveScan.h"
#include "EngineLine.h"
#include "Epd.h"
#include "Fen.h"
#include "HistoryFile.h"
#include "IniFile.h"
#include "Judging.h"
#include "MoveMatch.h"
#include "MoveNotation.h"
#include "Mutations.h"
#include "Notation.h"
#include "NumberText.h"
#include "ReportLines.h"
#include "ScoreLines.h"
#include "StatsFile.h"
#include "Suite.h"
#include "TestFiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <limits>
#include <tuple>

using namespace kx;
using mutations::Mutator;

namespace {

constexpr qsizetype kMaxColumn = 999;
constexpr int kMovesChecked = 6;

// What a record's fields say when they disagree with each other; "" when they agree.
QString recordProblem(const QString& record, Mutator& m)
{
    const QString field = GetBmField(record);
    if (!field.isEmpty() && (!field.startsWith(u"bm") || !record.contains(field) ||
                             field.contains(u';') || field.contains(u'\r')))
        return QStringLiteral("bm field: ") + field.left(80);
    // The table's best-move cells hold the solution's words, marks removed.
    const bool usable = field.startsWith(u"bm ") && field.size() >= 5;
    const QString split = ScanRow(1, record).mid(TableCol::Best1, 3).join(u' ').simplified();
    // Without bm: the moves to avoid, or the line's first move, or "a3".
    const QStringList avoid = GetAvoidMoveWords(record);
    const QStringList line = GetLineMoveWords(record);
    const bool cellsAgree = usable             ? split == CleanMove(field.mid(3)).simplified()
                            : !avoid.isEmpty() ? split.startsWith(QLatin1String("not "))
                            : !line.isEmpty()  ? split == CleanMove(line.first())
                                               : split == QLatin1String("a3");
    if (!cellsAgree)
        return QStringLiteral("best-move cells: ") + split.left(80);
    for (const QString& word : GetBestMoveWords(record)) {
        if (!ReadMoveText(word))
            return QStringLiteral("best-move word: ") + word.left(80);
    }

    // The board shows no piece the text does not name, and reads its own FEN back.
    const FenReading shown = ReadPlacement(record);
    const auto isPiece = [](QChar c) {
        return QStringView(u"KQRBNPkqrbnp").contains(c);
    };
    const auto isFilled = [](qint16 code) {
        return code != 1;
    };
    if (std::count_if(shown.squares.begin(), shown.squares.end(), isFilled) >
        std::count_if(record.begin(), record.end(), isPiece))
        return QStringLiteral("pieces that are not in the text");
    const FenReading again = ReadPlacement(PlacementToFen(shown.squares, shown.blackToMove));
    if (again.squares != shown.squares || again.blackToMove != shown.blackToMove)
        return QStringLiteral("board FEN read back differently");

    const std::optional<ChessPosition> position = RecordPosition(record);
    if (!position)
        return {};
    // The judge's position is the board's.
    for (int square = 0; square < 64; ++square) {
        const PieceKind kind = position->kindAt(square);
        QString letter = kind == NoKind ? QString() : QString(QLatin1Char(" PNBRQK"[kind]));
        if (position->blackAt(square))
            letter = letter.toLower();
        if (letter != dart(shown.squares[square]))
            return QStringLiteral("judge and board differ on square ") + QString::number(square);
    }
    if (position->blackToMove() != shown.blackToMove)
        return QStringLiteral("judge and board differ on the side to move");
    if (ChessPosition::FromFen(position->ToFen()) != position)
        return QStringLiteral("FEN read back differently: ") + position->ToFen();

    // Every way of writing a legal move names that move and no other.
    ChessPosition play = *position;
    const MoveList legal = position->LegalMoves();
    for (int i = 0; i < kMovesChecked && legal.size() > 0; ++i) {
        const ChessMove move = legal[m.below(int(legal.size()))];
        const ChessMove other = legal[m.below(int(legal.size()))];
        const QString san = SanOf(*position, move);
        const QString board = BoardMoveText(*position, move);
        if (ParseMove(*position, san) != move || ParseMove(*position, board) != move ||
            ParseMove(*position, CoordinateOf(move)) != move)
            return QStringLiteral("move not read back: ") + san;
        if (!MatchMove(board, san) ||
            (other != move && MatchMove(BoardMoveText(*position, other), san)))
            return QStringLiteral("MatchMove on ") + san;
        // A best move needs a bm, or a pv whose first move it is.
        if (JudgeMove(record, {board}).answer == Verdict::Answer::Best &&
            GetBestMoveWords(record).isEmpty() && GetLineMoveWords(record).isEmpty())
            return QStringLiteral("judged best without best moves: ") + board;
        const ChessPosition::Undo undo = play.MakeMove(move);
        play.UnmakeMove(move, undo);
        if (play != *position)
            return QStringLiteral("move not taken back: ") + san;
    }
    return {};
}

// AddTab as the algorithm is written down, one marker at a time over the
// whole line: the model the one-pass version must agree with.
QString addTabModel(QString s)
{
    static const QRegularExpression marker(QStringLiteral("^\\[([0-9]{0,3})\\]"));
    for (qsizetype start = 1;;) {
        const qsizetype b = s.indexOf(u'[', start - 1) + 1;
        if (b == 0)
            return s;
        start = b + 1;
        const auto m = marker.match(QStringView(s).mid(b - 1));
        if (!m.hasMatch())
            continue;
        const qsizetype k = m.captured(1).toInt();
        const QString tail = s.mid(b - 1 + m.capturedLength());
        s = s.left(b - 1) + (k < b ? QString() : QString(k - b, u' ')) + tail;
    }
}

// The cells of a thinking line, read back from the numbers it was written with.
struct NumberText
{
    QString text;
    bool depthFits; // a whole number from 0 to 2^31 - 1
    bool longFits;  // a whole number from 0 to 2^63 - 1
    bool scoreFits; // a signed number from -2^63 to 2^63 - 1
};

} // namespace

class TestMutatedInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void suiteRecords_data() { mutations::addKindRows(); }
    void suiteRecords();
    void puzzleFiles_data() { mutations::addKindRows(); }
    void puzzleFiles();
    void settingsFiles_data() { mutations::addKindRows(); }
    void settingsFiles();
    void reportLines_data() { mutations::addKindRows(); }
    void reportLines();
    void thinkingLines_data() { mutations::addKindRows(); }
    void thinkingLines();
    void statisticsFiles_data() { mutations::addKindRows(); }
    void statisticsFiles();
    void summaryLines_data() { mutations::addKindRows(); }
    void summaryLines();
    void historyFiles_data() { mutations::addKindRows(); }
    void historyFiles();

private:
    QList<QByteArray> m_records; // every line of the shipped suites, with its line end
    QTemporaryDir m_dir;
};

void TestMutatedInput::initTestCase()
{
    for (const char* name : {"KESTREL.EPD", "WAC.EPD", "WCSAC.EPD"}) {
        const QByteArray suite = readAll(QStringLiteral(KX_SUITES_DIR "/") + QLatin1String(name));
        QVERIFY2(!suite.isEmpty(), kNoPublicSuites);
        for (qsizetype from = 0; from < suite.size();) {
            const qsizetype lf = suite.indexOf('\n', from);
            const qsizetype end = lf < 0 ? suite.size() : lf + 1;
            m_records << suite.mid(from, end - from);
            from = end;
        }
    }
    mutations::runSeed();
}

// Mutated records as a suite file, read by the suite: each
// line's bm field, best moves, board and judged position agree.
void TestMutatedInput::suiteRecords()
{
    Mutator m;
    QByteArray suite;
    for (int i = m.cases(400); i > 0; --i)
        suite += m.mutate(m.pick(m_records));
    const QString path = m_dir.filePath(QStringLiteral("MUTATED.EPD"));
    writeAll(path, suite);
    const QStringList lines = suiteLines(path);
    QVERIFY(!lines.isEmpty());
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString problem = recordProblem(lines.at(n), m);
        QVERIFY2(problem.isEmpty(),
                 m.where(int(n), lines.at(n).toUtf8()) + " -- " + problem.toUtf8());
    }
}

// Mutated puzzle rows and PGN games as suites: every record the suite takes
// for a position reads, agrees with itself, and is solved by its best move.
void TestMutatedInput::puzzleFiles()
{
    const QList<QByteArray> rows = {
        "00sHx,q3k1nr/1pp1nQpp/3p4/1P2p3/4P3/B1PP1b2/B5PP/5K2 b k - 0 17,e8d7 a2e6 d7d8 f7f8,1760,"
        "80,83,72,mate mateIn2 middlegame short,https://lichess.org/yyznGmXs/black#34,\n",
        "00008,r6k/pp2r2p/4Rp1Q/3p4/8/1N1P2R1/PqP2bPP/7K b - - 0 24,f2g3 e6e7 b2b1 b3c1 b1c1 "
        "h6c1,1913,75,94,6230,crushing hangingPiece long middlegame,,\r\n"};
    const QList<QByteArray> games = {
        "[Event \"Back rank\"]\n[FEN \"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1\"]\n\n"
        "1. Ra8# {mate; [%clk 0:01]} (1. Kf1 $2) 1-0\n\n",
        "[PuzzleId \"p7\"]\r\n\r\n1.e4 e5 2.Nf3 {a\r\n[b]} Nc6 ; c\r\n3.Bb5 (3.Bc4) *\r\n\r\n"};
    Mutator m;
    for (const auto& [name, seeds, head] :
         {std::tuple(QStringLiteral("M.csv"), rows,
                     QByteArray("PuzzleId,FEN,Moves,Rating,RatingDeviation,Popularity,NbPlays,"
                                "Themes,GameUrl,OpeningTags\n")),
          std::tuple(QStringLiteral("M.pgn"), games, QByteArray())}) {
        QByteArray content = head;
        for (int i = m.cases(300); i > 0; --i)
            content += m.mutate(m.pick(seeds));
        const QString path = m_dir.filePath(name);
        writeAll(path, content);
        Suite suite;
        if (!suite.Open(path))
            continue; // a header broken beyond reading is refused, not read
        for (qint32 n = 1; n <= suite.size(); ++n) {
            if (!suite.holdsPosition(n))
                continue;
            const Result<QString> record = suite.record(n);
            QVERIFY2(record, m.where(n, content) + " -- " + record.error().toUtf8());
            const QString problem = recordProblem(*record, m);
            QVERIFY2(problem.isEmpty(), m.where(n, record->toUtf8()) + " -- " + problem.toUtf8());
            const std::optional<ChessPosition> position = RecordPosition(*record);
            QVERIFY2(position, m.where(n, record->toUtf8()));
            const QList<ChessMove> best = RecordBestMoves(*position, *record);
            QVERIFY2(best.size() == 1 &&
                         JudgeMove(*record, {BoardMoveText(*position, best[0])}).right(),
                     m.where(n, record->toUtf8()));
        }
    }
}

// A value written is read back, written again changes nothing, and no other
// line of the file and no other key changes.
void TestMutatedInput::settingsFiles()
{
    Mutator m;
    const QList<QByteArray> files = {
        readAll(QStringLiteral(KX_SOURCE_DIR "/trainer/Kestrelux.ini")),
        "; engines\r\n[Kestrelux]\r\nEngine = /usr/games/polyglot\r\nCommandLine=-noini -ec "
        "/usr/games/stockfish\r\n\r\n[Other]\r\nEngine=/keep\r\n;Depth=3\r\n"};
    const QStringList sections = {"Kestrelux", " Kestrelux ", "KESTRELUX", "Other", "New\t"};
    const QStringList keys = {"Engine", " Engine ", "commandline", "Depth", "new key"};
    const QString none = QStringLiteral("\x01none");
    for (int i = m.cases(500); i > 0; --i) {
        const QByteArray before = m.mutate(m.pick(files));
        const QString section = m.pick(sections);
        const QString key = m.pick(keys);
        QString value;
        for (int n = m.below(30); n > 0; --n)
            value += m.chance(90) ? QChar(u' ' + m.below(95)) : QChar(u'é');
        const std::optional<QByteArray> after = WithIniValue(before, section, key, value);
        QVERIFY2(after, m.where(i, before));
        QVERIFY2(IniValue(*after, section, key, none) == value.trimmed(),
                 m.where(i, before) + " -- " + value.toUtf8());
        QVERIFY2(WithIniValue(*after, section, key, value) == after, m.where(i, before));

        const QString otherSection = m.pick(sections);
        const QString otherKey = m.pick(keys);
        if (otherSection.trimmed().compare(section.trimmed(), Qt::CaseInsensitive) != 0 ||
            otherKey.trimmed().compare(key.trimmed(), Qt::CaseInsensitive) != 0)
            QVERIFY2(IniValue(*after, otherSection, otherKey, none) ==
                         IniValue(before, otherSection, otherKey, none),
                     m.where(i, before) + " -- " + otherKey.toUtf8());
        // What was taken out lies within one line: every other line is kept.
        qsizetype head = 0;
        while (head < before.size() && head < after->size() && before[head] == (*after)[head])
            ++head;
        qsizetype tail = 0;
        while (tail < before.size() - head && tail < after->size() - head &&
               before[before.size() - 1 - tail] == (*after)[after->size() - 1 - tail])
            ++tail;
        const QByteArray removed = before.mid(head, before.size() - head - tail);
        QVERIFY2(!removed.contains('\n') && !removed.contains('\r'),
                 m.where(i, before) + " -- removed " + removed.toPercentEncoding());
    }
}

// Report lines carrying mutated solutions and suite names: markers expand as
// the algorithm says, into at most 999 columns.
void TestMutatedInput::reportLines()
{
    Mutator m;
    static const QRegularExpression markers(QStringLiteral("\\[[0-9]{0,3}\\]"));
    for (int i = m.cases(500); i > 0; --i) {
        const QByteArray piece = m.mutate(m.pick(m_records));
        AttemptLineInput attempt;
        attempt.userMove = QStringLiteral("Qd1h7");
        attempt.solutionText = QString::fromUtf8(piece);
        SummaryLineInput summary;
        summary.suiteName = QString::fromUtf8(piece);
        summary.puntiCaption = QStringLiteral("96");
        const QString line = m.chance(50)
                                 ? AttemptLine(attempt, QLocale::c())
                                 : QString::fromUtf8(m.mutate(SummaryLine(summary).toUtf8()));
        const QString expanded = AddTab(line);
        const QByteArray where = m.where(i, line.toUtf8());
        QVERIFY2(line.contains(u'[') || expanded == line, where);
        QVERIFY2(expanded.size() >= QString(line).remove(markers).size(), where);
        QVERIFY2(expanded.size() <= line.size() + kMaxColumn, where);
        if (line.size() < 4096)
            QVERIFY2(expanded == addTabModel(line), where);
    }
}

// Engine lines: a line read as thinking reads the same when written out again;
// numbers are read exactly when they fit, and refuse the line when they do not.
void TestMutatedInput::thinkingLines()
{
    Mutator m;
    const QList<QByteArray> lines = {"7 35 120 900 1. Nf3 d5 2. d4",
                                     " 12   -41    33   12345  1. ... Rxb2+ 2. Kf1 Qd1#",
                                     "8 +100002 0 9876543210 Qg6 fxg6 Nxg6#",
                                     "4 -204 2 25906 (+) 1. Nh5 Nxe5 <Qg3-g6>",
                                     "5 900 1 77 e7e8q d8e8",
                                     "1 +0 0 0 NNUE evaluation using nn-ad9b42354671.nnue enabled",
                                     "stat01: 2 4502 3 58 59 g3g6"};
    const QList<NumberText> numbers = {{"0", true, true, true},
                                       {"007", true, true, true},
                                       {"2147483647", true, true, true},
                                       {"2147483648", false, true, true},
                                       {"9223372036854775807", false, true, true},
                                       {"9223372036854775808", false, false, false},
                                       {"-9223372036854775808", false, false, true},
                                       {"+12", false, false, true},
                                       {"-1", false, false, true},
                                       {"99999999999999999999", false, false, false}};
    for (int i = m.cases(800); i > 0; --i) {
        const QByteArray mutated = m.mutate(m.pick(lines));
        const ThinkingLine read = ReadThinkingLine(QString::fromUtf8(mutated));
        if (read.ok) {
            const QString again = QStringLiteral("%1 %2 %3 %4 %5")
                                      .arg(read.depth)
                                      .arg(read.score)
                                      .arg(read.time)
                                      .arg(read.nodes)
                                      .arg(read.variation);
            const ThinkingLine back = ReadThinkingLine(again);
            QVERIFY2(back.ok && back.depth == read.depth && back.score == read.score &&
                         back.time == read.time && back.nodes == read.nodes &&
                         back.variation == read.variation && back.firstMove == read.firstMove &&
                         !read.firstMove.isEmpty(),
                     m.where(i, mutated));
        }

        const NumberText& depth = m.pick(numbers);
        const NumberText& score = m.pick(numbers);
        const NumberText& time = m.pick(numbers);
        const NumberText& nodes = m.pick(numbers);
        const QString line = QStringLiteral("%1 %2 %3 %4 1. Nf3 d5")
                                 .arg(depth.text, score.text, time.text, nodes.text);
        const ThinkingLine t = ReadThinkingLine(line);
        const bool fits = depth.depthFits && score.scoreFits && time.longFits && nodes.longFits;
        QVERIFY2(t.ok == fits, qPrintable(line));
        QVERIFY2(!t.ok || (t.depth == depth.text.toInt() && t.score == score.text.toLongLong() &&
                           t.time == time.text.toLongLong() && t.nodes == nodes.text.toLongLong() &&
                           t.firstMove == u"Nf3"),
                 qPrintable(line));
    }
}

// Whatever a statistics file holds, the table read from it is saved and read
// back unchanged.
void TestMutatedInput::statisticsFiles()
{
    Mutator m;
    TableRows rows = {{"header"}};
    for (int n = 1; n <= 12; ++n) {
        QStringList row(TableCol::Count);
        row[TableCol::Number] = QString::number(n);
        row[TableCol::BestText] = GetSolutionText(QString::fromUtf8(m.pick(m_records)));
        row[TableCol::Difficulty] = QString::number(m.below(8));
        row[TableCol::Comment] = m.pick(QStringList{"", "one\ntwo", "*/\n/*\n\\*/", "Zoë"});
        rows << row;
    }
    const QByteArray file = StatsText(rows);
    for (int i = m.cases(400); i > 0; --i) {
        const QByteArray mutated = m.mutate(file);
        const StatsReading read = ParseStats(mutated);
        QVERIFY2(!read.rows.isEmpty() && read.complete, m.where(i, mutated));
        for (const QStringList& row : read.rows)
            QVERIFY2(row.size() <= TableCol::Count, m.where(i, mutated));
        const QByteArray saved = StatsText(read.rows);
        QVERIFY2(StatsText(ParseStats(saved).rows) == saved, m.where(i, mutated));
    }
}

// A damaged history keeps only entries the review rules could have written,
// one per position, in order, and writes them back as it read them.
void TestMutatedInput::historyFiles()
{
    Mutator m;
    const QDate today(2024, 6, 15);
    std::vector<HistoryEntry> entries;
    for (qint32 n = 1; n <= 40; n += 1 + m.below(3)) {
        HistoryEntry e;
        e.number = n;
        e.key = RecordKey(QString::fromUtf8(m.pick(m_records)));
        e.attempts = 1 + m.below(9);
        for (int i = m.below(4); i > 0; --i)
            e = AfterAttempt(e, m.chance(50), m.chance(50), today.addDays(-m.below(20)));
        entries.push_back(e);
    }
    const QByteArray file = HistoryText(entries);
    for (int i = m.cases(400); i > 0; --i) {
        const QByteArray mutated = m.mutate(file);
        const HistoryReading read = ParseHistory(mutated, today);
        for (std::size_t k = 0; k < read.entries.size(); ++k) {
            QVERIFY2(IsPlausible(read.entries[k], today), m.where(i, mutated));
            QVERIFY2(k == 0 || read.entries[k - 1].number < read.entries[k].number,
                     m.where(i, mutated));
        }
        const HistoryReading again = ParseHistory(HistoryText(read.entries), today);
        QVERIFY2(again.entries == read.entries && again.dropped == 0, m.where(i, mutated));
    }
}

// Past sessions as the scores window lists them: sorted by points, each line
// behind a key of the same width, however the log was damaged.
void TestMutatedInput::summaryLines()
{
    Mutator m;
    const QStringList suites = {"WAC.EPD", "WCSAC.EPD", "MYWAC.EPD", "KESTREL.EPD"};
    const QList<QLocale> locales = {QLocale::c(), QLocale(QLocale::German)};
    const QStringList oddPoints = {"9e99", "-9e9", "1e-9", "-999", "+.5", "0x10", "", "\t9"};
    for (int i = m.cases(300); i > 0; --i) {
        QStringList log;
        QList<double> written; // the points of each unbroken summary line, NaN for others
        for (int n = 1 + m.below(8); n > 0; --n) {
            // Whole points, or one decimal below 100: what four columns hold.
            const double points = m.chance(50) ? m.below(10000) : m.below(1000) / 10.0;
            SummaryLineInput in;
            in.puntiCaption = NumberToText(points, m.pick(locales));
            // Points as a damaged log may hold them.
            const bool odd = m.chance(10);
            if (odd)
                in.puntiCaption = m.pick(oddPoints);
            in.solvedCaption = QStringLiteral("7/10(70%)");
            in.suiteName = m.pick(suites);
            in.levelTag = m.chance(50) ? QStringLiteral("[Liv<=%1]").arg(m.below(9)) : QString();
            const QString line = AddTab(SummaryLine(in));
            const bool broken = m.chance(40);
            log << (broken ? QString::fromUtf8(m.mutate(line.toUtf8())) : line);
            written << (broken || odd ? std::numeric_limits<double>::quiet_NaN() : points);
        }
        for (qsizetype n = 0; n < log.size(); ++n) {
            QVERIFY2(std::isnan(written[n]) || SummaryPoints(log[n]) == written[n],
                     m.where(i, log[n].toUtf8()));
        }
        ScoresQuery query;
        query.suite = m.chance(20) ? QStringLiteral("WAC") : m.pick(suites);
        query.statsMode = m.chance(30);
        query.levelLimit = m.below(9);
        const QStringList records = ScoreRecords(log, query);
        const QByteArray where = m.where(i, log.join(u'\n').toUtf8());
        QVERIFY2(records.size() <= log.size(), where);
        static const QRegularExpression key(QStringLiteral("^[0-9]{5} "));
        for (qsizetype n = 0; n < records.size(); ++n) {
            const QString line = records[n].mid(kScoreKeyWidth);
            QVERIFY2(key.match(records[n]).hasMatch(), where + " -- " + records[n].toUtf8());
            QVERIFY2(line.contains(u"tottime") && line.contains(query.suite), where);
            if (n == 0)
                continue;
            QVERIFY2(records[n - 1] <= records[n], where);
            const double before = SummaryPoints(records[n - 1].mid(kScoreKeyWidth));
            const double points = SummaryPoints(line);
            const auto inRange = [](double p) {
                return p >= -999 && p <= 9999;
            };
            if (inRange(before) && inRange(points))
                QVERIFY2(RoundToInt32(before) >= RoundToInt32(points), where);
        }
    }
}

QTEST_GUILESS_MAIN(TestMutatedInput)
#include "tst_mutatedinput.moc"
