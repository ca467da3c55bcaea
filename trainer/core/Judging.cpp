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

QList<ChessMove> RecordBestMoves(const ChessPosition& position, const QString& record)
{
    QList<ChessMove> best;
    for (const QString& word : GetBestMoveWords(record)) {
        const std::optional<ChessMove> move = ParseMove(position, word);
        if (move && !best.contains(*move))
            best.append(*move);
    }
    return best;
}

bool JudgeMove(const QString& record, const QString& userMove)
{
    const std::optional<ChessPosition> position = RecordPosition(record);
    const std::optional<MoveText> named = ReadMoveText(userMove);
    // The board always names the piece, the origin and a promotion.
    if (!position || !named || named->piece == NoKind || !named->fromSquareGiven())
        return false;
    const std::optional<ChessMove> move = ParseMove(*position, userMove);
    if (!move || (move->promotion != NoKind && named->promotion == NoKind))
        return false;
    return RecordBestMoves(*position, record).contains(*move);
}

} // namespace kx
