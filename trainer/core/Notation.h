#pragma once

#include <QString>

/*
 * Conversions between FEN letters and the board control's piece codes, and
 * between the two numberings of the 64 squares (FEN reading order from a8,
 * board order from a1). Pure and total: bad input gives the "empty" answer.
 */
namespace kx {

/// Piece code of a one-letter FEN text; 1 (empty) for anything else.
qint16 trad(const QString& letter);
/// FEN letter of a piece code (lower case for Black); "" outside 2..13.
QString dart(qint16 code);
/// Upper-case piece letter whatever the colour; "" outside 2..13.
QString num2pie(qint16 code);
/// FEN-reading-order index <-> board-order index (its own inverse on 0..63).
qint16 rov(qint32 index);

} // namespace kx
