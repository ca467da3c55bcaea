#include "MoveNotation.h"

namespace kx {

namespace {

PieceKind pieceOfLetter(QChar c)
{
    switch (c.unicode()) {
    case 'P':
        return Pawn;
    case 'N':
        return Knight;
    case 'B':
        return Bishop;
    case 'R':
        return Rook;
    case 'Q':
        return Queen;
    case 'K':
        return King;
    default:
        return NoKind;
    }
}

bool isFile(QChar c)
{
    return c >= u'a' && c <= u'h';
}

bool isRank(QChar c)
{
    return c >= u'1' && c <= u'8';
}

bool isMark(QChar c)
{
    return c == u'+' || c == u'#' || c == u'!' || c == u'?';
}

QString squareName(int square)
{
    return QString(QChar(u'a' + square % 8)) + QChar(u'1' + square / 8);
}

} // namespace

std::optional<MoveText> ReadMoveText(QStringView word)
{
    qsizetype end = word.size();
    while (end > 0 && isMark(word[end - 1]))
        --end;
    QStringView text = word.left(end);
    MoveText move;
    if (text == u"O-O" || text == u"0-0") {
        move.castling = MoveText::Short;
        return move;
    }
    if (text == u"O-O-O" || text == u"0-0-0") {
        move.castling = MoveText::Long;
        return move;
    }

    // Read from the end: promotion, destination, capture or dash, origin.
    qsizetype i = text.size();
    if (i >= 3 && pieceOfLetter(text[i - 1].toUpper()) > Pawn &&
        pieceOfLetter(text[i - 1].toUpper()) < King) {
        move.promotion = pieceOfLetter(text[i - 1].toUpper());
        --i;
        if (text[i - 1] == u'=')
            --i;
    }
    if (i < 2 || !isFile(text[i - 2]) || !isRank(text[i - 1]))
        return std::nullopt;
    move.to = (text[i - 1].unicode() - u'1') * 8 + (text[i - 2].unicode() - u'a');
    i -= 2;
    if (i > 0 && (text[i - 1] == u'x' || text[i - 1] == u'-' || text[i - 1] == u':'))
        --i;
    qsizetype k = 0;
    if (k < i && pieceOfLetter(text[k]) != NoKind)
        move.piece = pieceOfLetter(text[k++]);
    if (k < i && isFile(text[k]))
        move.fromFile = text[k++].unicode() - u'a';
    if (k < i && isRank(text[k]))
        move.fromRank = text[k++].unicode() - u'1';
    if (k != i)
        return std::nullopt;
    // A promotion letter stands only after a pawn's move.
    if (move.promotion != NoKind && move.piece != NoKind && move.piece != Pawn)
        return std::nullopt;
    return move;
}

QList<ChessMove> MovesNamed(const ChessPosition& position, QStringView text)
{
    QList<ChessMove> named;
    const std::optional<MoveText> read = ReadMoveText(text);
    if (!read)
        return named;
    for (const ChessMove& move : position.LegalMoves()) {
        if (read->castling != MoveText::NoCastling) {
            const bool isShort = move.to > move.from;
            if (!(move.flags & ChessMove::Castling) ||
                isShort != (read->castling == MoveText::Short))
                continue;
        } else {
            const PieceKind piece = position.kindAt(move.from);
            // Without a piece letter SAN means a pawn; a coordinate move
            // means whatever stands on its origin.
            const PieceKind wanted = read->piece != NoKind     ? read->piece
                                     : read->fromSquareGiven() ? piece
                                                               : Pawn;
            const PieceKind promotion =
                move.promotion != NoKind && read->promotion == NoKind ? Queen : read->promotion;
            if (move.to != read->to || piece != wanted || move.promotion != promotion ||
                (read->fromFile >= 0 && move.from % 8 != read->fromFile) ||
                (read->fromRank >= 0 && move.from / 8 != read->fromRank))
                continue;
        }
        named.append(move);
    }
    return named;
}

std::optional<ChessMove> ParseMove(const ChessPosition& position, QStringView text)
{
    const QList<ChessMove> named = MovesNamed(position, text);
    if (named.size() != 1)
        return std::nullopt; // none, or ambiguous
    return named.first();
}

QString SanOf(const ChessPosition& position, const ChessMove& move)
{
    QString san;
    const PieceKind piece = position.kindAt(move.from);
    const bool capture = position.kindAt(move.to) != NoKind || (move.flags & ChessMove::EnPassant);
    const MoveList legal = position.LegalMoves();
    if (move.flags & ChessMove::Castling) {
        san = move.to > move.from ? QStringLiteral("O-O") : QStringLiteral("O-O-O");
    } else {
        if (piece == Pawn) {
            if (capture)
                san += QChar(u'a' + move.from % 8);
        } else {
            san += QLatin1Char(kPieceLetters[piece]);
            bool rivals = false;
            bool sameFile = false;
            bool sameRank = false;
            for (const ChessMove& other : legal) {
                if (other.to != move.to || other.from == move.from ||
                    position.kindAt(other.from) != piece)
                    continue;
                rivals = true;
                sameFile = sameFile || other.from % 8 == move.from % 8;
                sameRank = sameRank || other.from / 8 == move.from / 8;
            }
            if (rivals && (!sameFile || sameRank))
                san += QChar(u'a' + move.from % 8);
            if (rivals && sameFile)
                san += QChar(u'1' + move.from / 8);
        }
        if (capture)
            san += u'x';
        san += squareName(move.to);
        if (move.promotion != NoKind)
            san += QStringLiteral("=") + QLatin1Char(kPieceLetters[move.promotion]);
    }
    ChessPosition after = position;
    after.MakeMove(move);
    if (after.inCheck())
        san += after.LegalMoves().isEmpty() ? u'#' : u'+';
    return san;
}

QString CoordinateOf(const ChessMove& move)
{
    QString text = squareName(move.from) + squareName(move.to);
    if (move.promotion != NoKind)
        text += QChar(QLatin1Char(kPieceLetters[move.promotion])).toLower();
    return text;
}

QString BoardMoveText(const ChessPosition& position, const ChessMove& move)
{
    QString text = QString(QLatin1Char(kPieceLetters[position.kindAt(move.from)])) +
                   squareName(move.from) + squareName(move.to);
    if (move.promotion != NoKind)
        text += QStringLiteral("=") + QLatin1Char(kPieceLetters[move.promotion]);
    return text;
}

} // namespace kx
