#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>

/*
 * A record's placement read into the 64 squares, and squares written back as
 * FEN. Squares are in board order (index 0 = a1, 63 = h8) holding piece codes.
 */
namespace kx {

using Placement = std::array<qint16, 64>;

struct FenReading
{
    Placement squares{}; // every square not described by the text is empty (1)
    bool blackToMove = false;
};

/// Reads the placement from the start of the text as one stream of 64 squares
/// (separators not checked), then the side to move ("b" or "B" is Black). Stops
/// at the end of the text and never writes past the 64th square.
FenReading ReadPlacement(const QString& text);

/// The longest line that is taken for a position.
inline constexpr qsizetype kMaxPositionLine = 64 * 1024;

/// True when a suite line is a position: it starts with a placement that is a
/// chess board (eight ranks of eight squares, known piece letters, one king a
/// side, no pawn on the first or last rank), followed by blanks and the side
/// to move "w" or "b", and it is at most kMaxPositionLine bytes long.
bool IsPositionLine(QByteArrayView line);

/// Placement field, side and " - -": "rnbqkbnr/.../RNBQKBNR w - -".
QString PlacementToFen(const Placement& squares, bool blackToMove);

} // namespace kx
