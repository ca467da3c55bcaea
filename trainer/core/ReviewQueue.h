#pragma once

#include <QtGlobal>

#include <optional>
#include <vector>

namespace kx {

/*
 * The positions of one review session, in the order they come up: each is
 * shown once, and the session has as many positions as the queue holds. The
 * queue is active from Begin until Close, so that the end of the session can
 * still tell it was a review.
 */
class ReviewQueue
{
public:
    /// A review of these positions begins.
    void Begin(std::vector<qint32> positions);
    /// The review is over.
    void Close();
    bool isActive() const { return m_active; }
    /// The positions the review has.
    qint32 size() const { return qint32(m_positions.size()); }
    /// The next position; none when every one has come up or no review is on.
    std::optional<qint32> Next();

private:
    std::vector<qint32> m_positions;
    std::size_t m_next = 0;
    bool m_active = false;
};

} // namespace kx
