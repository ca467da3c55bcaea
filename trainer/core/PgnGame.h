#pragma once

#include "Result.h"

#include <QByteArrayView>
#include <QString>

/*
 * Puzzle files in PGN, as puzzle books and study exports come: each game
 * poses one position, the one its FEN tag sets up (or the initial position
 * when it has none), and the first move of its main line solves it. The
 * game becomes an EPD record so that the rest of the trainer reads it as any
 * suite's record.
 */
namespace kx {

/// The game's position as an EPD record: the four FEN fields of its start,
/// bm its first move in SAN, id its PuzzleId (or ProblemId, Id) tag or else
/// its Event, and pv its main line in SAN, up to a move that cannot be
/// played. Comments ({} and ;), variations, NAGs, move numbers, "%" lines and
/// the result are passed over. A failure saying why the game poses no
/// position: a FEN tag that is no legal position, no moves, or a first move
/// that cannot be played.
Result<QString> PgnGameToEpd(QByteArrayView game);

/// True when the game poses a position (PgnGameToEpd would succeed), found
/// without reading past its first move.
bool IsPgnPosition(QByteArrayView game);

} // namespace kx
