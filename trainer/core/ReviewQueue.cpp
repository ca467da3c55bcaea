#include "ReviewQueue.h"

namespace kx {

void ReviewQueue::Begin(std::vector<qint32> positions)
{
    m_positions = std::move(positions);
    m_next = 0;
    m_active = true;
}

void ReviewQueue::Close()
{
    m_positions.clear();
    m_next = 0;
    m_active = false;
}

std::optional<qint32> ReviewQueue::Next()
{
    if (!m_active || m_next >= m_positions.size())
        return std::nullopt;
    return m_positions[m_next++];
}

} // namespace kx
