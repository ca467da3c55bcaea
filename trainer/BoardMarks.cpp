#include "BoardMarks.h"

#include "Judging.h"
#include "MoveNotation.h"
#include "NqCBoard.h"

namespace kx {

namespace {

// Squares in board order (0 = a1) to the board's file and rank.
void markSquare(Pellomar::NqCBoard& board, int square, quint32 color)
{
    board.HighLightSquare(static_cast<Pellomar::Column>(square % 8 + 1),
                          static_cast<short>(square / 8 + 1), color);
}

} // namespace

bool MarkBestMove(Pellomar::NqCBoard& board, const QString& record)
{
    const std::optional<ChessPosition> position = RecordPosition(record);
    if (!position)
        return false;
    const QList<ChessMove> best = RecordBestMoves(*position, record);
    if (best.isEmpty())
        return false;
    markSquare(board, best.first().from, kBestMoveColor);
    markSquare(board, best.first().to, kBestMoveColor);
    return true;
}

bool MarkMoveText(Pellomar::NqCBoard& board, const QString& moveText, quint32 color)
{
    // Of a line's moves, the first is the one made in the position.
    const std::optional<MoveText> read = ReadMoveText(moveText.section(u' ', 0, 0));
    if (!read || !read->fromSquareGiven())
        return false;
    markSquare(board, read->fromRank * 8 + read->fromFile, color);
    markSquare(board, read->to, color);
    return true;
}

void ClearMoveMarks(Pellomar::NqCBoard& board)
{
    for (short row = 1; row <= 8; ++row) {
        for (int col = 1; col <= 8; ++col)
            board.UnHighLightSquare(static_cast<Pellomar::Column>(col), row);
    }
}

} // namespace kx
