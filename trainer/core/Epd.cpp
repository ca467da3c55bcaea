#include "Epd.h"

#include "MoveNotation.h"

namespace kx {

namespace {

constexpr qsizetype kMinBmFieldLength = 5; // "bm" + blank + a two-character move
const QString kBmPrefix = QStringLiteral("bm ");

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// A record line read with its CR LF line end still attached: the end is not
// part of the record.
QString withoutLineEnd(const QString& record)
{
    qsizetype n = record.size();
    while (n > 0 && (record[n - 1] == u'\r' || record[n - 1] == u'\n'))
        --n;
    return record.left(n);
}

bool isAnnotation(QStringView word)
{
    if (word.isEmpty())
        return false;
    for (const QChar c : word) {
        if (c != u'+' && c != u'#' && c != u'!' && c != u'?')
            return false;
    }
    return true;
}

// Calls take(word, isMark) for each word from position from on, while the
// words are moves or lone annotation marks; a move-like word that opens a
// quoted operand (c1 "text") is an operation, not a move. Returns where
// the last word taken ends (from when none is).
template<typename Take> qsizetype takeMoveWords(QStringView line, qsizetype from, Take take)
{
    const qsizetype n = line.size();
    qsizetype end = from;
    for (qsizetype i = from;;) {
        while (i < n && isBlank(line[i]))
            ++i;
        qsizetype j = i;
        while (j < n && !isBlank(line[j]))
            ++j;
        if (i == j)
            return end;
        const QStringView word = line.mid(i, j - i);
        const bool mark = isAnnotation(word);
        if (!mark) {
            qsizetype next = j;
            while (next < n && isBlank(line[next]))
                ++next;
            if (!ReadMoveText(word) || (next < n && line[next] == u'"'))
                return end;
        }
        take(word, mark);
        end = i = j;
    }
}

QString trimBlanks(const QString& text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == u' ')
        ++from;
    while (to > from && text[to - 1] == u' ')
        --to;
    return text.mid(from, to - from);
}

} // namespace

namespace {

// Where the placement ends: the side, castling and en-passant fields that
// follow can never hold an operation's name, so scanning on from here is safe.
qsizetype afterPlacement(QStringView line)
{
    qsizetype i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    while (i < line.size() && !isBlank(line[i]))
        ++i;
    return i;
}

struct OperationSpan
{
    qsizetype begin = -1; // where its name starts; -1 when there is none
    qsizetype end = -1;   // where it ends: at its ";", or after its moves without one
    bool semicolon = false;
};

// The first operation named one of names ("bm", ...) at or after from, outside
// quoted text: a name at the start of the operations or after ";" or a blank,
// followed by a space.
OperationSpan findOperation(QStringView line, qsizetype from, const QStringList& names)
{
    bool quoted = false;
    for (qsizetype i = from; i < line.size(); ++i) {
        if (line[i] == u'"') {
            quoted = !quoted;
            continue;
        }
        const bool atWordStart = i > 0 && (line[i - 1] == u';' || isBlank(line[i - 1]));
        if (quoted || !atWordStart || i + 2 >= line.size() || line[i + 2] != u' ' ||
            !names.contains(line.mid(i, 2)))
            continue;
        OperationSpan span;
        span.begin = i;
        span.end = line.indexOf(u';', i);
        span.semicolon = span.end >= 0;
        if (!span.semicolon)
            span.end = takeMoveWords(line, i + 2, [](QStringView, bool) {});
        return span;
    }
    return {};
}

} // namespace

QString GetBmField(const QString& record)
{
    const QString line = withoutLineEnd(record);
    const OperationSpan bm = findOperation(line, afterPlacement(line), {QStringLiteral("bm")});
    return bm.begin < 0 ? QString() : line.mid(bm.begin, bm.end - bm.begin);
}

QString WithoutSolution(const QString& record)
{
    static const QStringList kSolutionOps = {QStringLiteral("bm"), QStringLiteral("am"),
                                             QStringLiteral("pv")};
    const QString line = withoutLineEnd(record);
    QString kept;
    qsizetype from = 0;
    for (qsizetype at = afterPlacement(line);;) {
        const OperationSpan op = findOperation(line, at, kSolutionOps);
        if (op.begin < 0)
            break;
        kept += QStringView(line).mid(from, op.begin - from);
        from = at = op.end + (op.semicolon ? 1 : 0);
    }
    kept += QStringView(line).mid(from);
    return kept.simplified();
}

QString GetSolutionText(const QString& record)
{
    const QString field = GetBmField(record);
    if (field.startsWith(kBmPrefix) && field.size() >= kMinBmFieldLength)
        return field.mid(kBmPrefix.size());
    return QStringLiteral("a1");
}

QString PopToken(QString& text)
{
    text = trimBlanks(text);
    const qsizetype blank = text.indexOf(u' ');
    if (blank < 0) {
        QString all = text;
        text.clear();
        return all;
    }
    const QString first = text.left(blank);
    text = text.mid(blank + 1);
    return first;
}

QString CleanMove(const QString& move)
{
    QString clean;
    clean.reserve(move.size());
    for (const QChar c : move) {
        if (c != u'x' && c != u'+' && c != u'!' && c != u'?')
            clean += c;
    }
    return clean;
}

QStringList GetBestMoveWords(const QString& record)
{
    const QString field = GetBmField(record);
    QStringList moves;
    takeMoveWords(field, 2, [&moves](QStringView word, bool mark) {
        if (!mark)
            moves.append(word.toString());
        else if (!moves.isEmpty())
            moves.last() += word;
    });
    return moves;
}

} // namespace kx
