#pragma once
// Trigonometry and square roots go through the double-precision C library and are rounded to
// float, so that the files this system writes come out the same bit for bit on every build.

#include <cmath>

namespace qx {

inline float fsin(float a) { return static_cast<float>(std::sin(static_cast<double>(a))); }
inline float fcos(float a) { return static_cast<float>(std::cos(static_cast<double>(a))); }
// A square root is correctly rounded in either precision, and a double's 53 bits are more than
// twice a float's 24, so rounding the double root to float gives the float root exactly: the
// float instruction is the same bits, at a fraction of the cost.
inline float fsqrt(float a) { return std::sqrt(a); }
inline float fatan2(float y, float x) {
    return static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x)));
}

// acos of a dot product that rounding pushed just outside [-1, 1] would be NaN; clamp it.
inline float facos(float a) {
    const double c = a > 1.0f ? 1.0 : (a < -1.0f ? -1.0 : static_cast<double>(a));
    return static_cast<float>(std::acos(c));
}

// Degrees to radians: the float 0x3C8EFA39, a hair above pi/180. Converted MD2 positions are
// turned with it, so the files this system writes depend on this exact value.
inline constexpr float DegreeFactor = 0.0174533f;

}  // namespace qx
