#pragma once

#include "ChessMove.h"
#include "ChessPosition.h"

#include <QList>
#include <QString>

#include <optional>

/*
 * Judging an answer: the user's move counts only when it is a legal move of
 * the side to move in the record's position and one of the moves the
 * record's bm operation names, in SAN or coordinate notation. A record
 * without a usable bm has no right answer.
 */
namespace kx {

/// The position a record sets up from its leading FEN fields: placement,
/// side, castling and en passant (either may carry the ";" that ends the
/// FEN), optionally the two move counters. A record without a side field is
/// read as the board reads it. Nothing when the FEN is not a legal position.
std::optional<ChessPosition> RecordPosition(const QString& record);

/// The legal moves that the record's bm operation names in the position.
QList<ChessMove> RecordBestMoves(const ChessPosition& position, const QString& record);

/// True when userMove, as the board writes it ("Ng1f3", "Pe7e8=Q", "Ke1g1"),
/// is a legal move in the record's position and one of its best moves.
bool JudgeMove(const QString& record, const QString& userMove);

} // namespace kx
