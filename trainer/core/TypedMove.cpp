#include "TypedMove.h"

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

} // namespace kx
