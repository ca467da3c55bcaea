#pragma once

/*
 * The score of a solved position: a bonus for a strict time allowance and a
 * long session, plus a reward for speed.
 */
namespace kx {

/// 100 at t = 0, 75 at t = 50, tending to 50 for long times.
double TimeValue(double t);
/// Decimal logarithm as ln(x) / ln(10).
double Log10(double x);
/// TimeValue(timePerPosition) * Log10(n) / 40 + TimeValue(elapsedTime).
double PositionPoints(double timePerPosition, double elapsedTime, double n);

} // namespace kx
