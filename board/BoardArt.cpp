#include "BoardArt.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace Pellomar {

namespace {

constexpr quint32 FrameSeed = 20240611;
constexpr quint32 LightSquareSeed = 7;
constexpr quint32 DarkSquareSeed = 11;
// Square textures repeat every this many pixels, more than a square is wide.
constexpr int SquareTextureSide = 192;

const QColor FrameLight(236, 206, 160);
const QColor FrameDark(206, 164, 108);
const QColor SquareLight(240, 220, 184);
const QColor SquareLightGrain(226, 200, 158);
const QColor SquareDark(176, 126, 84);
const QColor SquareDarkGrain(154, 106, 66);

/// Smooth value noise on a coarse lattice, wrapping so textures tile.
class ValueNoise
{
public:
    ValueNoise(int cellsX, int cellsY, quint32 seed)
        : m_cellsX(cellsX), m_cellsY(cellsY), m_values(size_t(cellsX) * cellsY)
    {
        QRandomGenerator random(seed);
        for (double& value : m_values)
            value = random.generateDouble();
    }

    /// u and v run over 0..1 across the whole texture.
    double at(double u, double v) const
    {
        const double x = u * m_cellsX;
        const double y = v * m_cellsY;
        const int x0 = static_cast<int>(std::floor(x));
        const int y0 = static_cast<int>(std::floor(y));
        const double fx = smooth(x - x0);
        const double fy = smooth(y - y0);
        const double top = lerp(value(x0, y0), value(x0 + 1, y0), fx);
        const double bottom = lerp(value(x0, y0 + 1), value(x0 + 1, y0 + 1), fx);
        return lerp(top, bottom, fy);
    }

private:
    static double smooth(double t) { return t * t * (3 - 2 * t); }
    static double lerp(double a, double b, double t) { return a + (b - a) * t; }
    double value(int x, int y) const
    {
        const int wx = ((x % m_cellsX) + m_cellsX) % m_cellsX;
        const int wy = ((y % m_cellsY) + m_cellsY) % m_cellsY;
        return m_values[size_t(wy) * m_cellsX + wx];
    }

    int m_cellsX;
    int m_cellsY;
    std::vector<double> m_values;
};

int mix(int a, int b, double t)
{
    return std::clamp(static_cast<int>(std::lround(a + (b - a) * t)), 0, 255);
}

} // namespace

QImage BoardArt::makeWood(QSize deviceSize, qreal devicePixelRatio, QColor light, QColor dark,
                          quint32 seed)
{
    QImage image(deviceSize, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const double ratio = std::max<qreal>(devicePixelRatio, 0.1);
    const double logicalHeight = deviceSize.height() / ratio;
    // About one grain line every 9 logical pixels, bent by noise stretched along the grain.
    const double lines = std::max(2.0, std::round(logicalHeight / 9));
    const ValueNoise bend(3, 12, seed);
    const ValueNoise shade(2, 24, seed + 1);
    QRandomGenerator grit(seed + 2);
    for (int y = 0; y < deviceSize.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double v = double(y) / deviceSize.height();
        for (int x = 0; x < deviceSize.width(); ++x) {
            const double u = double(x) / deviceSize.width();
            const double phase = (v + 0.06 * bend.at(u, v)) * lines * 2 * std::numbers::pi;
            const double stripe = std::pow(0.5 + 0.5 * std::sin(phase), 3);
            const double t = std::clamp(0.55 * stripe + 0.35 * shade.at(u, v) +
                                            0.08 * (grit.generateDouble() - 0.5),
                                        0.0, 1.0);
            line[x] = qRgb(mix(light.red(), dark.red(), t), mix(light.green(), dark.green(), t),
                           mix(light.blue(), dark.blue(), t));
        }
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

QPixmap BoardArt::frame(QSize size, qreal devicePixelRatio)
{
    const QSize deviceSize(static_cast<int>(std::ceil(size.width() * devicePixelRatio)),
                           static_cast<int>(std::ceil(size.height() * devicePixelRatio)));
    if (deviceSize.isEmpty())
        return {};
    if (m_frame.isNull() || m_frame.size() != deviceSize ||
        !qFuzzyCompare(m_frame.devicePixelRatio(), devicePixelRatio)) {
        m_frame = QPixmap::fromImage(
            makeWood(deviceSize, devicePixelRatio, FrameLight, FrameDark, FrameSeed));
    }
    return m_frame;
}

QBrush BoardArt::lightSquare()
{
    if (m_light.style() == Qt::NoBrush) {
        m_light = QBrush(makeWood(QSize(SquareTextureSide, SquareTextureSide), 1, SquareLight,
                                  SquareLightGrain, LightSquareSeed));
    }
    return m_light;
}

QBrush BoardArt::darkSquare()
{
    if (m_dark.style() == Qt::NoBrush) {
        m_dark = QBrush(makeWood(QSize(SquareTextureSide, SquareTextureSide), 1, SquareDark,
                                 SquareDarkGrain, DarkSquareSeed));
    }
    return m_dark;
}

} // namespace Pellomar
