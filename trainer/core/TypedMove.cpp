#include "TypedMove.h"

#include "Judging.h"
#include "MoveNotation.h"

namespace kx {

TypedMove ReadTypedMove(const ChessPosition& position, const QString& text)
{
    const QString typed = text.trimmed();
    QList<ChessMove> moves = MovesNamed(position, typed);
    QString reading = typed;
    if (moves.isEmpty() && !typed.isEmpty()) {
        // Files and the castling letter as SAN writes them, then also with a
        // piece letter in front: "nf3" -> "Nf3", "NF3" -> "Nf3", "o-o" -> "O-O".
        QString lower = typed.toLower();
        lower.replace(u'o', u'O');
        QString piece = lower;
        piece[0] = piece[0].toUpper();
        for (const QString& variant : {lower, piece}) {
            for (const ChessMove& move : MovesNamed(position, variant)) {
                if (!moves.contains(move)) {
                    moves.append(move);
                    reading = variant;
                }
            }
        }
    }

    TypedMove result;
    if (moves.size() > 1) {
        result.outcome = TypedMove::Outcome::Several;
        result.candidates = moves;
    } else if (moves.size() == 1) {
        result.outcome = TypedMove::Outcome::Found;
        result.move = moves.first();
        const std::optional<MoveText> read = ReadMoveText(reading);
        result.promotionGiven = read && read->promotion != NoKind;
    }
    return result;
}

std::optional<ChessPosition> BoardPosition(const QString& boardFen, const QString& record)
{
    const QStringList board = boardFen.split(u' ', Qt::SkipEmptyParts);
    if (board.size() < 2)
        return std::nullopt;
    const std::optional<ChessPosition> recorded = RecordPosition(record);
    if (!recorded)
        return ChessPosition::FromFen(board[0] + u' ' + board[1] + QStringLiteral(" - -"));
    const QStringList fields = recorded->ToFen().split(u' ');
    if (fields[0] == board[0] && fields[1] == board[1])
        return recorded;
    // Rights whose king or rook has left home are dropped by the reader.
    return ChessPosition::FromFen(board[0] + u' ' + board[1] + u' ' + fields[2] +
                                  QStringLiteral(" -"));
}

} // namespace kx
