#pragma once

#include "ChessMove.h"
#include "ChessPosition.h"

#include <QList>
#include <QString>

/*
 * A move typed on the keyboard, read in the position on the board. Players
 * type loosely ("nf3", "E4", "o-o"), but case carries meaning in SAN: "bxc3"
 * is the b-pawn's capture and "Bxc3" the bishop's. So the text is read as
 * typed first, and only when that names no move is case ignored, and then
 * only a single move counts.
 */
namespace kx {

struct TypedMove
{
    enum class Outcome { Found, NoMove, Several };

    Outcome outcome = Outcome::NoMove;
    ChessMove move;              // the move, when Found
    bool promotionGiven = false; // the text named the piece a pawn becomes
    QList<ChessMove> candidates; // the moves it could mean, when Several
};

/// The move a typed text names in the position.
TypedMove ReadTypedMove(const ChessPosition& position, const QString& text);

} // namespace kx
