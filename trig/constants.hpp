// The constants the trigonometric transforms are defined with: sqrt2 and
// 1/sqrt2 cut at fifteen decimals, not the fully rounded doubles.
#pragma once

namespace trig {

constexpr double kSqrt2 = 1.414213562373095;
constexpr double kHalfSqrt2 = 0.707106781186547;
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;

} // namespace trig
