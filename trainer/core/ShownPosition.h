#pragma once

#include "ChessPosition.h"
#include "Fen.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kx {

/*
 * The position on the board: the record shown and its number, the squares
 * the board draws, the side to move and, when the record is a legal
 * position, that position as the legal-move core knows it. A move entered on
 * the board (a piece of the side to move picked, then a square it can reach)
 * is made here through the core, so castling moves the rook, en passant
 * takes the pawn and a pawn becomes the piece chosen; the board only draws
 * the result. Only legal moves are made. During a session the user moves one
 * move at a time: after each, the board takes no other until the trainer's
 * reply along the solution's line has been played, or another position is shown.
 */
class ShownPosition
{
public:
    /// Shows record number n: its squares and side, read as the board reads them.
    void Show(qint32 number, const QString& record);

    /// Another suite was chosen: the position stays on the board but is no
    /// position of that suite.
    void LeaveSuite() { m_number = 0; }

    /// The number of the position shown; 0 when none is.
    qint32 number() const { return m_number; }
    const QString& record() const { return m_record; }
    /// Changes with every Show, so a move finished after events ran can tell
    /// that another position came up meanwhile.
    quint64 serial() const { return m_serial; }

    /// The 64 squares in board order (0 = a1), as the board's piece codes.
    const Placement& squares() const { return m_squares; }
    bool blackToMove() const { return m_black; }
    /// The position on the board; none when the board shows no legal position.
    const std::optional<ChessPosition>& position() const { return m_position; }

    enum class Pick { Picked, Empty, NotToMove, NoPosition, Waiting };
    /// The square picked as a move's origin (board order); -1 when none is.
    int picked() const { return m_picked; }
    /// Picks the square when a piece of the side to move stands on it and
    /// the board is not waiting for the trainer's reply.
    Pick PickSquare(int square);
    void Drop() { m_picked = -1; }
    /// True when the picked piece has a legal move to square.
    bool CanReach(int square) const;
    /// True when the picked piece is a pawn and square is on its last rank.
    bool IsPromotion(int square) const;
    /// Moves the picked piece to square (a pawn becoming promotion) and
    /// returns the move as the board writes it ("Ng1f3", "Pe7e8=Q"); the pick
    /// is dropped. "" and nothing moved when it is no legal move.
    QString Move(int square, PieceKind promotion = NoKind);
    /// The move made last on this position (the answer); "" until one is.
    const QString& userMove() const { return m_userMove; }
    /// Every move made since the position was shown, the user's and the
    /// trainer's replies in turn, as the board writes them.
    const QStringList& moves() const { return m_moves; }

    /// On, each move of the user closes the board to further moves until a
    /// reply is played or another position is shown; off, it stays open.
    void setOneMoveAtATime(bool on);
    /// True while the board waits for the trainer's reply.
    bool waitingForReply() const { return m_waiting; }
    /// Plays the trainer's reply, a legal move of the side to move, and
    /// opens the board to the user again; the move as the board writes it,
    /// "" and nothing moved when it is no legal move.
    QString PlayReply(const ChessMove& reply);

    /// The board as FEN: placement, side, and the castling rights and en
    /// passant square that still hold ("- -" when the record is no legal position).
    QString Fen() const;

private:
    void setFromPosition();
    /// Makes a legal move of the position and returns it as the board writes it.
    QString make(const ChessMove& move);

    qint32 m_number = 0;
    QString m_record;
    quint64 m_serial = 0;
    Placement m_squares{};
    bool m_black = false;
    std::optional<ChessPosition> m_position;
    int m_picked = -1;
    QString m_userMove;
    QStringList m_moves;
    bool m_oneMoveAtATime = false;
    bool m_waiting = false;
};

/// The board's piece code (1 empty, 2..7 black king to pawn, 8..13 white) of a piece.
qint16 BoardPieceCode(PieceKind kind, bool black);

} // namespace kx
