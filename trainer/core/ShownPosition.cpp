#include "ShownPosition.h"

#include "Judging.h"
#include "Notation.h"

#include <utility>

namespace kx {

namespace {

constexpr qint16 kEmpty = 1;

// Board codes run king, queen, rook, bishop, knight, pawn: black 2..7, white 8..13.
constexpr qint16 kCodeOfKind[] = {kEmpty, 7, 6, 5, 4, 3, 2};

QString squareName(int square)
{
    return QChar(u'a' + square % 8) + QString::number(square / 8 + 1);
}

bool isPawn(qint16 code)
{
    return code == BoardPieceCode(Pawn, true) || code == BoardPieceCode(Pawn, false);
}

bool isBlackPiece(qint16 code)
{
    return code >= 2 && code <= 7;
}

} // namespace

qint16 BoardPieceCode(PieceKind kind, bool black)
{
    if (kind == NoKind)
        return kEmpty;
    return kCodeOfKind[kind] + (black ? 0 : 6);
}

void ShownPosition::Show(qint32 number, const QString& record)
{
    m_number = number;
    m_record = record;
    ++m_serial;
    const FenReading reading = ReadPlacement(record);
    m_squares = reading.squares;
    m_black = reading.blackToMove;
    m_position = RecordPosition(record);
    m_picked = -1;
    m_userMove.clear();
    m_moves.clear();
    m_waiting = false;
}

void ShownPosition::setOneMoveAtATime(bool on)
{
    m_oneMoveAtATime = on;
    m_waiting = m_waiting && on;
}

void ShownPosition::setFromPosition()
{
    for (int square = 0; square < 64; ++square)
        m_squares[square] = BoardPieceCode(m_position->kindAt(square), m_position->blackAt(square));
    m_black = m_position->blackToMove();
}

ShownPosition::Pick ShownPosition::PickSquare(int square)
{
    if (square < 0 || square >= 64 || m_squares[square] == kEmpty)
        return Pick::Empty;
    if (!m_position)
        return Pick::NoPosition;
    if (m_waiting)
        return Pick::Waiting;
    if (m_position->blackAt(square) != m_position->blackToMove())
        return Pick::NotToMove;
    m_picked = square;
    return Pick::Picked;
}

bool ShownPosition::CanReach(int square) const
{
    if (m_picked < 0 || !m_position)
        return false;
    for (const ChessMove& move : m_position->LegalMoves()) {
        if (move.from == m_picked && move.to == square)
            return true;
    }
    return false;
}

bool ShownPosition::IsPromotion(int square) const
{
    if (m_picked < 0 || !isPawn(m_squares[m_picked]))
        return false;
    return square / 8 == (isBlackPiece(m_squares[m_picked]) ? 0 : 7);
}

QString ShownPosition::Move(int square, PieceKind promotion)
{
    const int from = std::exchange(m_picked, -1);
    if (from < 0 || !m_position || m_waiting)
        return QString();
    for (const ChessMove& move : m_position->LegalMoves()) {
        if (move.from != from || move.to != square || move.promotion != promotion)
            continue;
        m_userMove = make(move);
        m_waiting = m_oneMoveAtATime;
        return m_userMove;
    }
    return QString();
}

QString ShownPosition::PlayReply(const ChessMove& reply)
{
    if (!m_position)
        return QString();
    for (const ChessMove& move : m_position->LegalMoves()) {
        if (move == reply) {
            m_picked = -1;
            m_waiting = false;
            return make(move);
        }
    }
    return QString();
}

QString ShownPosition::make(const ChessMove& move)
{
    QString text = num2pie(m_squares[move.from]) + squareName(move.from) + squareName(move.to);
    if (move.promotion != NoKind)
        text += QStringLiteral("=") + QLatin1Char(kPieceLetters[move.promotion]);
    m_position->MakeMove(move);
    setFromPosition();
    m_moves.append(text);
    return text;
}

QString ShownPosition::Fen() const
{
    if (!m_position)
        return PlacementToFen(m_squares, m_black);
    return m_position->ToFen().section(u' ', 0, 3);
}

} // namespace kx
