#include "MoveEntry.h"

#include "BoardMarks.h"
#include "MoveNotation.h"
#include "NqCBoard.h"
#include "ShownPosition.h"
#include "Twips.h"
#include "TypedMove.h"

#include <QMenu>
#include <QTimer>

#include <cstring>

using Pellomar::Column;

namespace {

constexpr quint32 kReplyColor = 0x00D07000; // blue, beside the solution's green and the user's red

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

QString squareName(int square)
{
    return QChar(u'a' + square % 8) + QString::number(square / 8 + 1);
}

QString pieceName(qint16 code)
{
    static const char* const kNames[] = {"the king",   "the queen",  "the rook",
                                         "the bishop", "the knight", "the pawn"};
    const int kind = code >= 8 ? code - 8 : code - 2;
    return kind >= 0 && kind < 6 ? MoveEntry::tr(kNames[kind]) : QString();
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

void MoveEntry::Hold()
{
    // Armed again once the events already waiting have been handled: a
    // click or key made before the position came up is not taken for it.
    m_held = true;
    QTimer::singleShot(0, this, [this] { m_held = false; });
}

void MoveEntry::Click(Column col, short row)
{
    if (m_held)
        return;
    kx::ClearMoveMarks(*m_board);
    const int square = squareOf(col, row);
    const int picked = m_shown.picked();
    if (square == picked) {
        // The picked square again: forget the choice and its mark.
        DropPick();
        return;
    }
    if (picked >= 0 && m_shown.CanReach(square)) {
        completeMove(square, QChar());
        return;
    }
    // A move starts from a piece of the side to move; another of them picked
    // instead takes its place.
    const bool own = m_shown.position() && m_shown.squares()[square] != 1 &&
                     m_shown.position()->blackAt(square) == m_shown.blackToMove();
    if (picked >= 0 && !own) {
        DropPick();
        emit refused(
            tr("%1 on %2 cannot go to %3")
                .arg(pieceName(m_shown.squares()[picked]), squareName(picked), squareName(square)));
        return;
    }
    DropPick();
    switch (m_shown.PickSquare(square)) {
    case kx::ShownPosition::Pick::Picked:
        m_board->SelectSquare(col, row);
        break;
    case kx::ShownPosition::Pick::NotToMove:
        emit refused(m_shown.blackToMove() ? tr("Black is to move") : tr("White is to move"));
        break;
    case kx::ShownPosition::Pick::NoPosition:
        emit refused(tr("the board shows no position to move in"));
        break;
    case kx::ShownPosition::Pick::Waiting:
        emit refused(tr("wait for the answer to your move"));
        break;
    case kx::ShownPosition::Pick::Empty:
        break;
    }
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
    if (m_shown.Move(square, becomes).isEmpty())
        return false;
    drawSquares();
    emit moved();
    return true;
}

void MoveEntry::ShowReply(const QString& move)
{
    DropPick();
    kx::ClearMoveMarks(*m_board);
    drawSquares();
    kx::MarkMoveText(*m_board, move, kReplyColor);
    emit moved();
}

kx::Result<> MoveEntry::TypeMove(const QString& text)
{
    if (m_held)
        return kx::Fail(tr("the position has just come up"));
    if (m_shown.waitingForReply())
        return kx::Fail(tr("wait for the answer to your move"));
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
    m_shown.PickSquare(typed.move.from);
    const QChar promotion = typed.promotionGiven
                                ? QChar(QLatin1Char(kx::kPieceLetters[typed.move.promotion]))
                                : QChar();
    if (!completeMove(typed.move.to, promotion))
        return kx::Fail(tr("no piece was chosen"));
    return {};
}
