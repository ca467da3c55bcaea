#pragma once

#include <QBrush>
#include <QImage>
#include <QPixmap>
#include <QSize>

namespace Pellomar {

/*
 * The board's wood, made in code: a light wood frame generated for the exact
 * size of the control, and the two square textures of the checker tiles. The
 * grain is stripes bent by smooth noise plus a fine per-pixel noise, all from
 * fixed seeds, so the board looks the same every time. The frame is kept until
 * the size changes; the square textures are made once.
 */
class BoardArt
{
public:
    /// The frame for a control of this logical size and pixel density.
    QPixmap frame(QSize size, qreal devicePixelRatio);
    QBrush lightSquare();
    QBrush darkSquare();

    /// A wood texture of the given size; lengths are scaled by devicePixelRatio
    /// so the grain looks alike at every density.
    static QImage makeWood(QSize deviceSize, qreal devicePixelRatio, QColor light, QColor dark,
                           quint32 seed);

private:
    QPixmap m_frame;
    QBrush m_light;
    QBrush m_dark;
};

} // namespace Pellomar
