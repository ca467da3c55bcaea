#pragma once

#include "PellomarTypes.h"
#include "Result.h"

#include <QChar>
#include <QObject>

#include <functional>

class QWidget;

namespace Pellomar {
class NqCBoard;
}
namespace kx {
class ShownPosition;
}

/*
 * Moves entered on the board: a piece picked with a first click and put with
 * a second (or dragged), or a move typed on the keyboard, made on the
 * position shown; the picked square's mark, and the piece a pawn becomes,
 * asked for with a menu at its square. The board draws what the position
 * shown holds after the move.
 */
class MoveEntry : public QObject
{
    Q_OBJECT

public:
    /// Asks which piece a pawn promotes to: 'Q', 'R', 'B' or 'N', or a null
    /// QChar when the user cancels.
    using PromotionChooser = std::function<QChar(Pellomar::Column col, short row)>;

    MoveEntry(Pellomar::NqCBoard* board, kx::ShownPosition& shown, QWidget* parent);

    /// Replaces the menu at the square (tests answer it).
    void setPromotionChooser(PromotionChooser chooser) { m_chooser = std::move(chooser); }

    /// Draws the position shown on the board, turned to the side to move.
    void DrawPosition();
    /// A click on a square: picks a piece, drops the pick, or completes the move.
    void Click(Pellomar::Column col, short row);
    /// Makes a typed move as two clicks would; a failure says why it was not made.
    kx::Result<> TypeMove(const QString& text);
    /// Forgets a half-entered move and its mark.
    void DropPick();

signals:
    /// A move was made on the board.
    void moved();

private:
    /// Finishes the move from the picked square to square; promotion is the
    /// piece letter when already known, else the user is asked. False when
    /// no move was made.
    bool completeMove(int square, QChar promotion);
    QChar askPromotion(int square);
    void drawSquares();

    Pellomar::NqCBoard* m_board;
    kx::ShownPosition& m_shown;
    QWidget* m_parent;
    PromotionChooser m_chooser;
};
