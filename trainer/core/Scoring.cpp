#include "Scoring.h"

#include <cmath>

namespace kx {

namespace {

constexpr double kPivotSeconds = 50.0; // both branches of TimeValue give 75 here

} // namespace

double TimeValue(double t)
{
    if (t < kPivotSeconds)
        return 75.0 + (kPivotSeconds - t) * 0.5;
    return 50.0 + (kPivotSeconds / t) * 25.0;
}

double Log10(double x)
{
    return std::log(x) / std::log(10.0);
}

double PositionPoints(double timePerPosition, double elapsedTime, double n)
{
    return TimeValue(timePerPosition) * Log10(n) / 40.0 + TimeValue(elapsedTime);
}

} // namespace kx
