#pragma once

#include <QtGlobal>

#include <random>

namespace kx {

/*
 * The program's random generator: uniform draws from [0, 1), seeded from the
 * clock for real sessions and with a fixed seed in tests.
 */
class RandomSource
{
public:
    RandomSource();
    void SeedFromClock();
    void Seed(quint64 seed);
    /// Uniform in [0, 1).
    double Next();

private:
    std::mt19937_64 m_engine;
    std::uniform_real_distribution<double> m_uniform{0.0, 1.0};
};

/// The position drawn for r in [0, 1): round(r * (suiteSize - 1) + 1), halves to even.
qint32 DrawPositionNumber(double r, qint32 suiteSize);

} // namespace kx
