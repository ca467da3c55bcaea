#pragma once

#include "PellomarTypes.h"
#include "pellomar_export.h"

#include <array>

namespace Pellomar {

/*
 * What the board control knows, without any window: the piece code of each of
 * the 64 squares, the selected and highlighted marks (with each highlight's
 * colour) and the two display flags. Squares are addressed by file 1..8 and
 * rank 1..8 from White's side; anything outside that range is ignored, reads
 * give 0 or false, so a host's bad argument can never reach outside the tables.
 * Tables are kept file-fastest from rank 8 down, the order the board is drawn.
 * Exported only so the tests can drive it directly.
 */
class PELLOMAR_EXPORT BoardModel
{
public:
    static constexpr int SquareCount = 64;

    BoardModel();

    /// Table index of a square, or -1 when the file or rank is outside 1..8.
    static int indexOf(int col, int row);
    static bool isValidPiece(int code) { return code >= NoPiece && code <= Wpawn; }

    /// The piece code, or 0 for a square outside the board.
    Material piece(int col, int row) const;
    /// Stores a piece code; false (nothing stored) for a bad square or a code outside 1..13.
    bool setPiece(int col, int row, int code);
    /// Moves the content of one square to another, overwriting the target; a move
    /// onto the same square leaves it empty. False when either square is bad.
    bool movePiece(int fromCol, int fromRow, int toCol, int toRow);
    /// Empties every square and removes every mark.
    void clear();
    /// Puts the pieces of the initial position on an empty board.
    void setInitialPosition();
    /// True when all 64 squares hold exactly the initial position.
    bool isInitialPosition() const;

    /// Each returns true when the flag changed.
    bool select(int col, int row);
    bool unselect(int col, int row);
    bool isSelected(int col, int row) const;
    bool anySelected() const;

    /// Color is 0x00BBGGRR; it is kept until the mark goes.
    bool highlight(int col, int row, quint32 color);
    bool unhighlight(int col, int row);
    bool isHighlighted(int col, int row) const;
    quint32 highlightColor(int col, int row) const;

    void clearMarks();

    bool coordinateFlag() const { return m_coordinate; }
    void setCoordinateFlag(bool on) { m_coordinate = on; }
    bool reversed() const { return m_reversed; }
    void setReversed(bool on) { m_reversed = on; }

private:
    std::array<Material, SquareCount> m_content{};
    std::array<bool, SquareCount> m_selected{};
    std::array<bool, SquareCount> m_highlighted{};
    std::array<quint32, SquareCount> m_highlightColor{};
    bool m_coordinate = false;
    bool m_reversed = false;
};

} // namespace Pellomar
