#include "RandomSource.h"

#include "NumberText.h"

#include <chrono>

namespace kx {

RandomSource::RandomSource()
{
    // A draw before any explicit seeding should still differ between runs.
    SeedFromClock();
}

void RandomSource::SeedFromClock()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    Seed(static_cast<quint64>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

void RandomSource::Seed(quint64 seed)
{
    m_engine.seed(seed);
    m_uniform.reset();
}

double RandomSource::Next()
{
    return m_uniform(m_engine);
}

qint32 DrawPositionNumber(double r, qint32 suiteSize)
{
    return RoundToInt32(r * (static_cast<double>(suiteSize) - 1.0) + 1.0);
}

} // namespace kx
