#pragma once

#include "NqPropertyBag.h"
#include "PellomarTypes.h"
#include "pellomar_export.h"

#include <QRect>
#include <QWidget>

#include <memory>

class QPainter;

namespace Pellomar {

class BoardGeometry;

/*
 * A chessboard control: shows one position, square by square as the host
 * sets it, and reports presses on squares through Click. It knows no chess
 * rules. Geometry is kept in twips (15 per pixel) so hosts can lay it out in
 * the same units as the rest of their window; the control keeps itself square,
 * its height ruling.
 */
class PELLOMAR_EXPORT NqCBoard : public QWidget
{
    Q_OBJECT

public:
    explicit NqCBoard(QWidget* parent = nullptr);
    ~NqCBoard() override;

    bool Coordinate() const;
    void setCoordinate(bool Visualizza);

    /// The piece on a square; 0 for a file or rank outside 1..8.
    Material Piece(Column col, short row) const;
    void setPiece(Column col, short row, Material Pz);

    SqStyle SquareStyle() const;
    void setSquareStyle(SqStyle vNewSquareStyle);

    /// Empties the board and sets up the initial position.
    void NewGame();
    /// Empties every square and removes all marks.
    void Clear();
    void MovePiece(Column FromCol, short FromRow, Column ToCol, short ToRow);
    /// True when the board holds exactly the initial position.
    bool InizioPartita() const;

    void SelectSquare(Column col, short row);
    void UnSelectSquare(Column col, short row);
    bool IsSelected(Column col, short row) const;
    bool OneSelected() const;

    bool ReverseBoard() const;
    void setReverseBoard(bool vNewReverseBoard);

    /// Hatches a square with forward-diagonal lines; Color is 0x00BBGGRR.
    void HighLightSquare(Column col, short row, quint32 Color);
    void UnHighLightSquare(Column col, short row);

    bool Enabled() const;
    void setEnabled(bool vNewEnabled);

    // Persistence hooks called by the host.
    void InitProperties();
    void ReadProperties(const NqPropertyBag& PropBag);
    void WriteProperties(NqPropertyBag& PropBag) const;

    /// A square's rectangle in twips (left, top, width, height), as laid out now.
    QRect SquareRectTwips(Column col, short row) const;
    /// The place of a coordinate label in twips; kind 0 = file letters, 1 = rank digits.
    QPoint LabelPosTwips(int kind, int index) const;
    bool IsHighlighted(Column col, short row) const;

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }

signals:
    void Click(Pellomar::Column col, short row);
    /// The saved state is out of date: property PropertyName changed.
    void PropertyChanged(const QString& PropertyName);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Private;
    BoardGeometry boardGeometry() const;
    /// Lays the board out again for the current size and orientation; the marks go.
    void relayout();
    void endDrag();

    // The layers of one paint, back to front.
    void drawBackground(QPainter& painter);
    void drawSquares(QPainter& painter, const BoardGeometry& geo);
    void drawCoordinates(QPainter& painter, const BoardGeometry& geo);
    void drawSelection(QPainter& painter, const BoardGeometry& geo);
    void drawPieces(QPainter& painter, const BoardGeometry& geo);
    void drawMarks(QPainter& painter, const BoardGeometry& geo);
    void drawDraggedPiece(QPainter& painter, const BoardGeometry& geo);

    void changeEvent(QEvent* event) override;

    std::unique_ptr<Private> d;
};

} // namespace Pellomar
