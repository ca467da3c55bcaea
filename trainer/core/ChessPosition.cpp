#include "ChessPosition.h"

#include <QList>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace kx {

namespace {

using Bits = quint64;

constexpr Bits bit(int square)
{
    return Bits(1) << square;
}

constexpr int fileOf(int square)
{
    return square & 7;
}

constexpr int rankOf(int square)
{
    return square >> 3;
}

// The eight directions; the first four go to higher square numbers, so the
// nearest piece on such a ray is its lowest set bit, on the others the highest.
enum Direction { North, East, NorthEast, NorthWest, South, West, SouthWest, SouthEast };
constexpr int kFileStep[8] = {0, 1, 1, -1, 0, -1, -1, 1};
constexpr int kRankStep[8] = {1, 0, 1, 1, -1, 0, -1, -1};

struct Tables
{
    Bits knight[64]{};
    Bits king[64]{};
    Bits pawnAttacks[2][64]{}; // squares a pawn of each colour attacks
    Bits ray[8][64]{};         // squares from a square to the edge, itself excluded
    Bits between[64][64]{};    // squares strictly between two aligned squares
    Bits line[64][64]{};       // the whole line through two aligned squares
    Bits rookRays[64]{};
    Bits bishopRays[64]{};
};

constexpr Bits stepsFrom(int square, const int (&steps)[8][2])
{
    Bits set = 0;
    for (const auto& step : steps) {
        const int f = fileOf(square) + step[0];
        const int r = rankOf(square) + step[1];
        if (f >= 0 && f < 8 && r >= 0 && r < 8)
            set |= bit(r * 8 + f);
    }
    return set;
}

constexpr Tables makeTables()
{
    constexpr int knightSteps[8][2] = {{1, 2},   {2, 1},   {2, -1}, {1, -2},
                                       {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    constexpr int kingSteps[8][2] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                                     {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    Tables t;
    for (int sq = 0; sq < 64; ++sq) {
        t.knight[sq] = stepsFrom(sq, knightSteps);
        t.king[sq] = stepsFrom(sq, kingSteps);
        const int f = fileOf(sq);
        const int r = rankOf(sq);
        for (int side = 0; side < 2; ++side) {
            const int ahead = side == 0 ? r + 1 : r - 1;
            if (ahead < 0 || ahead > 7)
                continue;
            if (f > 0)
                t.pawnAttacks[side][sq] |= bit(ahead * 8 + f - 1);
            if (f < 7)
                t.pawnAttacks[side][sq] |= bit(ahead * 8 + f + 1);
        }
        for (int d = 0; d < 8; ++d) {
            Bits passed = 0;
            for (int nf = f + kFileStep[d], nr = r + kRankStep[d];
                 nf >= 0 && nf < 8 && nr >= 0 && nr < 8; nf += kFileStep[d], nr += kRankStep[d]) {
                const int to = nr * 8 + nf;
                t.ray[d][sq] |= bit(to);
                t.between[sq][to] = passed;
                passed |= bit(to);
            }
        }
    }
    for (int sq = 0; sq < 64; ++sq) {
        t.rookRays[sq] = t.ray[North][sq] | t.ray[East][sq] | t.ray[South][sq] | t.ray[West][sq];
        t.bishopRays[sq] = t.ray[NorthEast][sq] | t.ray[NorthWest][sq] | t.ray[SouthWest][sq] |
                           t.ray[SouthEast][sq];
        for (int d = 0; d < 4; ++d) {
            const Bits whole = t.ray[d][sq] | t.ray[d + 4][sq] | bit(sq);
            for (Bits on = t.ray[d][sq] | t.ray[d + 4][sq]; on; on &= on - 1)
                t.line[sq][std::countr_zero(on)] = whole;
        }
    }
    return t;
}

constexpr Tables kTables = makeTables();

template<Direction D> Bits slide(int square, Bits occupied)
{
    Bits ray = kTables.ray[D][square];
    if (const Bits blockers = ray & occupied) {
        const int first = D < South ? std::countr_zero(blockers) : 63 - std::countl_zero(blockers);
        ray ^= kTables.ray[D][first];
    }
    return ray;
}

Bits rookAttacks(int square, Bits occupied)
{
    return slide<North>(square, occupied) | slide<East>(square, occupied) |
           slide<South>(square, occupied) | slide<West>(square, occupied);
}

Bits bishopAttacks(int square, Bits occupied)
{
    return slide<NorthEast>(square, occupied) | slide<NorthWest>(square, occupied) |
           slide<SouthWest>(square, occupied) | slide<SouthEast>(square, occupied);
}

int popLowest(Bits& set)
{
    const int square = std::countr_zero(set);
    set &= set - 1;
    return square;
}

// Castling rights that survive a move from or to each square: moving the
// king or a rook, or taking a rook on its home square, loses them.
constexpr std::array<quint8, 64> makeCastlingKeep()
{
    std::array<quint8, 64> keep{};
    keep.fill(15);
    keep[4] = 15 & ~3;   // e1: both white rights
    keep[7] = 15 & ~1;   // h1: white short
    keep[0] = 15 & ~2;   // a1: white long
    keep[60] = 15 & ~12; // e8: both black rights
    keep[63] = 15 & ~4;  // h8: black short
    keep[56] = 15 & ~8;  // a8: black long
    return keep;
}
constexpr std::array<quint8, 64> kCastlingKeep = makeCastlingKeep();

int squareFromName(QStringView name)
{
    if (name.size() != 2 || name[0] < u'a' || name[0] > u'h' || name[1] < u'1' || name[1] > u'8')
        return -1;
    return (name[1].unicode() - u'1') * 8 + (name[0].unicode() - u'a');
}

bool readCount(QStringView text, int* value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && *value >= 0;
}

} // namespace

void ChessPosition::put(int square, quint8 piece)
{
    m_board[square] = piece;
    m_byColor[(piece & kBlackBit) ? kBlack : kWhite] |= bit(square);
    m_byKind[piece & kKindMask] |= bit(square);
}

void ChessPosition::remove(int square)
{
    const quint8 piece = m_board[square];
    m_board[square] = 0;
    m_byColor[(piece & kBlackBit) ? kBlack : kWhite] &= ~bit(square);
    m_byKind[piece & kKindMask] &= ~bit(square);
}

std::optional<ChessPosition> ChessPosition::FromFen(QStringView fen)
{
    const QList<QStringView> fields = fen.split(u' ', Qt::SkipEmptyParts);
    if (fields.size() != 4 && fields.size() != 6)
        return std::nullopt;
    ChessPosition pos;

    // Placement: ranks 8 to 1 separated by "/", each of exactly eight squares.
    int rank = 7;
    int file = 0;
    for (const QChar c : fields[0]) {
        if (c == u'/') {
            if (file != 8 || rank == 0)
                return std::nullopt;
            --rank;
            file = 0;
        } else if (c >= u'1' && c <= u'8') {
            file += c.unicode() - u'0';
            if (file > 8)
                return std::nullopt;
        } else {
            const char letter = char(c.toUpper().toLatin1());
            const char* found = letter ? std::strchr(kPieceLetters + 1, letter) : nullptr;
            if (!found || file >= 8)
                return std::nullopt;
            const quint8 kind = quint8(found - kPieceLetters);
            pos.put(rank * 8 + file, kind | (c.isLower() ? kBlackBit : 0));
            ++file;
        }
    }
    if (rank != 0 || file != 8)
        return std::nullopt;

    if (fields[1] == u"w" || fields[1] == u"W")
        pos.m_side = kWhite;
    else if (fields[1] == u"b" || fields[1] == u"B")
        pos.m_side = kBlack;
    else
        return std::nullopt;

    // A right counts only while its king and rook stand at home.
    const auto atHome = [&pos](int colour, int king, int rook) {
        const Bits own = pos.m_byColor[colour];
        return (pos.m_byKind[King] & own & bit(king)) && (pos.m_byKind[Rook] & own & bit(rook));
    };
    if (fields[2] != u"-") {
        for (const QChar c : fields[2]) {
            switch (c.unicode()) {
            case 'K':
                pos.m_castling |= atHome(kWhite, 4, 7) ? kWhiteShort : 0;
                break;
            case 'Q':
                pos.m_castling |= atHome(kWhite, 4, 0) ? kWhiteLong : 0;
                break;
            case 'k':
                pos.m_castling |= atHome(kBlack, 60, 63) ? kBlackShort : 0;
                break;
            case 'q':
                pos.m_castling |= atHome(kBlack, 60, 56) ? kBlackLong : 0;
                break;
            default:
                return std::nullopt;
            }
        }
    }

    if (fields[3] != u"-") {
        const int ep = squareFromName(fields[3]);
        if (ep < 0)
            return std::nullopt;
        // Kept only when a pawn of the side that just moved stands in front
        // of it and the two squares it crossed are empty.
        const int forward = pos.m_side == kWhite ? 8 : -8;
        const int pawnSquare = ep - forward;
        const quint8 theirPawn = Pawn | (pos.m_side == kWhite ? kBlackBit : 0);
        if (rankOf(ep) == (pos.m_side == kWhite ? 5 : 2) && pos.m_board[pawnSquare] == theirPawn &&
            !pos.m_board[ep] && !pos.m_board[ep + forward])
            pos.m_epSquare = quint8(ep);
    }

    if (fields.size() == 6) {
        if (!readCount(fields[4], &pos.m_halfmoveClock) ||
            !readCount(fields[5], &pos.m_fullmoveNumber))
            return std::nullopt;
        pos.m_fullmoveNumber = std::max(pos.m_fullmoveNumber, 1);
    }

    const Bits lastRanks = Bits(0xFF) | (Bits(0xFF) << 56);
    const Bits kings = pos.m_byKind[King];
    if (std::popcount(kings & pos.m_byColor[kWhite]) != 1 ||
        std::popcount(kings & pos.m_byColor[kBlack]) != 1 || (pos.m_byKind[Pawn] & lastRanks))
        return std::nullopt;
    const int theirKing = std::countr_zero(kings & pos.m_byColor[pos.m_side ^ 1]);
    if (pos.attacked(theirKing, pos.m_side, pos.m_byColor[0] | pos.m_byColor[1]))
        return std::nullopt;
    return pos;
}

QString ChessPosition::ToFen() const
{
    QString fen;
    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            const quint8 piece = m_board[rank * 8 + file];
            if (!piece) {
                ++empty;
                continue;
            }
            if (empty)
                fen += QChar(u'0' + empty);
            empty = 0;
            const QChar letter = QLatin1Char(kPieceLetters[piece & kKindMask]);
            fen += (piece & kBlackBit) ? letter.toLower() : letter;
        }
        if (empty)
            fen += QChar(u'0' + empty);
        if (rank)
            fen += u'/';
    }
    fen += m_side == kWhite ? u" w " : u" b ";
    QString castling;
    const char* letters = "KQkq";
    for (int i = 0; i < 4; ++i) {
        if (m_castling & (1 << i))
            castling += QLatin1Char(letters[i]);
    }
    fen += castling.isEmpty() ? QStringLiteral("-") : castling;
    fen += u' ';
    if (m_epSquare == kNoSquare)
        fen += u'-';
    else
        fen += QString(QChar(u'a' + fileOf(m_epSquare))) + QChar(u'1' + rankOf(m_epSquare));
    return fen + QStringLiteral(" %1 %2").arg(m_halfmoveClock).arg(m_fullmoveNumber);
}

quint64 ChessPosition::attackersOf(int square, int by, quint64 occupied) const
{
    const Bits theirs = m_byColor[by];
    const Bits queens = m_byKind[Queen];
    return theirs &
           ((kTables.pawnAttacks[by ^ 1][square] & m_byKind[Pawn]) |
            (kTables.knight[square] & m_byKind[Knight]) | (kTables.king[square] & m_byKind[King]) |
            (bishopAttacks(square, occupied) & (m_byKind[Bishop] | queens)) |
            (rookAttacks(square, occupied) & (m_byKind[Rook] | queens)));
}

bool ChessPosition::attacked(int square, int by, quint64 occupied) const
{
    const Bits theirs = m_byColor[by];
    if (theirs &
        ((kTables.pawnAttacks[by ^ 1][square] & m_byKind[Pawn]) |
         (kTables.knight[square] & m_byKind[Knight]) | (kTables.king[square] & m_byKind[King])))
        return true;
    const Bits diagonal = theirs & (m_byKind[Bishop] | m_byKind[Queen]);
    if ((kTables.bishopRays[square] & diagonal) && (bishopAttacks(square, occupied) & diagonal))
        return true;
    const Bits straight = theirs & (m_byKind[Rook] | m_byKind[Queen]);
    return (kTables.rookRays[square] & straight) && (rookAttacks(square, occupied) & straight);
}

bool ChessPosition::inCheck() const
{
    const int king = std::countr_zero(m_byKind[King] & m_byColor[m_side]);
    return attacked(king, m_side ^ 1, m_byColor[0] | m_byColor[1]);
}

bool ChessPosition::enPassantKeepsKingSafe(int from, int king) const
{
    // Taking en passant empties two squares of one rank at once, which can
    // open a line to the king that no pin test sees: look at the board after it.
    const int taken = m_epSquare + (m_side == kWhite ? -8 : 8);
    const Bits occupied =
        ((m_byColor[0] | m_byColor[1]) ^ bit(from) ^ bit(taken)) | bit(m_epSquare);
    return !(attackersOf(king, m_side ^ 1, occupied) & ~bit(taken)); // the taken pawn is gone
}

void ChessPosition::addCastling(MoveList& moves, int king) const
{
    const int base = m_side == kWhite ? 0 : 56;
    const quint8 shortRight = m_side == kWhite ? kWhiteShort : kBlackShort;
    const quint8 longRight = m_side == kWhite ? kWhiteLong : kBlackLong;
    const Bits occupied = m_byColor[0] | m_byColor[1];
    const int them = m_side ^ 1;
    // The king may not pass through or land on an attacked square.
    if ((m_castling & shortRight) && !(occupied & (bit(base + 5) | bit(base + 6))) &&
        !attacked(base + 5, them, occupied) && !attacked(base + 6, them, occupied))
        moves.add({quint8(king), quint8(base + 6), NoKind, ChessMove::Castling});
    if ((m_castling & longRight) && !(occupied & (bit(base + 1) | bit(base + 2) | bit(base + 3))) &&
        !attacked(base + 3, them, occupied) && !attacked(base + 2, them, occupied))
        moves.add({quint8(king), quint8(base + 2), NoKind, ChessMove::Castling});
}

void ChessPosition::GenerateLegalMoves(MoveList& moves) const
{
    moves.clear();
    const int us = m_side;
    const int them = us ^ 1;
    const Bits own = m_byColor[us];
    const Bits occupied = own | m_byColor[them];
    const int king = std::countr_zero(m_byKind[King] & own);
    const Bits checkers = attackersOf(king, them, occupied);

    // The king steps to squares not attacked once it has left its own.
    for (Bits to = kTables.king[king] & ~own; to;) {
        const int square = popLowest(to);
        if (!attacked(square, them, occupied ^ bit(king)))
            moves.add({quint8(king), quint8(square), NoKind, ChessMove::Plain});
    }
    if (checkers & (checkers - 1))
        return; // double check: only the king moves

    // Other pieces must take a lone checker or step between it and the king.
    Bits target = ~own;
    if (checkers)
        target &= kTables.between[king][std::countr_zero(checkers)] | checkers;
    else
        addCastling(moves, king);

    // A piece alone between the king and an enemy slider may only move along that line.
    Bits pinned = 0;
    const Bits enemy = m_byColor[them];
    Bits snipers = (kTables.rookRays[king] & (m_byKind[Rook] | m_byKind[Queen]) & enemy) |
                   (kTables.bishopRays[king] & (m_byKind[Bishop] | m_byKind[Queen]) & enemy);
    while (snipers) {
        const Bits inBetween = kTables.between[king][popLowest(snipers)] & occupied;
        if (inBetween && !(inBetween & (inBetween - 1)) && (inBetween & own))
            pinned |= inBetween;
    }
    const auto allowed = [&](int from) {
        return (pinned & bit(from)) ? target & kTables.line[king][from] : target;
    };

    for (Bits knights = m_byKind[Knight] & own & ~pinned; knights;) {
        const int from = popLowest(knights);
        for (Bits to = kTables.knight[from] & target; to;)
            moves.add({quint8(from), quint8(popLowest(to)), NoKind, ChessMove::Plain});
    }
    for (Bits diagonal = (m_byKind[Bishop] | m_byKind[Queen]) & own; diagonal;) {
        const int from = popLowest(diagonal);
        for (Bits to = bishopAttacks(from, occupied) & allowed(from); to;)
            moves.add({quint8(from), quint8(popLowest(to)), NoKind, ChessMove::Plain});
    }
    for (Bits straight = (m_byKind[Rook] | m_byKind[Queen]) & own; straight;) {
        const int from = popLowest(straight);
        for (Bits to = rookAttacks(from, occupied) & allowed(from); to;)
            moves.add({quint8(from), quint8(popLowest(to)), NoKind, ChessMove::Plain});
    }

    const int forward = us == kWhite ? 8 : -8;
    const int startRank = us == kWhite ? 1 : 6;
    const int lastRank = us == kWhite ? 7 : 0;
    const auto addPawnMove = [&](int from, int to, quint8 flags) {
        if (rankOf(to) != lastRank) {
            moves.add({quint8(from), quint8(to), NoKind, flags});
            return;
        }
        for (const PieceKind piece : {Queen, Rook, Bishop, Knight})
            moves.add({quint8(from), quint8(to), piece, flags});
    };
    for (Bits pawns = m_byKind[Pawn] & own; pawns;) {
        const int from = popLowest(pawns);
        const Bits mayGo = allowed(from);
        const int one = from + forward;
        if (!(occupied & bit(one))) {
            if (mayGo & bit(one))
                addPawnMove(from, one, ChessMove::Plain);
            const int two = one + forward;
            if (rankOf(from) == startRank && !(occupied & bit(two)) && (mayGo & bit(two)))
                moves.add({quint8(from), quint8(two), NoKind, ChessMove::DoublePush});
        }
        for (Bits to = kTables.pawnAttacks[us][from] & enemy & mayGo; to;)
            addPawnMove(from, popLowest(to), ChessMove::Plain);
        if (m_epSquare != kNoSquare && (kTables.pawnAttacks[us][from] & bit(m_epSquare)) &&
            enPassantKeepsKingSafe(from, king))
            moves.add({quint8(from), m_epSquare, NoKind, ChessMove::EnPassant});
    }
}

ChessPosition::Undo ChessPosition::MakeMove(const ChessMove& move)
{
    const Undo undo{m_board[move.to], m_castling, m_epSquare, m_halfmoveClock};
    const quint8 piece = m_board[move.from];
    const quint8 colour = piece & kBlackBit;
    if (undo.captured)
        remove(move.to);
    remove(move.from);
    put(move.to, move.promotion ? quint8(move.promotion | colour) : piece);

    m_epSquare = kNoSquare;
    if (move.flags & ChessMove::EnPassant) {
        remove(move.to + (m_side == kWhite ? -8 : 8));
    } else if (move.flags & ChessMove::Castling) {
        const bool kingside = move.to > move.from;
        const int rookFrom = kingside ? move.to + 1 : move.to - 2;
        const int rookTo = kingside ? move.to - 1 : move.to + 1;
        remove(rookFrom);
        put(rookTo, Rook | colour);
    } else if (move.flags & ChessMove::DoublePush) {
        m_epSquare = quint8((move.from + move.to) / 2);
    }
    m_castling &= kCastlingKeep[move.from] & kCastlingKeep[move.to];
    m_halfmoveClock = (undo.captured || (piece & kKindMask) == Pawn) ? 0 : m_halfmoveClock + 1;
    if (m_side == kBlack)
        ++m_fullmoveNumber;
    m_side ^= 1;
    return undo;
}

void ChessPosition::UnmakeMove(const ChessMove& move, const Undo& undo)
{
    m_side ^= 1;
    if (m_side == kBlack)
        --m_fullmoveNumber;
    const quint8 colour = m_side == kBlack ? kBlackBit : 0;
    const quint8 piece = move.promotion ? quint8(Pawn | colour) : m_board[move.to];
    remove(move.to);
    put(move.from, piece);
    if (undo.captured)
        put(move.to, undo.captured);
    if (move.flags & ChessMove::EnPassant) {
        put(move.to + (m_side == kWhite ? -8 : 8), Pawn | (colour ^ kBlackBit));
    } else if (move.flags & ChessMove::Castling) {
        const bool kingside = move.to > move.from;
        remove(kingside ? move.to - 1 : move.to + 1);
        put(kingside ? move.to + 1 : move.to - 2, Rook | colour);
    }
    m_castling = undo.castling;
    m_epSquare = undo.epSquare;
    m_halfmoveClock = undo.halfmoveClock;
}

quint64 Perft(ChessPosition& position, int depth, PerftLeaves leaves)
{
    if (depth <= 0)
        return 1;
    MoveList moves;
    position.GenerateLegalMoves(moves);
    if (depth == 1 && leaves == PerftLeaves::Counted)
        return quint64(moves.size());
    quint64 nodes = 0;
    for (const ChessMove& move : moves) {
        const ChessPosition::Undo undo = position.MakeMove(move);
        nodes += Perft(position, depth - 1, leaves);
        position.UnmakeMove(move, undo);
    }
    return nodes;
}

} // namespace kx
