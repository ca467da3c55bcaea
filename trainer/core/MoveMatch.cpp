#include "MoveMatch.h"

#include <QRegularExpression>

#include <optional>

namespace kx {

namespace {

// A move as far as a text can say it without a board. Squares are file and
// rank characters; an unknown origin part is a null QChar.
struct NamedMove
{
    QChar piece; // K Q R B N P
    QChar fromFile;
    QChar fromRank;
    QChar toFile;
    QChar toRank;
    QChar promotion;      // null when none
    bool castles = false; // king from e1 or e8 along its own rank to toFile
};

// The user's move as the board writes it: "Ng1f3", "Pe7e8=Q".
std::optional<NamedMove> parseUserMove(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^([KQRBNP])([a-h])([1-8])([a-h])([1-8])(?:=?([QRBN]))?$"));
    const auto m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    NamedMove move;
    move.piece = m.captured(1)[0];
    move.fromFile = m.captured(2)[0];
    move.fromRank = m.captured(3)[0];
    move.toFile = m.captured(4)[0];
    move.toRank = m.captured(5)[0];
    if (m.hasCaptured(6))
        move.promotion = m.captured(6)[0];
    return move;
}

QString withoutMarks(const QString& word)
{
    QString text;
    for (const QChar c : word) {
        if (c != u'x' && c != u'+' && c != u'#' && c != u'!' && c != u'?')
            text += c;
    }
    return text;
}

// One SAN word. Castling names the king's move, on whichever back rank the
// user's move shows (the entry itself does not say the side).
std::optional<NamedMove> parseSan(const QString& word)
{
    const QString text = withoutMarks(word);
    if (text == u"O-O" || text == u"0-0")
        return NamedMove{u'K', u'e', QChar(), u'g', QChar(), QChar(), true};
    if (text == u"O-O-O" || text == u"0-0-0")
        return NamedMove{u'K', u'e', QChar(), u'c', QChar(), QChar(), true};
    static const QRegularExpression san(
        QStringLiteral("^([KQRBNP])?([a-h])?([1-8])?([a-h])([1-8])(?:=?([QRBN]))?$"));
    const auto m = san.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    NamedMove move;
    move.piece = m.hasCaptured(1) ? m.captured(1)[0] : QChar(u'P');
    if (m.hasCaptured(2))
        move.fromFile = m.captured(2)[0];
    if (m.hasCaptured(3))
        move.fromRank = m.captured(3)[0];
    move.toFile = m.captured(4)[0];
    move.toRank = m.captured(5)[0];
    if (m.hasCaptured(6))
        move.promotion = m.captured(6)[0];
    return move;
}

bool castlingRankAgrees(const NamedMove& user)
{
    return user.fromRank == user.toRank && (user.fromRank == u'1' || user.fromRank == u'8');
}

bool names(const NamedMove& user, const QString& word)
{
    const auto best = parseSan(word);
    if (!best)
        return false;
    if (best->castles)
        return user.piece == u'K' && user.fromFile == u'e' && user.toFile == best->toFile &&
               castlingRankAgrees(user) && user.promotion.isNull();
    return user.piece == best->piece && user.toFile == best->toFile &&
           user.toRank == best->toRank &&
           // An entry that does not name the promoted piece accepts any.
           (best->promotion.isNull() || user.promotion == best->promotion) &&
           (best->fromFile.isNull() || best->fromFile == user.fromFile) &&
           (best->fromRank.isNull() || best->fromRank == user.fromRank);
}

} // namespace

bool MatchMove(const QString& userMove, const QString& bestMove)
{
    const auto user = parseUserMove(userMove);
    if (!user)
        return false;
    const auto words = bestMove.split(u' ', Qt::SkipEmptyParts);
    for (const QString& word : words) {
        if (names(*user, word))
            return true;
    }
    return false;
}

} // namespace kx
