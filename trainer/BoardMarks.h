#pragma once

#include <QString>
#include <QtGlobal>

namespace Pellomar {
class NqCBoard;
}

/*
 * Moves marked on the board by hatching their two squares: the solution in
 * one colour and the user's own move in another, so a miss can be read at a
 * glance. Colours are 0x00BBGGRR values, as the board takes them.
 */
namespace kx {

inline constexpr quint32 kBestMoveColor = 0x0000A000; // green
inline constexpr quint32 kUserMoveColor = 0x000000E0; // red

/// Hatches the origin and destination of the first best move of the record;
/// false when the record names no legal best move.
bool MarkBestMove(Pellomar::NqCBoard& board, const QString& record);
/// Hatches the squares a move text gives ("Ng1f3", "e3e4", "Pe7e8=Q"; of
/// several moves, the first); false when it gives no origin and destination.
bool MarkMoveText(Pellomar::NqCBoard& board, const QString& moveText, quint32 color);
/// Takes every hatch off the board.
void ClearMoveMarks(Pellomar::NqCBoard& board);

} // namespace kx
