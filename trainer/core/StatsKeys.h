#pragma once

#include <QString>

/*
 * Keys as the window's key handlers see them: the classic virtual-key codes
 * (letters and digits as their upper-case characters, Shift 16, the arrows
 * 37 to 40), and the typed sequence on the report grid that switches
 * statistics mode on and off.
 */
namespace kx {

inline constexpr qint16 kVkShift = 16;
inline constexpr qint16 kVkUp = 38;
inline constexpr qint16 kVkDown = 40;

/// The virtual-key code of a Qt key; 0 for a key that has none of ours
/// (punctuation such as "(" included, whose Qt code is a character code).
qint16 VirtualKeyCode(int qtKey);

/// Adds a key typed on the report grid to keyBuffer (its last ten keys;
/// Shift is not kept). True, with the buffer emptied, when the buffer then
/// holds the statistics-mode sequence.
bool TypeStatsKey(QString& keyBuffer, qint16 keyCode);

} // namespace kx
