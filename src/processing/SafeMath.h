#pragma once

#include <cmath>
#include <limits>

namespace dgaws {

// a / b for comparisons, with a zero divisor giving what IEEE division would (an infinity
// of a's sign, or NaN for 0 / 0) without dividing by zero.
inline double quotient(double a, double b)
{
    if (b != 0.0)
        return a / b;
    if (a > 0.0)
        return std::numeric_limits<double>::infinity();
    if (a < 0.0)
        return -std::numeric_limits<double>::infinity();
    return std::numeric_limits<double>::quiet_NaN();
}

// What a measure stores: never NaN or infinity.
inline double finiteOrZero(double v)
{
    return std::isfinite(v) ? v : 0.0;
}

// a / b as a measure: 0 when the divisor is 0 or the result is not finite.
inline double measureRatio(double a, double b)
{
    return b == 0.0 ? 0.0 : finiteOrZero(a / b);
}

}  // namespace dgaws
