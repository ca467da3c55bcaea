#include "Judging.h"

#include "Epd.h"
#include "MoveNotation.h"

namespace kx {

namespace {

constexpr int kFenWords = 4;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isCastlingField(QStringView word)
{
    if (word == u"-")
        return true;
    if (word.isEmpty() || word.size() > 4)
        return false;
    for (const QChar c : word) {
        if (c != u'K' && c != u'Q' && c != u'k' && c != u'q')
            return false;
    }
    return true;
}

bool isEnPassantField(QStringView word)
{
    return word == u"-" || (word.size() == 2 && word[0] >= u'a' && word[0] <= u'h' &&
                            (word[1] == u'3' || word[1] == u'6'));
}

} // namespace

std::optional<ChessPosition> RecordPosition(const QString& record)
{
    QList<QStringView> words;
    const QStringView line(record);
    for (qsizetype i = 0; words.size() < kFenWords;) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        qsizetype j = i;
        while (j < line.size() && !isBlank(line[j]))
            ++j;
        if (i == j)
            break;
        words.append(line.mid(i, j - i));
        i = j;
    }
    if (words.isEmpty())
        return std::nullopt;

    QString fen = words[0].toString();
    const QStringView side = words.value(1);
    if (side == u"w" || side == u"b" || side == u"W" || side == u"B") {
        fen += side == u"b" || side == u"B" ? u" b" : u" w";
        // The FEN may end with the ";" of the first operation glued to it.
        bool ended = false;
        const auto field = [&](qsizetype n, bool (*valid)(QStringView)) {
            QStringView word = ended ? QStringView() : words.value(n);
            if (word.endsWith(u';')) {
                word.chop(1);
                ended = true;
            }
            if (!valid(word)) {
                ended = true;
                return QStringLiteral(" -");
            }
            return QStringLiteral(" ") + word.toString();
        };
        fen += field(2, isCastlingField);
        fen += field(3, isEnPassantField);
    } else {
        // No side field: Black only when the text after the placement starts
        // with "b", as the board reads it.
        fen += side.startsWith(u'b', Qt::CaseInsensitive) ? u" b - -" : u" w - -";
    }
    return ChessPosition::FromFen(fen);
}

namespace {

QList<ChessMove> movesNamed(const ChessPosition& position, const QStringList& words)
{
    QList<ChessMove> named;
    for (const QString& word : words) {
        const std::optional<ChessMove> move = ParseMove(position, word);
        if (move && !named.contains(*move))
            named.append(*move);
    }
    return named;
}

// A move as the board writes it: the piece, the origin and a promotion are
// always named, so a text missing any of them is no move of the board's.
std::optional<ChessMove> boardMove(const ChessPosition& position, const QString& text)
{
    const std::optional<MoveText> named = ReadMoveText(text);
    if (!named || named->piece == NoKind || !named->fromSquareGiven())
        return std::nullopt;
    const std::optional<ChessMove> move = ParseMove(position, text);
    if (!move || (move->promotion != NoKind && named->promotion == NoKind))
        return std::nullopt;
    return move;
}

bool mates(ChessPosition position, const ChessMove& move)
{
    position.MakeMove(move);
    return position.inCheck() && position.LegalMoves().size() == 0;
}

// The first move of an attempt against the record alone: bm governs, then
// am, then the line's first move.
Verdict::Answer firstAnswer(const ChessPosition& position, const QString& record,
                            const ChessMove& move)
{
    if (mates(position, move))
        return Verdict::Answer::Mate;
    if (const QList<ChessMove> best = RecordBestMoves(position, record); !best.isEmpty())
        return best.contains(move) ? Verdict::Answer::Best : Verdict::Answer::Wrong;
    if (const QList<ChessMove> avoid = RecordAvoidMoves(position, record); !avoid.isEmpty())
        return avoid.contains(move) ? Verdict::Answer::Avoided : Verdict::Answer::NotAvoided;
    const std::optional<ChessMove> first = ParseMove(position, GetLineMoveWords(record).value(0));
    return first == move ? Verdict::Answer::Best : Verdict::Answer::Wrong;
}

// The line's moves numbered from 1 in SAN: "1.Qxh7+ Kxh7 2.Ng5+", "1...Qf1+ 2.Kg2".
QString numberedLine(ChessPosition position, const QList<ChessMove>& line)
{
    QStringList words;
    int number = 1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QString san = SanOf(position, line.at(i));
        if (!position.blackToMove())
            words << QString::number(number) + u'.' + san;
        else
            words << (i == 0 ? QString::number(number) + QStringLiteral("...") + san : san);
        number += position.blackToMove() ? 1 : 0;
        position.MakeMove(line.at(i));
    }
    return words.join(u' ');
}

} // namespace

QList<ChessMove> RecordBestMoves(const ChessPosition& position, const QString& record)
{
    return movesNamed(position, GetBestMoveWords(record));
}

QList<ChessMove> RecordAvoidMoves(const ChessPosition& position, const QString& record)
{
    return movesNamed(position, GetAvoidMoveWords(record));
}

QList<ChessMove> RecordLine(const ChessPosition& position, const QString& record)
{
    QList<ChessMove> line;
    ChessPosition at = position;
    for (const QString& word : GetLineMoveWords(record)) {
        const std::optional<ChessMove> move = ParseMove(at, word);
        if (!move)
            break; // used up to its last legal move
        line.append(*move);
        at.MakeMove(*move);
    }
    if (line.isEmpty())
        return line;
    const Verdict::Answer first = firstAnswer(position, record, line.first());
    if (first == Verdict::Answer::Wrong || first == Verdict::Answer::Avoided)
        line.clear(); // a line that does not start with an answer trains one move
    return line;
}

Verdict JudgeMove(const QString& record, const QStringList& moves, LineMode mode)
{
    Verdict verdict;
    const std::optional<ChessPosition> start = RecordPosition(record);
    if (!start || moves.isEmpty())
        return verdict;
    const QList<ChessMove> line = RecordLine(*start, record);
    // The moves before the last have followed the line (each was judged).
    const qsizetype ply = moves.size() - 1;
    if (ply > 0 && (mode != LineMode::WholeLine || ply >= line.size()))
        return verdict;
    ChessPosition position = *start;
    for (qsizetype i = 0; i < ply; ++i) {
        if (boardMove(position, moves.at(i)) != line.at(i))
            return verdict;
        position.MakeMove(line.at(i));
    }

    verdict.dueFen = position.ToFen();
    if (ply > 0) {
        verdict.solution = numberedLine(*start, line.mid(0, ply + 1));
        verdict.wanted = CoordinateOf(line.at(ply));
    } else {
        verdict.solution = GetSolutionText(record);
        const QList<ChessMove> best = RecordBestMoves(position, record);
        if (!line.isEmpty() && (best.isEmpty() || best.contains(line.first())))
            verdict.wanted = CoordinateOf(line.first());
        else if (!best.isEmpty())
            verdict.wanted = CoordinateOf(best.first());
    }

    const std::optional<ChessMove> move = boardMove(position, moves.at(ply));
    if (!move)
        return verdict;
    if (ply == 0)
        verdict.answer = firstAnswer(position, record, *move);
    else if (mates(position, *move))
        verdict.answer = Verdict::Answer::Mate;
    else
        verdict.answer = *move == line.at(ply) ? Verdict::Answer::Best : Verdict::Answer::Wrong;

    // Along the line, a right move that is the line's own is answered while
    // a move of the user's side is still to come.
    const bool onLine = ply < line.size() && *move == line.at(ply);
    if (mode == LineMode::WholeLine && verdict.right() && verdict.answer != Verdict::Answer::Mate &&
        onLine && ply + 2 < line.size())
        verdict.reply = line.at(ply + 1);
    return verdict;
}

} // namespace kx
