#pragma once

#include "ChessMove.h"
#include "MoveList.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace kx {

/*
 * A chess position that knows the rules: read from FEN, its legal moves
 * (castling, en passant, promotions, pins and checks), and making and
 * taking back a move. Squares are numbered in board order (0 = a1, 63 = h8).
 * Pieces are kept both as bit sets and as a square table, so generating the
 * legal moves needs neither trial moves nor heap memory.
 */
class ChessPosition
{
public:
    /// What MakeMove changed beyond the pieces moved, for UnmakeMove.
    struct Undo
    {
        quint8 captured = 0; // piece code taken (0 none)
        quint8 castling = 0;
        quint8 epSquare = 0;
        int halfmoveClock = 0;
    };

    /// Reads a FEN of four fields (placement, side, castling, en passant) or
    /// six (with the half-move clock and the move number), separated by
    /// blanks. Nothing when the text is not such a FEN or the position cannot
    /// arise: not one king a side, a pawn on the first or last rank, or the
    /// side that has just moved left in check. Castling rights whose king or
    /// rook is not at home, and an en-passant square no pawn just passed, are
    /// dropped rather than refused.
    static std::optional<ChessPosition> FromFen(QStringView fen);

    /// The position as a six-field FEN.
    QString ToFen() const;

    bool blackToMove() const { return m_side == kBlack; }
    /// The FEN's move number: 1 at the start, one more after each move of Black.
    int fullmoveNumber() const { return m_fullmoveNumber; }
    /// The kind of piece on the square; NoKind when it is empty.
    PieceKind kindAt(int square) const { return PieceKind(m_board[square] & kKindMask); }
    /// True when a black piece stands on the square.
    bool blackAt(int square) const { return m_board[square] & kBlackBit; }
    /// True when the side to move is in check.
    bool inCheck() const;

    /// Replaces the list's contents with the legal moves of the side to move.
    void GenerateLegalMoves(MoveList& moves) const;
    MoveList LegalMoves() const
    {
        MoveList moves;
        GenerateLegalMoves(moves);
        return moves;
    }

    /// Plays a move taken from this position's legal moves.
    Undo MakeMove(const ChessMove& move);
    /// Takes back the move that MakeMove returned undo for.
    void UnmakeMove(const ChessMove& move, const Undo& undo);

    friend bool operator==(const ChessPosition&, const ChessPosition&) = default;

private:
    static constexpr int kWhite = 0;
    static constexpr int kBlack = 1;
    static constexpr quint8 kKindMask = 7;
    static constexpr quint8 kBlackBit = 8;
    static constexpr quint8 kNoSquare = 64;
    static constexpr quint8 kWhiteShort = 1;
    static constexpr quint8 kWhiteLong = 2;
    static constexpr quint8 kBlackShort = 4;
    static constexpr quint8 kBlackLong = 8;

    ChessPosition() = default;
    void put(int square, quint8 piece);
    void remove(int square);
    quint64 attackersOf(int square, int by, quint64 occupied) const;
    bool attacked(int square, int by, quint64 occupied) const;
    bool enPassantKeepsKingSafe(int from, int king) const;
    void addCastling(MoveList& moves, int king) const;

    quint64 m_byColor[2] = {0, 0};
    quint64 m_byKind[7] = {0, 0, 0, 0, 0, 0, 0};
    quint8 m_board[64] = {};
    quint8 m_side = kWhite;
    quint8 m_castling = 0;         // rights left: kWhiteShort, kWhiteLong, ...
    quint8 m_epSquare = kNoSquare; // the square a pawn may take en passant onto
    int m_halfmoveClock = 0;
    int m_fullmoveNumber = 1;
};

enum class PerftLeaves {
    Counted, // the last ply's moves are counted, not played
    Played   // every leaf is made and taken back
};

/// Number of move sequences of the given length from the position (which is
/// left as it was): the standard check of a move generator.
quint64 Perft(ChessPosition& position, int depth, PerftLeaves leaves = PerftLeaves::Counted);

} // namespace kx
