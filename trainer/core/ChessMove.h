#pragma once

#include <QtGlobal>

namespace kx {

/// Kinds of chess pieces; the values index the position's piece sets.
enum PieceKind : quint8 { NoKind = 0, Pawn, Knight, Bishop, Rook, Queen, King };
/// The upper-case letter of each kind, indexed by PieceKind (a blank for NoKind).
inline constexpr char kPieceLetters[] = " PNBRQK";

/*
 * One move in a position: origin and destination square in board order
 * (0 = a1, 7 = h1, 63 = h8) and the piece a pawn promotes to. Castling is the
 * king's two-square move (e1g1), en passant the pawn's move onto the empty
 * square. The flags say how the move changes the board beyond moving one
 * piece, so making it needs no look-up; moves of the same position compare
 * equal exactly when they are the same move.
 */
struct ChessMove
{
    enum Flag : quint8 { Plain = 0, Castling = 1, EnPassant = 2, DoublePush = 4 };

    quint8 from = 0;
    quint8 to = 0;
    PieceKind promotion = NoKind;
    quint8 flags = Plain;

    friend bool operator==(const ChessMove&, const ChessMove&) = default;
};

} // namespace kx
