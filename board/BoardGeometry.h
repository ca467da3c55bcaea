#pragma once

#include "Twips.h"

#include "pellomar_export.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>

#include <optional>

namespace Pellomar {

/*
 * Where everything of the board stands, computed in twips from the control's
 * height and orientation alone, and converted to pixels at 15 twips per pixel
 * by rounding each edge (half to even), so neighbouring squares share their
 * edges exactly. A 360-twip frame surrounds four by four checker tiles of side
 * T; each tile covers two by two squares of side S = T / 2. Tiles never move
 * with the orientation; squares and coordinate labels do. squareAt() is the
 * exact inverse of squareRectPixels(). Exported only for the tests.
 */
class PELLOMAR_EXPORT BoardGeometry
{
public:
    static constexpr int TwipsPerPixel = kTwipsPerPixel;
    static constexpr int Margin = 360;
    static constexpr int LabelCount = 16;
    enum LabelKind { FileLabels = 0, RankLabels = 1 };

    struct Square
    {
        int col = 0;
        int row = 0;
        bool operator==(const Square&) const = default;
    };

    /// heightTwips is the control's height; the label widths (label 0 of each
    /// kind, in twips) centre the labels on the first square.
    BoardGeometry(int heightTwips, bool reversed, qreal fileLabelWidth = 0,
                  qreal rankLabelWidth = 0);

    static int toPixels(qreal twips);

    int height() const { return m_height; }
    bool reversed() const { return m_reversed; }
    qreal tileSize() const { return m_tile; }
    qreal squareSize() const { return m_tile / 2; }

    /// Empty for a file or rank outside 1..8.
    QRectF squareRectTwips(int col, int row) const;
    QRect squareRectPixels(int col, int row) const;
    /// Tiles 0..15, row by row from the top left.
    QRectF tileRectTwips(int tile) const;
    QRect tileRectPixels(int tile) const;
    /// A square's place counted on screen: across and down 0..7 from the top left.
    QRect cellRectPixels(int across, int down) const;
    /// The area covered by the 64 squares, in pixels.
    QRect boardRectPixels() const;
    /// Top-left corner of a label (index 0..15, 0..7 reading "A".."H" or "8".."1").
    QPointF labelPosTwips(LabelKind kind, int index) const;

    /// The square under a pixel, or nothing on the frame or outside the control.
    std::optional<Square> squareAt(QPoint pixel) const;

private:
    /// Pixel position of the edge before display column (or row) i, i = 0..8.
    int edgePixels(int i) const;
    /// Display column or row 0..7 holding a pixel coordinate, or -1.
    int displayIndexAt(int pixel) const;

    int m_height;
    bool m_reversed;
    qreal m_tile;
    qreal m_fileLabelWidth;
    qreal m_rankLabelWidth;
};

} // namespace Pellomar
