#include "NqCBoard.h"

#include "BoardArt.h"
#include "BoardGeometry.h"
#include "BoardModel.h"
#include "PieceArt.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLatin1StringView>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <optional>

namespace Pellomar {

namespace {

// Property names, both for the change notification and for the saved entries.
constexpr QLatin1StringView CoordinateName("Coordinate");
constexpr QLatin1StringView PieceName("Piece");
constexpr QLatin1StringView SquareStyleName("SquareStyle");
constexpr QLatin1StringView ReverseBoardName("ReverseBoard");
constexpr QLatin1StringView EnabledName("Enabled");

constexpr int DefaultSide = 400; // pixels, a comfortable board on any screen
constexpr qreal LabelPointSize = 8.25;
constexpr int HatchLinesPerSquare = 5;
constexpr int HatchMinStep = 6; // pixels between hatch lines on a small board
const QColor LabelColor(128, 64, 0);
const QColor SquareBorderColor(40, 28, 20);
const char* const LabelFontFamily = "DejaVu Sans";
const char* const LabelFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

const QString FileLetters = QStringLiteral("ABCDEFGH");
const QString RankDigits = QStringLiteral("87654321");

QFont labelFont()
{
    // A bare platform (offscreen, minimal containers) may have no font database
    // entries at all; the family is then registered from its file, once.
    static const bool known = [] {
        if (QFontDatabase::families().contains(QString::fromLatin1(LabelFontFamily)))
            return true;
        return QFontDatabase::addApplicationFont(QString::fromLatin1(LabelFontFile)) >= 0;
    }();
    Q_UNUSED(known);
    QFont font(QString::fromLatin1(LabelFontFamily));
    font.setPointSizeF(LabelPointSize);
    font.setBold(true);
    return font;
}

int roundTwips(qreal twips)
{
    return static_cast<int>(std::nearbyint(twips)); // halves to the even neighbour
}

/// Squares may differ by a pixel after rounding; one picture size fits them all.
int pieceSide(const BoardGeometry& geo)
{
    return static_cast<int>(geo.squareSize() / BoardGeometry::TwipsPerPixel);
}

/// Where a piece picture of that side stands in a square: centred.
QPoint pieceCorner(const QRect& square, int side)
{
    return {square.x() + (square.width() - side) / 2, square.y() + (square.height() - side) / 2};
}

/// A host's 0x00BBGGRR colour value as a colour.
QColor colorFromBgr(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

} // namespace

struct NqCBoard::Private
{
    BoardModel model;
    PieceArt pieces;
    BoardArt art;
    QFont labelFont = Pellomar::labelFont();
    SqStyle squareStyle = NoStyle;
    // Shown from creation on, independent of the Coordinate flag until it is written.
    bool labelsVisible = true;

    // A press on a square starts a possible drag of its piece.
    std::optional<BoardGeometry::Square> pressed;
    QPoint pressPos;
    QPoint pointer;
    // Where the piece was taken hold of, from its picture's corner, so it does
    // not jump under the pointer when the drag starts.
    QPoint grabOffset;
    bool dragging = false;
};

NqCBoard::NqCBoard(QWidget* parent) : QWidget(parent), d(std::make_unique<Private>())
{
    setAttribute(Qt::WA_OpaquePaintEvent); // the frame covers every pixel
}

NqCBoard::~NqCBoard() = default;

bool NqCBoard::Coordinate() const
{
    return d->model.coordinateFlag();
}

void NqCBoard::setCoordinate(bool Visualizza)
{
    d->labelsVisible = Visualizza;
    d->model.setCoordinateFlag(Visualizza);
    update();
    emit PropertyChanged(CoordinateName);
}

Material NqCBoard::Piece(Column col, short row) const
{
    return d->model.piece(col, row);
}

void NqCBoard::setPiece(Column col, short row, Material Pz)
{
    if (!d->model.setPiece(col, row, Pz))
        return;
    update();
    emit PropertyChanged(PieceName);
}

SqStyle NqCBoard::SquareStyle() const
{
    return d->squareStyle;
}

void NqCBoard::setSquareStyle(SqStyle vNewSquareStyle)
{
    // Only the two border styles exist; anything else leaves the borders alone.
    if (vNewSquareStyle != NoStyle && vNewSquareStyle != FixedSingle)
        return;
    d->squareStyle = vNewSquareStyle;
    update();
    emit PropertyChanged(SquareStyleName);
}

void NqCBoard::NewGame()
{
    Clear();
    relayout();
    d->model.setInitialPosition();
    update();
}

void NqCBoard::Clear()
{
    d->model.clear();
    update();
}

void NqCBoard::MovePiece(Column FromCol, short FromRow, Column ToCol, short ToRow)
{
    if (d->model.movePiece(FromCol, FromRow, ToCol, ToRow))
        update();
}

bool NqCBoard::InizioPartita() const
{
    return d->model.isInitialPosition();
}

void NqCBoard::SelectSquare(Column col, short row)
{
    if (d->model.select(col, row))
        update();
}

void NqCBoard::UnSelectSquare(Column col, short row)
{
    if (d->model.unselect(col, row))
        update();
}

bool NqCBoard::IsSelected(Column col, short row) const
{
    return d->model.isSelected(col, row);
}

bool NqCBoard::OneSelected() const
{
    return d->model.anySelected();
}

bool NqCBoard::ReverseBoard() const
{
    return d->model.reversed();
}

void NqCBoard::setReverseBoard(bool vNewReverseBoard)
{
    d->model.setReversed(vNewReverseBoard);
    relayout();
    emit PropertyChanged(ReverseBoardName);
}

void NqCBoard::HighLightSquare(Column col, short row, quint32 Color)
{
    if (d->model.highlight(col, row, Color))
        update();
}

void NqCBoard::UnHighLightSquare(Column col, short row)
{
    if (d->model.unhighlight(col, row))
        update();
}

bool NqCBoard::Enabled() const
{
    // The control's own setting, whatever its parents say.
    return !testAttribute(Qt::WA_ForceDisabled);
}

void NqCBoard::setEnabled(bool vNewEnabled)
{
    QWidget::setEnabled(vNewEnabled);
    emit PropertyChanged(EnabledName);
}

void NqCBoard::InitProperties()
{
    // A fresh control: the flag goes false while the labels keep showing until
    // Coordinate is written; Enabled and SquareStyle stay as created.
    d->model.setCoordinateFlag(false);
    Clear();
    d->model.setReversed(false);
    update();
}

void NqCBoard::ReadProperties(const NqPropertyBag& PropBag)
{
    // Each entry goes through its setter so the board shows it at once; a
    // missing entry reads as false or NoStyle.
    setCoordinate(PropBag.ReadProperty(CoordinateName, false).toBool());
    setEnabled(PropBag.ReadProperty(EnabledName, false).toBool());
    setReverseBoard(PropBag.ReadProperty(ReverseBoardName, false).toBool());
    setSquareStyle(static_cast<SqStyle>(PropBag.ReadProperty(SquareStyleName, NoStyle).toInt()));
}

void NqCBoard::WriteProperties(NqPropertyBag& PropBag) const
{
    // No defaults: all four entries are written every time.
    PropBag.WriteProperty(CoordinateName, Coordinate());
    PropBag.WriteProperty(EnabledName, Enabled());
    PropBag.WriteProperty(ReverseBoardName, ReverseBoard());
    PropBag.WriteProperty(SquareStyleName, static_cast<qint32>(SquareStyle()));
}

QRect NqCBoard::SquareRectTwips(Column col, short row) const
{
    // Edges are rounded one by one (halves to even) so neighbours still touch.
    const QRectF exact = boardGeometry().squareRectTwips(col, row);
    const int left = roundTwips(exact.left());
    const int top = roundTwips(exact.top());
    return QRect(left, top, roundTwips(exact.right()) - left, roundTwips(exact.bottom()) - top);
}

QPoint NqCBoard::LabelPosTwips(int kind, int index) const
{
    if (kind != BoardGeometry::FileLabels && kind != BoardGeometry::RankLabels)
        return {};
    const QPointF exact =
        boardGeometry().labelPosTwips(static_cast<BoardGeometry::LabelKind>(kind), index);
    return QPoint(roundTwips(exact.x()), roundTwips(exact.y()));
}

bool NqCBoard::IsHighlighted(Column col, short row) const
{
    return d->model.isHighlighted(col, row);
}

QSize NqCBoard::sizeHint() const
{
    return {DefaultSide, DefaultSide};
}

BoardGeometry NqCBoard::boardGeometry() const
{
    const QFontMetricsF metrics(d->labelFont, this);
    constexpr int twips = BoardGeometry::TwipsPerPixel;
    return BoardGeometry(height() * twips, d->model.reversed(),
                         metrics.horizontalAdvance(FileLetters.at(0)) * twips,
                         metrics.horizontalAdvance(RankDigits.at(0)) * twips);
}

void NqCBoard::relayout()
{
    // Marks belong to the old layout; the pieces stay.
    d->model.clearMarks();
    update();
}

void NqCBoard::endDrag()
{
    d->pressed.reset();
    d->dragging = false;
    update();
}

void NqCBoard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const BoardGeometry geo = boardGeometry();
    drawBackground(painter);
    drawSquares(painter, geo);
    drawCoordinates(painter, geo);
    drawSelection(painter, geo);
    drawPieces(painter, geo);
    drawMarks(painter, geo);
    drawDraggedPiece(painter, geo);
}

void NqCBoard::drawBackground(QPainter& painter)
{
    painter.drawPixmap(0, 0, d->art.frame(size(), devicePixelRatioF()));
}

void NqCBoard::drawSquares(QPainter& painter, const BoardGeometry& geo)
{
    // Each tile holds two by two squares, light at its top left and bottom
    // right; tiles stay put when the board turns, so the top-left square is
    // always light.
    const QBrush light = d->art.lightSquare();
    const QBrush dark = d->art.darkSquare();
    for (int across = 0; across < 8; ++across) {
        for (int down = 0; down < 8; ++down)
            painter.fillRect(geo.cellRectPixels(across, down), (across + down) % 2 ? dark : light);
    }
    // A thin dark edge sets the squares off from the frame's wood.
    painter.setPen(QPen(SquareBorderColor, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(geo.boardRectPixels().adjusted(-1, -1, 0, 0));
    if (d->squareStyle == FixedSingle) {
        for (int across = 0; across < 8; ++across) {
            for (int down = 0; down < 8; ++down)
                painter.drawRect(geo.cellRectPixels(across, down).adjusted(0, 0, -1, -1));
        }
    }
}

void NqCBoard::drawCoordinates(QPainter& painter, const BoardGeometry& geo)
{
    if (!d->labelsVisible)
        return;
    const QFontMetricsF metrics(d->labelFont, this);
    painter.setFont(d->labelFont);
    painter.setPen(LabelColor);
    const struct
    {
        BoardGeometry::LabelKind kind;
        const QString& texts;
    } kinds[] = {{BoardGeometry::FileLabels, FileLetters}, {BoardGeometry::RankLabels, RankDigits}};
    for (const auto& kind : kinds) {
        // Every label box is as wide as label 0, the width its place was centred with.
        const QSizeF box(metrics.horizontalAdvance(kind.texts.at(0)), metrics.height());
        for (int i = 0; i < BoardGeometry::LabelCount; ++i) {
            const QPointF at = geo.labelPosTwips(kind.kind, i) / BoardGeometry::TwipsPerPixel;
            painter.drawText(QRectF(at, box), Qt::AlignCenter, kind.texts.at(i % 8));
        }
    }
}

void NqCBoard::drawPieces(QPainter& painter, const BoardGeometry& geo)
{
    const int side = pieceSide(geo);
    for (int row = 1; row <= 8; ++row) {
        for (int col = 1; col <= 8; ++col) {
            if (d->dragging && d->pressed == BoardGeometry::Square{col, row})
                continue;
            const QPixmap picture =
                d->pieces.pixmap(d->model.piece(col, row), side, devicePixelRatioF());
            if (picture.isNull())
                continue;
            painter.drawPixmap(pieceCorner(geo.squareRectPixels(col, row), side), picture);
        }
    }
}

void NqCBoard::drawMarks(QPainter& painter, const BoardGeometry& geo)
{
    // Forward-diagonal hatch lines spaced and thickened with the square, so
    // a mark reads as well on a large board as on a small one.
    for (int row = 1; row <= 8; ++row) {
        for (int col = 1; col <= 8; ++col) {
            if (!d->model.isHighlighted(col, row))
                continue;
            const QRect r = geo.squareRectPixels(col, row);
            const int step = std::max(HatchMinStep, r.width() / HatchLinesPerSquare);
            painter.save();
            painter.setClipRect(r);
            painter.setPen(QPen(colorFromBgr(d->model.highlightColor(col, row)),
                                std::max(1, step / 5), Qt::SolidLine, Qt::FlatCap));
            for (int k = -r.height(); k < r.width(); k += step)
                painter.drawLine(r.left() + k, r.top(), r.left() + k + r.height(), r.bottom() + 1);
            painter.restore();
        }
    }
}

void NqCBoard::drawSelection(QPainter& painter, const BoardGeometry& geo)
{
    // The square is inverted under its piece, so the piece keeps its own
    // colour. Inverting is its own inverse: a second selection would undo the
    // first, which is why the model keeps at most one per square.
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    for (int row = 1; row <= 8; ++row) {
        for (int col = 1; col <= 8; ++col) {
            if (d->model.isSelected(col, row))
                painter.fillRect(geo.squareRectPixels(col, row), Qt::white);
        }
    }
    painter.restore();
}

void NqCBoard::drawDraggedPiece(QPainter& painter, const BoardGeometry& geo)
{
    if (!d->dragging || !d->pressed)
        return;
    const int side = pieceSide(geo);
    const QPixmap picture = d->pieces.pixmap(d->model.piece(d->pressed->col, d->pressed->row), side,
                                             devicePixelRatioF());
    if (!picture.isNull())
        painter.drawPixmap(d->pointer - d->grabOffset, picture);
}

void NqCBoard::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The height rules: a width the host gave otherwise is replaced, and the
    // resize that follows lays the board out.
    if (width() != height()) {
        resize(height(), height());
        return;
    }
    // The first resize, sent when the control is first shown, has no old size;
    // marks set before that were drawn for this very layout and stay.
    if (event->oldSize().isValid() && event->oldSize() != event->size())
        relayout();
}

void NqCBoard::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const QPoint at = event->position().toPoint();
    const BoardGeometry geo = boardGeometry();
    const auto square = geo.squareAt(at);
    if (!square)
        return;
    d->pressed = square;
    d->pressPos = at;
    d->grabOffset =
        at - pieceCorner(geo.squareRectPixels(square->col, square->row), pieceSide(geo));
    d->pointer = at;
    d->dragging = false;
    // Last, as the host's handler may change the board, disable it or even drop it.
    emit Click(static_cast<Column>(square->col), static_cast<short>(square->row));
}

void NqCBoard::mouseMoveEvent(QMouseEvent* event)
{
    if (!d->pressed || !(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    d->pointer = event->position().toPoint();
    if (!d->dragging &&
        (d->pointer - d->pressPos).manhattanLength() >= QApplication::startDragDistance())
        d->dragging = true;
    if (d->dragging)
        update();
}

void NqCBoard::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !d->pressed)
        return QWidget::mouseReleaseEvent(event);
    const BoardGeometry::Square origin = *d->pressed;
    endDrag();
    // Letting go over another square finishes a drag as a second click would.
    const auto target = boardGeometry().squareAt(event->position().toPoint());
    if (target && *target != origin)
        emit Click(static_cast<Column>(target->col), static_cast<short>(target->row));
}

void NqCBoard::changeEvent(QEvent* event)
{
    // A board disabled in the middle of a press (often by the host's Click
    // handler) gets no release: the press ends here.
    if (event->type() == QEvent::EnabledChange && !isEnabled() && d->pressed)
        endDrag();
    QWidget::changeEvent(event);
}

} // namespace Pellomar
