#include "MoveEntry.h"

#include "BoardMarks.h"
#include "MoveNotation.h"
#include "NqCBoard.h"
#include "ShownPosition.h"
#include "Twips.h"
#include "TypedMove.h"

#include <QMenu>

#include <cstring>

using Pellomar::Column;

namespace {

Column fileOf(int square)
{
    return static_cast<Column>(square % 8 + 1);
}

short rankOf(int square)
{
    return static_cast<short>(square / 8 + 1);
}

int squareOf(Column col, short row)
{
    return (row - 1) * 8 + (col - 1);
}

kx::PieceKind kindOfLetter(QChar letter)
{
    const char c = char(letter.toLatin1());
    const char* found = c ? std::strchr(kx::kPieceLetters + 1, c) : nullptr;
    return found ? kx::PieceKind(found - kx::kPieceLetters) : kx::NoKind;
}

} // namespace

MoveEntry::MoveEntry(Pellomar::NqCBoard* board, kx::ShownPosition& shown, QWidget* parent)
    : QObject(parent), m_board(board), m_shown(shown), m_parent(parent)
{
}

void MoveEntry::DrawPosition()
{
    m_board->Clear();
    drawSquares();
    m_board->setReverseBoard(m_shown.blackToMove());
}

void MoveEntry::drawSquares()
{
    const kx::Placement& squares = m_shown.squares();
    for (int square = 0; square < 64; ++square) {
        const auto piece = static_cast<Pellomar::Material>(squares[square]);
        if (m_board->Piece(fileOf(square), rankOf(square)) != piece)
            m_board->setPiece(fileOf(square), rankOf(square), piece);
    }
}

void MoveEntry::DropPick()
{
    const int picked = m_shown.picked();
    if (picked >= 0)
        m_board->UnSelectSquare(fileOf(picked), rankOf(picked));
    m_shown.Drop();
}

void MoveEntry::Click(Column col, short row)
{
    kx::ClearMoveMarks(*m_board);
    const int square = squareOf(col, row);
    if (m_shown.picked() < 0) {
        // A move starts from a piece: a click on an empty square picks nothing.
        if (m_shown.Pick(square))
            m_board->SelectSquare(col, row);
        return;
    }
    if (square == m_shown.picked()) {
        // The picked square again: forget the choice and its mark.
        DropPick();
        return;
    }
    completeMove(square, QChar());
}

QChar MoveEntry::askPromotion(int square)
{
    if (m_chooser)
        return m_chooser(fileOf(square), rankOf(square));
    QMenu menu(m_parent);
    const QList<QPair<QString, QChar>> choices = {{tr("Queen"), QLatin1Char('Q')},
                                                  {tr("Rook"), QLatin1Char('R')},
                                                  {tr("Bishop"), QLatin1Char('B')},
                                                  {tr("Knight"), QLatin1Char('N')}};
    for (const auto& choice : choices)
        menu.addAction(choice.first)->setData(choice.second);
    const QRect place = m_board->SquareRectTwips(fileOf(square), rankOf(square));
    const QAction* chosen = menu.exec(m_board->mapToGlobal(place.center() / kTwipsPerPixel));
    return chosen ? chosen->data().toChar() : QChar();
}

bool MoveEntry::completeMove(int square, QChar promotion)
{
    const int from = m_shown.picked();
    kx::PieceKind becomes = kx::NoKind;
    if (m_shown.IsPromotion(square)) {
        const quint64 serial = m_shown.serial();
        const QChar letter = promotion.isNull() ? askPromotion(square) : promotion;
        // The menu let events run: the attempt may have ended meanwhile.
        if (serial != m_shown.serial() || m_shown.picked() != from)
            return false;
        if (letter.isNull()) {
            DropPick();
            return false;
        }
        becomes = kindOfLetter(letter);
    }
    m_board->UnSelectSquare(fileOf(from), rankOf(from));
    m_shown.Move(square, becomes);
    drawSquares();
    emit moved();
    return true;
}

kx::Result<> MoveEntry::TypeMove(const QString& text)
{
    const std::optional<kx::ChessPosition>& position = m_shown.position();
    if (!position)
        return kx::Fail(tr("the board shows no position to move in"));
    const kx::TypedMove typed = kx::ReadTypedMove(*position, text);
    if (typed.outcome == kx::TypedMove::Outcome::NoMove)
        return kx::Fail(tr("no legal move is written so"));
    if (typed.outcome == kx::TypedMove::Outcome::Several) {
        QStringList moves;
        for (const kx::ChessMove& move : typed.candidates)
            moves << kx::SanOf(*position, move);
        return kx::Fail(tr("that could be %1").arg(moves.join(tr(" or "))));
    }

    // From here on as two clicks: a square picked with the mouse is dropped first.
    kx::ClearMoveMarks(*m_board);
    DropPick();
    m_shown.Pick(typed.move.from);
    const QChar promotion = typed.promotionGiven
                                ? QChar(QLatin1Char(kx::kPieceLetters[typed.move.promotion]))
                                : QChar();
    if (!completeMove(typed.move.to, promotion))
        return kx::Fail(tr("no piece was chosen"));
    return {};
}
