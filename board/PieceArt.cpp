#include "PieceArt.h"

#include <QFile>
#include <QFont>
#include <QPainter>
#include <QPolygonF>
#include <QRawFont>

#include <cmath>

namespace Pellomar {

namespace {

const char* const GlyphFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const GlyphFontFamily = "DejaVu Sans";
// Outlines are taken at this size once and scaled to every square from there.
constexpr qreal GlyphPixelSize = 512;
// The chess glyphs: white king..pawn, then black king..pawn.
constexpr char32_t WhiteKingGlyph = 0x2654;
constexpr char32_t BlackKingGlyph = 0x265A;
// The tallest piece fills this share of the square, leaving a little air.
constexpr qreal PieceFill = 0.86;
// Enough for the twelve pieces at a few sizes while the board is resized.
constexpr int CacheLimit = 12 * 4;

const QColor InkColor(28, 24, 22);
const QColor LightFill(252, 250, 242);
const QColor BlackDetail(214, 208, 196);

/// Glyph code point for a piece code: 2..7 black, 8..13 white, king first.
char32_t glyphFor(int code)
{
    return code >= WKing ? WhiteKingGlyph + (code - WKing) : BlackKingGlyph + (code - BKing);
}

QRawFont loadGlyphFont()
{
    if (QFile::exists(QString::fromLatin1(GlyphFontFile))) {
        QRawFont font(QString::fromLatin1(GlyphFontFile), GlyphPixelSize);
        if (font.isValid())
            return font;
    }
    // A system without the file may still know the family through its font database.
    QFont family(QString::fromLatin1(GlyphFontFamily));
    family.setPixelSize(static_cast<int>(GlyphPixelSize));
    return QRawFont::fromFont(family);
}

/// The glyph with every hole filled: the union of its contours that are nested
/// in an even number of others (the outer edges and any islands inside holes).
QPainterPath silhouetteOf(const QPainterPath& glyph)
{
    const QList<QPolygonF> contours = glyph.toSubpathPolygons();
    QPainterPath result;
    result.setFillRule(Qt::WindingFill);
    for (qsizetype i = 0; i < contours.size(); ++i) {
        if (contours[i].isEmpty())
            continue;
        int depth = 0;
        for (qsizetype j = 0; j < contours.size(); ++j) {
            if (j != i && contours[j].containsPoint(contours[i].first(), Qt::OddEvenFill))
                ++depth;
        }
        if (depth % 2 == 0) {
            QPainterPath outer;
            outer.addPolygon(contours[i]);
            outer.closeSubpath();
            result = result.united(outer);
        }
    }
    return result;
}

} // namespace

PieceArt::PieceArt()
{
    loadShapes();
}

void PieceArt::loadShapes()
{
    const QRawFont font = loadGlyphFont();
    if (!font.isValid())
        return;
    for (int code = BKing; code <= Wpawn; ++code) {
        const char32_t codePoint = glyphFor(code);
        const QString text = QString::fromUcs4(&codePoint, 1);
        const QList<quint32> glyphs = font.glyphIndexesForString(text);
        // Glyph 0 is the font's "missing" box, not a piece.
        if (glyphs.size() != 1 || glyphs.first() == 0)
            continue;
        Shape& shape = m_shapes[code - BKing];
        shape.ink = font.pathForGlyph(glyphs.first());
        shape.silhouette = silhouetteOf(shape.ink);
        m_extent = m_extent.united(shape.silhouette.boundingRect());
    }
}

QPixmap PieceArt::pixmap(int code, int side, qreal devicePixelRatio)
{
    if (code < BKing || code > Wpawn || side <= 0)
        return {};
    const quint64 key = (quint64(code) << 56) | (quint64(side) << 24) |
                        quint64(std::lround(devicePixelRatio * 1000) & 0xFFFFFF);
    const auto found = m_cache.constFind(key);
    if (found != m_cache.constEnd())
        return found.value();
    if (m_cache.size() >= CacheLimit)
        m_cache.clear();
    const QPixmap picture = render(code, side, devicePixelRatio);
    m_cache.insert(key, picture);
    return picture;
}

QPixmap PieceArt::render(int code, int side, qreal devicePixelRatio) const
{
    const int deviceSide = std::max(1, static_cast<int>(std::ceil(side * devicePixelRatio)));
    QPixmap picture(deviceSide, deviceSide);
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::transparent);

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const Shape& shape = m_shapes[code - BKing];
    if (shape.ink.isEmpty() || m_extent.isEmpty()) {
        // Without the font, a plain disc still tells the two sides apart.
        const qreal inset = side * (1 - PieceFill) / 2;
        painter.setPen(QPen(InkColor, std::max<qreal>(1, side / 24.0)));
        painter.setBrush(code >= WKing ? LightFill : InkColor);
        painter.drawEllipse(QRectF(inset, inset, side - 2 * inset, side - 2 * inset));
        return picture;
    }

    // One scale for all pieces keeps their relative sizes and common base line;
    // each piece is centred across on its own width.
    const qreal scale = side * PieceFill / std::max(m_extent.width(), m_extent.height());
    const QRectF own = shape.silhouette.boundingRect();
    painter.translate(side / 2.0, side / 2.0);
    painter.scale(scale, scale);
    painter.translate(-own.center().x(), -m_extent.center().y());

    painter.setPen(Qt::NoPen);
    painter.setBrush(code >= WKing ? LightFill : BlackDetail);
    painter.drawPath(shape.silhouette);
    painter.setBrush(InkColor);
    painter.drawPath(shape.ink);
    return picture;
}

} // namespace Pellomar
