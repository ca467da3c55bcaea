#include "BoardGeometry.h"

#include <algorithm>
#include <cmath>

namespace Pellomar {

namespace {

// Label rows stand above and below the board, label columns left and right of
// it, at these offsets from the control's edges (the bottom and right ones are
// taken from the height).
constexpr int LabelTopAbove = 120;
constexpr int LabelTopBelowFromEdge = 310;
constexpr int LabelLeftOfBoard = 150;
constexpr int LabelRightFromEdge = 280;

} // namespace

BoardGeometry::BoardGeometry(int heightTwips, bool reversed, qreal fileLabelWidth,
                             qreal rankLabelWidth)
    : m_height(std::max(heightTwips, 0)), m_reversed(reversed),
      // A control too small for its frame has no room for squares at all.
      m_tile(std::max<qreal>((m_height - 2 * Margin) / 4.0, 0)), m_fileLabelWidth(fileLabelWidth),
      m_rankLabelWidth(rankLabelWidth)
{
}

int BoardGeometry::toPixels(qreal twips)
{
    // nearbyint follows the default rounding mode: halves go to the even neighbour.
    return static_cast<int>(std::nearbyint(twips / TwipsPerPixel));
}

QRectF BoardGeometry::squareRectTwips(int col, int row) const
{
    if (col < 1 || col > 8 || row < 1 || row > 8)
        return {};
    const int displayRow = 9 - row;
    const qreal s = squareSize();
    const int across = m_reversed ? 8 - col : col - 1;
    const int down = m_reversed ? 8 - displayRow : displayRow - 1;
    return {across * s + Margin, down * s + Margin, s, s};
}

QRect BoardGeometry::squareRectPixels(int col, int row) const
{
    if (col < 1 || col > 8 || row < 1 || row > 8)
        return {};
    const int across = m_reversed ? 8 - col : col - 1;
    const int down = m_reversed ? row - 1 : 8 - row;
    return cellRectPixels(across, down);
}

QRect BoardGeometry::cellRectPixels(int across, int down) const
{
    if (across < 0 || across > 7 || down < 0 || down > 7)
        return {};
    return QRect(QPoint(edgePixels(across), edgePixels(down)),
                 QPoint(edgePixels(across + 1) - 1, edgePixels(down + 1) - 1));
}

QRectF BoardGeometry::tileRectTwips(int tile) const
{
    if (tile < 0 || tile >= 16)
        return {};
    return {(tile % 4) * m_tile + Margin, (tile / 4) * m_tile + Margin, m_tile, m_tile};
}

QRect BoardGeometry::tileRectPixels(int tile) const
{
    if (tile < 0 || tile >= 16)
        return {};
    // A tile spans two squares each way, so its edges are square edges.
    const int across = 2 * (tile % 4);
    const int down = 2 * (tile / 4);
    return QRect(QPoint(edgePixels(across), edgePixels(down)),
                 QPoint(edgePixels(across + 2) - 1, edgePixels(down + 2) - 1));
}

QRect BoardGeometry::boardRectPixels() const
{
    return QRect(QPoint(edgePixels(0), edgePixels(0)),
                 QPoint(edgePixels(8) - 1, edgePixels(8) - 1));
}

QPointF BoardGeometry::labelPosTwips(LabelKind kind, int index) const
{
    if (index < 0 || index >= LabelCount)
        return {};
    const qreal width = kind == FileLabels ? m_fileLabelWidth : m_rankLabelWidth;
    // Centres a label of the first label's width on the first square; the rank
    // labels use their width for the vertical place too, close enough for a digit.
    const qreal x0 = m_tile / 4 - width / 2 + Margin;
    const int slot = index % 8;
    // Labels 0..7 stand above (or left of) the board normally and below (or right
    // of) it when reversed; labels 8..15 the other way round.
    const bool firstSide = (index < 8) != m_reversed;
    const qreal along = x0 + (m_reversed ? 7 - slot : slot) * squareSize();
    if (kind == FileLabels) {
        const qreal top = firstSide ? LabelTopAbove : m_height - LabelTopBelowFromEdge;
        return {along, top};
    }
    const qreal left = firstSide ? LabelLeftOfBoard : m_height - LabelRightFromEdge;
    return {left, along};
}

std::optional<BoardGeometry::Square> BoardGeometry::squareAt(QPoint pixel) const
{
    const int across = displayIndexAt(pixel.x());
    const int down = displayIndexAt(pixel.y());
    if (across < 0 || down < 0)
        return std::nullopt;
    if (m_reversed)
        return Square{8 - across, down + 1};
    return Square{across + 1, 8 - down};
}

int BoardGeometry::edgePixels(int i) const
{
    return toPixels(Margin + i * squareSize());
}

int BoardGeometry::displayIndexAt(int pixel) const
{
    const int first = edgePixels(0);
    const int last = edgePixels(8);
    // Also rejects a board with no room for squares, before the division below.
    if (pixel < first || pixel >= last)
        return -1;
    // The division gives the column up to rounding; the edges settle it exactly.
    int i = std::clamp(static_cast<int>((pixel - first) * 8 / (last - first)), 0, 7);
    while (i > 0 && pixel < edgePixels(i))
        --i;
    while (i < 7 && pixel >= edgePixels(i + 1))
        ++i;
    return i;
}

} // namespace Pellomar
