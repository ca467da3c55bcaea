#include "PgnGame.h"

#include "ChessPosition.h"
#include "LineReader.h"
#include "MoveNotation.h"

#include <QByteArrayList>
#include <QList>

#include <algorithm>
#include <limits>
#include <utility>

namespace kx {

namespace {

constexpr int kFenFields = 4;
const QString kInitialFen =
    QStringLiteral("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// What a game says: its tags and the moves of its main line as written.
struct PgnParts
{
    QList<std::pair<QByteArray, QString>> tags;
    QByteArrayList moves;

    QString tag(QByteArrayView name) const
    {
        for (const auto& [tagName, value] : tags) {
            if (QByteArrayView(tagName).compare(name, Qt::CaseInsensitive) == 0)
                return value;
        }
        return QString();
    }
};

// A tag "[Name "value"]" from its "[" on; i is left after it.
std::pair<QByteArray, QString> readTag(QByteArrayView game, qsizetype& i)
{
    ++i;
    const qsizetype nameFrom = i;
    while (i < game.size() && !isSpace(game[i]) && game[i] != '"' && game[i] != ']')
        ++i;
    const QByteArray name = game.sliced(nameFrom, i - nameFrom).toByteArray();
    while (i < game.size() && isSpace(game[i]) && game[i] != '\n')
        ++i;
    QByteArray value;
    if (i < game.size() && game[i] == '"') {
        for (++i; i < game.size() && game[i] != '"' && game[i] != '\n'; ++i) {
            if (game[i] == '\\' && i + 1 < game.size())
                ++i;
            value += game[i];
        }
    }
    while (i < game.size() && game[i] != ']' && game[i] != '\n')
        ++i;
    if (i < game.size() && game[i] == ']')
        ++i;
    return {name, DecodeLine(value)};
}

// The word of movetext that starts at i, its move number dropped ("12.",
// "12...Nf3"); i is left after it.
QByteArrayView readWord(QByteArrayView game, qsizetype& i)
{
    const qsizetype from = i;
    while (i < game.size() && !isSpace(game[i]) && !QByteArrayView("{}()[];$").contains(game[i]))
        ++i;
    QByteArrayView word = game.sliced(from, i - from);
    qsizetype digits = 0;
    while (digits < word.size() && word[digits] >= '0' && word[digits] <= '9')
        ++digits;
    if (digits == word.size())
        return QByteArrayView(); // a bare number
    if (digits > 0 && word[digits] == '.') {
        while (digits < word.size() && word[digits] == '.')
            ++digits;
        word = word.sliced(digits);
    }
    return word;
}

PgnParts readParts(QByteArrayView game, qsizetype maxMoves)
{
    PgnParts parts;
    int depth = 0; // of variations
    for (qsizetype i = 0; i < game.size() && parts.moves.size() < maxMoves;) {
        const char c = game[i];
        const bool lineStart = i == 0 || game[i - 1] == '\n';
        if (isSpace(c)) {
            ++i;
        } else if (c == '{') {
            const qsizetype end = game.indexOf('}', i);
            i = end < 0 ? game.size() : end + 1;
        } else if (c == ';' || (c == '%' && lineStart)) {
            const qsizetype end = game.indexOf('\n', i);
            i = end < 0 ? game.size() : end + 1;
        } else if (c == '[') {
            const std::pair<QByteArray, QString> tag = readTag(game, i);
            if (parts.moves.isEmpty() && depth == 0)
                parts.tags.append(tag);
        } else if (c == '(' || c == ')') {
            depth = c == '(' ? depth + 1 : qMax(0, depth - 1);
            ++i;
        } else if (c == '$') {
            for (++i; i < game.size() && game[i] >= '0' && game[i] <= '9';)
                ++i;
        } else if (const QByteArrayView word = readWord(game, i); word.isEmpty()) {
            i += c == '}' || c == ']' ? 1 : 0; // a stray closing bracket
        } else if (word == "1-0" || word == "0-1" || word == "1/2-1/2" || word == "*") {
            if (depth == 0)
                break; // the game's end
        } else if (std::all_of(word.begin(), word.end(),
                               [](char m) { return QByteArrayView("!?+#").contains(m); })) {
            // an annotation standing apart from its move
        } else if (depth == 0) {
            parts.moves << word.toByteArray();
        }
    }
    return parts;
}

// The start position and its first move, checked.
struct Start
{
    std::optional<ChessPosition> position;
    ChessMove first;
};

Result<Start> readStart(const PgnParts& parts)
{
    Start start;
    const QString fen = parts.tag("FEN").trimmed();
    start.position = ChessPosition::FromFen(fen.isEmpty() ? kInitialFen : fen);
    if (!start.position)
        return Fail(QStringLiteral("its FEN tag is no legal position"));
    if (parts.moves.isEmpty())
        return Fail(QStringLiteral("it has no moves"));
    const QString text = QString::fromLatin1(parts.moves.first());
    const std::optional<ChessMove> first = ParseMove(*start.position, text);
    if (!first)
        return Fail(QStringLiteral("its first move %1 cannot be played").arg(text));
    start.first = *first;
    return start;
}

} // namespace

bool IsPgnPosition(QByteArrayView game)
{
    return readStart(readParts(game, 1)).ok();
}

Result<QString> PgnGameToEpd(QByteArrayView game)
{
    const PgnParts parts = readParts(game, std::numeric_limits<qsizetype>::max());
    const Result<Start> start = readStart(parts);
    if (!start)
        return Fail(start.error());
    ChessPosition position = *start->position;
    QString record = position.ToFen().section(u' ', 0, kFenFields - 1);
    record += QStringLiteral(" bm %1;").arg(SanOf(position, start->first));
    QString id;
    for (const char* name : {"PuzzleId", "ProblemId", "Id", "Event"}) {
        if (id.isEmpty())
            id = parts.tag(name).trimmed();
    }
    // "?" is PGN's word for an event nobody named; a quote would end the text.
    if (!id.isEmpty() && id != u"?")
        record += QStringLiteral(" id \"%1\";").arg(id.replace(u'"', u'\''));
    QStringList line;
    for (const QByteArray& word : parts.moves) {
        const std::optional<ChessMove> move = ParseMove(position, QString::fromLatin1(word));
        if (!move)
            break;
        line << SanOf(position, *move);
        position.MakeMove(*move);
    }
    record += QStringLiteral(" pv %1;").arg(line.join(u' '));
    return record;
}

} // namespace kx
