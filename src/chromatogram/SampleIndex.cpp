#include "SampleIndex.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace dgaws {

int sampleIndex(int pointsPerSecond, double minutes, SampleRounding rounding)
{
    const double x = pointsPerSecond * minutes * 60.0;
    if (std::isnan(x))
        return 0;
    double v = std::trunc(x);
    if (rounding == SampleRounding::Nearest) {
        v = std::round(x);
    } else if (rounding == SampleRounding::TowardZeroOfFloat) {
        const double nearest = std::round(x);
        if (std::fabs(x - nearest) <= 1e-6 * std::max(1.0, std::fabs(x)))
            v = nearest;
    }
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

}  // namespace dgaws
