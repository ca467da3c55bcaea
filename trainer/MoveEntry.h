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
 * shown holds after the move, and after the trainer's reply along a line,
 * whose squares it marks so the reply is seen as a move.
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
    /// A new position is up: input already under way is not taken for it.
    void Hold();
    /// A click on a square: picks a piece of the side to move, drops the
    /// pick, or completes a legal move; anything else is refused with a reason.
    void Click(Pellomar::Column col, short row);
    /// False while input waiting from before the position came up is handled.
    bool accepting() const { return !m_held; }
    /// Makes a typed move as two clicks would; a failure says why it was not made.
    kx::Result<> TypeMove(const QString& text);
    /// Forgets a half-entered move and its mark.
    void DropPick();
    /// The trainer's reply has been played on the position shown: drawn,
    /// its origin and destination marked.
    void ShowReply(const QString& move);

signals:
    /// A move was made on the board.
    void moved();
    /// A click formed no move; why, in a few words.
    void refused(const QString& why);

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
    bool m_held = false;
};
