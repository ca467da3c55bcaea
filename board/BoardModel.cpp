#include "BoardModel.h"

#include <algorithm>

namespace Pellomar {

namespace {

// Back rank from file a to h; the black rank holds the matching black codes.
constexpr std::array<Material, 8> WhiteBackRank = {WRook, WKnight, WBishop, WQuenn,
                                                   WKing, WBishop, WKnight, WRook};
constexpr std::array<Material, 8> BlackBackRank = {BRook, BKnight, BBishop, BQuenn,
                                                   BKing, BBishop, BKnight, BRook};

Material initialPiece(int col, int row)
{
    switch (row) {
    case 1:
        return WhiteBackRank[col - 1];
    case 2:
        return Wpawn;
    case 7:
        return Bpawn;
    case 8:
        return BlackBackRank[col - 1];
    default:
        return NoPiece;
    }
}

} // namespace

BoardModel::BoardModel()
{
    clear();
}

int BoardModel::indexOf(int col, int row)
{
    if (col < 1 || col > 8 || row < 1 || row > 8)
        return -1;
    const int displayRow = 9 - row; // 1 is rank 8, the top row when not reversed
    return (displayRow - 1) * 8 + (col - 1);
}

Material BoardModel::piece(int col, int row) const
{
    const int at = indexOf(col, row);
    return at < 0 ? static_cast<Material>(0) : m_content[at];
}

bool BoardModel::setPiece(int col, int row, int code)
{
    const int at = indexOf(col, row);
    if (at < 0 || !isValidPiece(code))
        return false;
    m_content[at] = static_cast<Material>(code);
    return true;
}

bool BoardModel::movePiece(int fromCol, int fromRow, int toCol, int toRow)
{
    const int from = indexOf(fromCol, fromRow);
    const int to = indexOf(toCol, toRow);
    if (from < 0 || to < 0)
        return false;
    // Target first, then source: the same square as both ends ends up empty.
    m_content[to] = m_content[from];
    m_content[from] = NoPiece;
    return true;
}

void BoardModel::clear()
{
    m_content.fill(NoPiece);
    clearMarks();
}

void BoardModel::setInitialPosition()
{
    for (int row = 1; row <= 8; ++row) {
        for (int col = 1; col <= 8; ++col)
            m_content[indexOf(col, row)] = initialPiece(col, row);
    }
}

bool BoardModel::isInitialPosition() const
{
    for (int row = 1; row <= 8; ++row) {
        for (int col = 1; col <= 8; ++col) {
            if (m_content[indexOf(col, row)] != initialPiece(col, row))
                return false;
        }
    }
    return true;
}

bool BoardModel::select(int col, int row)
{
    const int at = indexOf(col, row);
    if (at < 0 || m_selected[at])
        return false;
    m_selected[at] = true;
    return true;
}

bool BoardModel::unselect(int col, int row)
{
    const int at = indexOf(col, row);
    if (at < 0 || !m_selected[at])
        return false;
    m_selected[at] = false;
    return true;
}

bool BoardModel::isSelected(int col, int row) const
{
    const int at = indexOf(col, row);
    return at >= 0 && m_selected[at];
}

bool BoardModel::anySelected() const
{
    return std::any_of(m_selected.begin(), m_selected.end(), [](bool on) { return on; });
}

bool BoardModel::highlight(int col, int row, quint32 color)
{
    const int at = indexOf(col, row);
    // A square is never hatched twice: it keeps its first colour until unmarked.
    if (at < 0 || m_highlighted[at])
        return false;
    m_highlighted[at] = true;
    m_highlightColor[at] = color;
    return true;
}

bool BoardModel::unhighlight(int col, int row)
{
    const int at = indexOf(col, row);
    if (at < 0 || !m_highlighted[at])
        return false;
    m_highlighted[at] = false;
    return true;
}

bool BoardModel::isHighlighted(int col, int row) const
{
    const int at = indexOf(col, row);
    return at >= 0 && m_highlighted[at];
}

quint32 BoardModel::highlightColor(int col, int row) const
{
    const int at = indexOf(col, row);
    return at >= 0 ? m_highlightColor[at] : 0;
}

void BoardModel::clearMarks()
{
    m_selected.fill(false);
    m_highlighted.fill(false);
}

} // namespace Pellomar
