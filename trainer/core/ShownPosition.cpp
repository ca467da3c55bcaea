#include "ShownPosition.h"

#include "Judging.h"
#include "Notation.h"

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
    m_castling = m_position ? m_position->ToFen().section(u' ', 2, 2) : QStringLiteral("-");
    m_picked = -1;
    m_userMove.clear();
}

void ShownPosition::setFromPosition()
{
    for (int square = 0; square < 64; ++square)
        m_squares[square] = BoardPieceCode(m_position->kindAt(square), m_position->blackAt(square));
    m_black = m_position->blackToMove();
    m_castling = m_position->ToFen().section(u' ', 2, 2);
}

bool ShownPosition::Pick(int square)
{
    if (square < 0 || square >= 64 || m_squares[square] == kEmpty)
        return false;
    m_picked = square;
    return true;
}

bool ShownPosition::IsPromotion(int square) const
{
    if (m_picked < 0 || !isPawn(m_squares[m_picked]))
        return false;
    return square / 8 == (isBlackPiece(m_squares[m_picked]) ? 0 : 7);
}

QString ShownPosition::Move(int square, PieceKind promotion)
{
    const int from = m_picked;
    m_picked = -1;
    if (from < 0 || square < 0 || square >= 64)
        return QString();
    const qint16 piece = m_squares[from];
    QString text = num2pie(piece) + squareName(from) + squareName(square);
    if (promotion != NoKind)
        text += QStringLiteral("=") + QLatin1Char(kPieceLetters[promotion]);
    m_userMove = text;

    if (m_position) {
        for (const ChessMove& move : m_position->LegalMoves()) {
            if (move.from == from && move.to == square && move.promotion == promotion) {
                m_position->MakeMove(move);
                setFromPosition();
                return text;
            }
        }
    }
    // Not a move of this position: the piece goes where it was put, and the
    // board is read again as a position, castling rights kept where king and
    // rook are still at home.
    m_squares[square] =
        promotion != NoKind ? BoardPieceCode(promotion, isBlackPiece(piece)) : piece;
    m_squares[from] = kEmpty;
    m_black = !m_black;
    QString fen = PlacementToFen(m_squares, m_black);
    fen.chop(4); // " - -"
    m_position = ChessPosition::FromFen(fen + u' ' + m_castling + QStringLiteral(" -"));
    if (m_position)
        m_castling = m_position->ToFen().section(u' ', 2, 2);
    return text;
}

QString ShownPosition::Fen() const
{
    if (!m_position)
        return PlacementToFen(m_squares, m_black);
    return m_position->ToFen().section(u' ', 0, 3);
}

} // namespace kx
