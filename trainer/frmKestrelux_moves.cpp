// Move entry: the user's move from two clicks (or a drag) on the board or
// typed on the keyboard, shown as the real position after it (castling rook,
// en-passant capture, promotion), and the Solution button.

#include "frmKestrelux.h"

#include "BoardMarks.h"
#include "Epd.h"
#include "MoveNotation.h"
#include "Notation.h"
#include "TypedMove.h"

#include <QLineEdit>
#include <QMenu>

using Pellomar::Column;
using Pellomar::Material;

namespace {

bool isWhitePiece(Material m)
{
    return m >= Pellomar::WKing && m <= Pellomar::Wpawn;
}

QString squareName(int col, int row)
{
    return QChar(QLatin1Char('a').unicode() + col - 1) + QString::number(row);
}

Material promotedPiece(QChar letter, bool white)
{
    switch (letter.unicode()) {
    case 'R':
        return white ? Pellomar::WRook : Pellomar::BRook;
    case 'B':
        return white ? Pellomar::WBishop : Pellomar::BBishop;
    case 'N':
        return white ? Pellomar::WKnight : Pellomar::BKnight;
    default:
        return white ? Pellomar::WQuenn : Pellomar::BQuenn;
    }
}

} // namespace

void frmKestrelux::CBoard_Click(Column col, short row)
{
    kx::ClearMoveMarks(*CBoard);
    if (selRow == 0) {
        // A move starts from a piece: a click on an empty square picks nothing.
        const Material piece = CBoard->Piece(col, row);
        if (piece == Pellomar::NoPiece || piece == 0)
            return;
        moveCols[0] = col;
        selRow = row;
        CBoard->SelectSquare(col, row);
        return;
    }
    if (col == moveCols[0] && row == selRow) {
        // The picked square again: forget the choice and its mark.
        CBoard->UnSelectSquare(col, row);
        selRow = 0;
        return;
    }
    completeMove(col, row);
}

bool frmKestrelux::completeMove(Column col, short row, QChar promotion)
{
    moveCols[1] = col;
    toRow = row;
    const auto fromCol = static_cast<Column>(moveCols[0]);
    const short fromRow = selRow;
    const Material piece = CBoard->Piece(fromCol, fromRow);
    const Material target = CBoard->Piece(col, row);
    QString move = kx::num2pie(static_cast<qint16>(piece)) + squareName(fromCol, fromRow) +
                   squareName(col, row);

    Material placed = piece;
    if ((piece == Pellomar::Wpawn && row == 8) || (piece == Pellomar::Bpawn && row == 1)) {
        const quint64 serial = m_positionSerial;
        QChar letter = promotion;
        if (!letter.isNull()) {
            // Named already (a typed move).
        } else if (m_promotionChooser) {
            letter = m_promotionChooser(col, row);
        } else {
            QMenu menu(this);
            const QList<QPair<QString, QChar>> choices = {{tr("Queen"), QLatin1Char('Q')},
                                                          {tr("Rook"), QLatin1Char('R')},
                                                          {tr("Bishop"), QLatin1Char('B')},
                                                          {tr("Knight"), QLatin1Char('N')}};
            for (const auto& choice : choices)
                menu.addAction(choice.first)->setData(choice.second);
            const QRect square = CBoard->SquareRectTwips(col, row);
            const QPoint at = CBoard->mapToGlobal(square.center() / 15);
            const QAction* chosen = menu.exec(at);
            letter = chosen ? chosen->data().toChar() : QChar();
        }
        // The menu let events run: the attempt may have ended meanwhile.
        if (serial != m_positionSerial || selRow != fromRow || moveCols[0] != fromCol)
            return false;
        if (letter.isNull()) {
            CBoard->UnSelectSquare(fromCol, fromRow);
            selRow = 0;
            return false;
        }
        move += QLatin1Char('=') + letter;
        placed = promotedPiece(letter, isWhitePiece(piece));
    }

    CBoard->UnSelectSquare(fromCol, fromRow);
    CBoard->MovePiece(fromCol, fromRow, col, row);
    if (placed != piece)
        CBoard->setPiece(col, row, placed);
    moveRookWhenCastling(fromCol, fromRow, col, piece);
    removePawnTakenEnPassant(fromCol, fromRow, col, row, piece, target);

    userMove = move;
    flipSideToMove();
    selRow = 0;
    return true;
}

QString frmKestrelux::makeTypedMove(const QString& text)
{
    const std::optional<kx::ChessPosition> position =
        kx::BoardPosition(BoardToFen(), txtFen->text());
    if (!position)
        return tr("the board shows no position to move in");
    const kx::TypedMove typed = kx::ReadTypedMove(*position, text);
    if (typed.outcome == kx::TypedMove::Outcome::NoMove)
        return tr("no legal move is written so");
    if (typed.outcome == kx::TypedMove::Outcome::Several) {
        QStringList moves;
        for (const kx::ChessMove& move : typed.candidates)
            moves << kx::SanOf(*position, move);
        return tr("that could be %1").arg(moves.join(tr(" or ")));
    }

    // From here on as two clicks: a square picked with the mouse is dropped first.
    kx::ClearMoveMarks(*CBoard);
    if (selRow != 0)
        CBoard->UnSelectSquare(static_cast<Column>(moveCols[0]), selRow);
    moveCols[0] = typed.move.from % 8 + 1;
    selRow = static_cast<short>(typed.move.from / 8 + 1);
    static constexpr char kPromotionLetters[] = "  NBRQ";
    const QChar promotion = typed.promotionGiven
                                ? QChar(QLatin1Char(kPromotionLetters[typed.move.promotion]))
                                : QChar();
    if (!completeMove(static_cast<Column>(typed.move.to % 8 + 1),
                      static_cast<short>(typed.move.to / 8 + 1), promotion))
        return tr("no piece was chosen");
    return QString();
}

void frmKestrelux::moveRookWhenCastling(Column fromCol, short fromRow, Column toCol, Material piece)
{
    const bool whiteKing = piece == Pellomar::WKing && fromRow == 1;
    const bool blackKing = piece == Pellomar::BKing && fromRow == 8;
    if (!(whiteKing || blackKing) || fromCol != Pellomar::e)
        return;
    const Material rook = whiteKing ? Pellomar::WRook : Pellomar::BRook;
    if (toCol == Pellomar::g && CBoard->Piece(Pellomar::h, fromRow) == rook)
        CBoard->MovePiece(Pellomar::h, fromRow, Pellomar::f, fromRow);
    else if (toCol == Pellomar::c && CBoard->Piece(Pellomar::a, fromRow) == rook)
        CBoard->MovePiece(Pellomar::a, fromRow, Pellomar::d, fromRow);
}

void frmKestrelux::removePawnTakenEnPassant(Column fromCol, short fromRow, Column toCol, short row,
                                            Material piece, Material target)
{
    // A pawn stepping diagonally onto an empty square takes the pawn beside it.
    if (target != Pellomar::NoPiece || std::abs(toCol - fromCol) != 1)
        return;
    if (piece == Pellomar::Wpawn && fromRow == 5 && row == 6 &&
        CBoard->Piece(toCol, fromRow) == Pellomar::Bpawn)
        CBoard->setPiece(toCol, fromRow, Pellomar::NoPiece);
    else if (piece == Pellomar::Bpawn && fromRow == 4 && row == 3 &&
             CBoard->Piece(toCol, fromRow) == Pellomar::Wpawn)
        CBoard->setPiece(toCol, fromRow, Pellomar::NoPiece);
}

void frmKestrelux::CmdSolution_Click()
{
    // The record's own bm operation, wherever it stands among the operations.
    const QString field = kx::GetBmField(txtFen->text());
    if (field.isEmpty())
        return;
    // Outside a session the first best move is also marked on the board.
    if (!sessionRunning()) {
        kx::ClearMoveMarks(*CBoard);
        kx::MarkBestMove(*CBoard, txtFen->text());
    }
    showMessage(field);
}
