#pragma once

#include "ChessMove.h"
#include "ChessPosition.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

/*
 * Moves as text: reading SAN ("Nf3", "exd5", "ed5", "R1e2", "e8=Q", "e8Q",
 * "O-O", "0-0"), coordinate notation ("g1f3", "e7e8q", "e7e8=Q") and the
 * board's own form ("Ng1f3", "Pe7e8=Q"), and writing SAN and coordinates.
 */
namespace kx {

/// What the text of one move says, before any position is consulted.
struct MoveText
{
    enum Castling : quint8 { NoCastling, Short, Long };

    PieceKind piece = NoKind; // the piece letter given; NoKind when none is
    int fromFile = -1;        // 0..7 (a..h) when the origin's file is given
    int fromRank = -1;        // 0..7 when the origin's rank is given
    int to = -1;              // destination square; -1 for castling
    PieceKind promotion = NoKind;
    Castling castling = NoCastling;

    /// Both coordinates of the origin given.
    bool fromSquareGiven() const { return fromFile >= 0 && fromRank >= 0; }
};

/// Reads one move word in SAN, long algebraic ("Ng1-f3") or coordinate
/// notation; trailing "+", "#", "!" and "?" marks are allowed and ignored.
/// Nothing when the word cannot be a move ("dm", "26", "c0", "id").
std::optional<MoveText> ReadMoveText(QStringView word);

/// Every legal move the text names in the position: a SAN move (a missing
/// promotion piece means a queen), a coordinate move of whatever piece
/// stands on the origin, or the board's form. Extra detail such as an origin
/// SAN would not need is accepted when it agrees; check, mate and capture
/// marks are not checked. Empty when the text is no move or names none.
QList<ChessMove> MovesNamed(const ChessPosition& position, QStringView text);

/// The one legal move the text names (see MovesNamed); nothing when no legal
/// move or more than one fits.
std::optional<ChessMove> ParseMove(const ChessPosition& position, QStringView text);

/// Standard SAN of a legal move, with the disambiguation it needs and "+" or
/// "#" when it gives check or mate: "Nbd2", "R1e2", "exd6", "e8=Q+", "O-O".
QString SanOf(const ChessPosition& position, const ChessMove& move);

/// Coordinate notation: "e2e4", "e1g1" for short castling, "e7e8q".
QString CoordinateOf(const ChessMove& move);

/// The move as the board's move entry writes it: the upper-case piece
/// letter, origin and destination, "=X" for a promotion ("Ng1f3", "Pe7e8=Q").
QString BoardMoveText(const ChessPosition& position, const ChessMove& move);

} // namespace kx
