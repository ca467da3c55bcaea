#pragma once

#include "ChessMove.h"

#include <array>

namespace kx {

/*
 * The legal moves of one position, kept on the stack: move generation runs
 * millions of times a second and must not allocate. No position has more
 * than 218 legal moves.
 */
class MoveList
{
public:
    static constexpr int kCapacity = 256;

    void add(const ChessMove& move) { m_moves[m_size++] = move; }
    void clear() { m_size = 0; }
    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    const ChessMove& operator[](int i) const { return m_moves[i]; }
    const ChessMove* begin() const { return m_moves.data(); }
    const ChessMove* end() const { return m_moves.data() + m_size; }
    bool contains(const ChessMove& move) const
    {
        for (const ChessMove& m : *this) {
            if (m == move)
                return true;
        }
        return false;
    }

private:
    std::array<ChessMove, kCapacity> m_moves;
    int m_size = 0;
};

} // namespace kx
