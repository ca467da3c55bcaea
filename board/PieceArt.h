#pragma once

#include "PellomarTypes.h"

#include <QHash>
#include <QPainterPath>
#include <QPixmap>
#include <QRectF>

#include <array>

namespace Pellomar {

/*
 * The twelve piece pictures, drawn from the chess glyphs of the DejaVu Sans
 * font as vector outlines, so they stay sharp at any square size and pixel
 * density. A white piece is its outline glyph over a light silhouette; a black
 * piece is its solid glyph over a light silhouette, which keeps its inner lines
 * visible on a dark square. Pictures are rendered once per piece, size and
 * device pixel ratio and kept.
 */
class PieceArt
{
public:
    PieceArt();

    /// The picture of a piece for a square side in logical pixels, transparent
    /// around the piece; null for NoPiece or a code outside 2..13.
    QPixmap pixmap(int code, int side, qreal devicePixelRatio);

private:
    struct Shape
    {
        QPainterPath ink;        // the glyph itself, drawn dark
        QPainterPath silhouette; // the glyph with its holes filled, drawn light
    };

    void loadShapes();
    QPixmap render(int code, int side, qreal devicePixelRatio) const;

    std::array<Shape, 12> m_shapes; // by code - 2
    QRectF m_extent;                // union of all silhouettes, in font units
    QHash<quint64, QPixmap> m_cache;
};

} // namespace Pellomar
