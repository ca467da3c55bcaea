#include "UciLine.h"

#include "MoveNotation.h"

#include <QRegularExpression>
#include <QStringList>

#include <limits>

namespace kx {

namespace {

constexpr qint64 kMateScore = 100000;
// A mate further away than this is no mate an engine reports; it would only
// push the score past what the layout's readers take.
constexpr qint64 kLongestMate = std::numeric_limits<qint32>::max();

QStringList words(const QString& text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.split(blanks, Qt::SkipEmptyParts);
}

// The words that start a field of an info line; a pv runs up to the next one.
bool isInfoKeyword(const QString& word)
{
    static const QStringList keywords = {
        QStringLiteral("depth"),      QStringLiteral("seldepth"), QStringLiteral("time"),
        QStringLiteral("nodes"),      QStringLiteral("pv"),       QStringLiteral("multipv"),
        QStringLiteral("score"),      QStringLiteral("currmove"), QStringLiteral("currmovenumber"),
        QStringLiteral("hashfull"),   QStringLiteral("nps"),      QStringLiteral("tbhits"),
        QStringLiteral("sbhits"),     QStringLiteral("cpuload"),  QStringLiteral("string"),
        QStringLiteral("refutation"), QStringLiteral("currline"), QStringLiteral("wdl"),
    };
    return keywords.contains(word);
}

// What the fields of an info line say, before the pv is played.
struct InfoFields
{
    bool valid = true; // false: a number is missing or out of range
    bool hasDepth = false;
    bool hasScore = false;
    qint64 depth = 0;
    qint64 score = 0;
    qint64 milliseconds = 0;
    qint64 nodes = 0;
    qint64 multipv = 1;
    QString bound; // "!" for a lower bound, "?" for an upper one
    QStringList pv;
    bool infoString = false;
};

InfoFields readFields(const QStringList& w)
{
    InfoFields f;
    qsizetype i = 1;
    const auto number = [&](qint64& into) {
        bool ok = false;
        into = i + 1 < w.size() ? w[i + 1].toLongLong(&ok) : 0;
        f.valid = f.valid && ok;
        i += 2;
        return ok;
    };
    while (i < w.size() && f.valid) {
        const QString& key = w[i];
        if (key == u"string") {
            f.infoString = true; // the rest of the line is text
            return f;
        }
        if (key == u"depth") {
            f.hasDepth = number(f.depth);
            f.valid = f.valid && f.depth >= 0 && f.depth <= std::numeric_limits<qint32>::max();
        } else if (key == u"time") {
            number(f.milliseconds);
        } else if (key == u"nodes") {
            number(f.nodes);
        } else if (key == u"multipv") {
            number(f.multipv);
        } else if (key == u"score") {
            // "score cp 35", "score mate -3", either perhaps with a bound after it.
            for (++i; i < w.size();) {
                if (w[i] == u"cp") {
                    f.hasScore = number(f.score);
                } else if (w[i] == u"mate") {
                    qint64 moves = 0;
                    f.hasScore = number(moves);
                    f.valid = f.valid && qAbs(moves) <= kLongestMate;
                    f.score = moves > 0 ? kMateScore + moves : -kMateScore + moves;
                } else if (w[i] == u"lowerbound" || w[i] == u"upperbound") {
                    f.bound = w[i] == u"lowerbound" ? QStringLiteral("!") : QStringLiteral("?");
                    ++i;
                } else {
                    break;
                }
            }
        } else if (key == u"pv") {
            for (++i; i < w.size() && !isInfoKeyword(w[i]); ++i)
                f.pv << w[i];
        } else {
            ++i; // a field not needed here, or its value
        }
    }
    return f;
}

} // namespace

UciThinking ReadUciInfo(const QString& line, const std::optional<ChessPosition>& position)
{
    UciThinking read;
    const QStringList w = words(line);
    if (w.isEmpty() || w.first() != u"info")
        return read;
    const InfoFields f = readFields(w);
    read.infoString = f.infoString;
    if (f.infoString || !f.valid || !f.hasDepth || !f.hasScore || f.pv.isEmpty() || f.multipv != 1)
        return read;

    QStringList variation;
    if (position) {
        ChessPosition at = *position;
        int moveNumber = at.fullmoveNumber();
        for (const QString& word : f.pv) {
            const std::optional<ChessMove> move = ParseMove(at, word);
            if (!move) {
                read.illegalMove = word;
                break;
            }
            const bool first = variation.isEmpty();
            const bool black = at.blackToMove();
            if (!black)
                variation << QString::number(moveNumber) + u'.';
            else if (first)
                variation << QString::number(moveNumber) + u'.' << QStringLiteral("...");
            variation << SanOf(at, *move) + (first ? f.bound : QString());
            at.MakeMove(*move);
            if (black)
                ++moveNumber;
        }
    } else {
        variation = f.pv;
        variation.first() += f.bound;
    }

    ThinkingLine& t = read.thinking;
    t.depth = qint32(f.depth);
    t.score = f.score;
    t.time = f.milliseconds / 10;
    t.nodes = f.nodes;
    t.variation = variation.join(u' ');
    t.firstMove = FirstMove(t.variation);
    t.ok = !t.firstMove.isEmpty() && f.milliseconds >= 0 && f.nodes >= 0;
    if (t.ok)
        read.text = QStringLiteral("%1 %2%3 %4 %5 %6")
                        .arg(t.depth)
                        .arg(t.score >= 0 ? QStringLiteral("+") : QString())
                        .arg(t.score)
                        .arg(t.time)
                        .arg(t.nodes)
                        .arg(t.variation);
    return read;
}

bool IsUciGreeting(const QString& line)
{
    const QStringList w = words(line);
    if (w.isEmpty())
        return false;
    if (w.first() == u"uciok")
        return w.size() == 1;
    const QString second = w.value(1);
    return (w.first() == u"id" && (second == u"name" || second == u"author")) ||
           (w.first() == u"option" && second == u"name");
}

bool RefusesXboardGreeting(const QString& line)
{
    // Engines word their refusals freely; what they share is naming the
    // command refused and a word of refusal.
    const QString text = line.toLower();
    const bool names =
        text.contains(QLatin1String("xboard")) || text.contains(QLatin1String("protover"));
    return names &&
           (text.contains(QLatin1String("unknown")) || text.contains(QLatin1String("error")) ||
            text.contains(QLatin1String("illegal")) || text.contains(QLatin1String("invalid")));
}

} // namespace kx
