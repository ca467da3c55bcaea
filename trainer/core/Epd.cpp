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

// A move number before a move, as lines are often written: "12." or "12..."
// alone, or glued to the move ("12.Nf3"). What is left after it.
QStringView withoutMoveNumber(QStringView word)
{
    qsizetype digits = 0;
    while (digits < word.size() && word[digits].isDigit())
        ++digits;
    qsizetype dots = digits;
    while (dots < word.size() && word[dots] == u'.')
        ++dots;
    return digits > 0 && dots > digits ? word.mid(dots) : word;
}

// Calls take(word, isMark) for each word from position from on, while the
// words are moves (move numbers before them skipped) or lone annotation
// marks; a move-like word that opens a quoted operand (c1 "text") is an
// operation, not a move. Returns where the last word taken ends (from when
// none is).
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
        const QStringView word = withoutMoveNumber(line.mid(i, j - i));
        if (word.isEmpty()) {
            i = j;
            continue;
        }
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

// The record's operation of that name up to, not including, its ";", or ""
// when the record has none; see GetBmField.
QString operationField(const QString& record, const QString& name)
{
    const QString line = withoutLineEnd(record);
    const OperationSpan op = findOperation(line, afterPlacement(line), {name});
    return op.begin < 0 ? QString() : line.mid(op.begin, op.end - op.begin);
}

// The moves of an operation field as written, a lone mark joined to the move before it.
QStringList fieldMoveWords(const QString& field)
{
    QStringList moves;
    takeMoveWords(field, 2, [&moves](QStringView word, bool mark) {
        if (!mark)
            moves.append(word.toString());
        else if (!moves.isEmpty())
            moves.last() += word;
    });
    return moves;
}

} // namespace

QString GetBmField(const QString& record)
{
    return operationField(record, QStringLiteral("bm"));
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
    // Without best moves the answer is any move but the avoided ones, or the
    // line's first move.
    if (const QStringList avoid = GetAvoidMoveWords(record); !avoid.isEmpty())
        return QStringLiteral("not ") + avoid.join(u' ');
    if (const QStringList line = GetLineMoveWords(record); !line.isEmpty())
        return line.first();
    return QStringLiteral("a1");
}

QString SolutionShown(const QString& record)
{
    QString shown = GetBmField(record);
    if (shown.isEmpty() && !GetAvoidMoveWords(record).isEmpty())
        shown = GetSolutionText(record);
    const QStringList line = GetLineMoveWords(record);
    if (!line.isEmpty())
        shown += (shown.isEmpty() ? QString() : QStringLiteral("\n")) + QStringLiteral("pv ") +
                 line.join(u' ');
    return shown;
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
    return fieldMoveWords(GetBmField(record));
}

QStringList GetAvoidMoveWords(const QString& record)
{
    return fieldMoveWords(operationField(record, QStringLiteral("am")));
}

QStringList GetLineMoveWords(const QString& record)
{
    return fieldMoveWords(operationField(record, QStringLiteral("pv")));
}

} // namespace kx
