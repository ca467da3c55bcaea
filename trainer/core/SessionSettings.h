#pragma once

#include <QString>

/*
 * The two session settings as the user types them: positions per session,
 * 10 to 1000 and whole, and seconds per position, up to 1000 and not 0. A
 * text out of range, or that is no number, gives way to the default.
 */
namespace kx {

/// The text the positions box keeps for text: it, its whole number, or "10".
QString CheckedPositions(const QString& text);
/// The text the seconds box keeps for text: it, or "50".
QString CheckedSeconds(const QString& text);

} // namespace kx
