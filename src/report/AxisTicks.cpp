#include "AxisTicks.h"

#include <cmath>

namespace dgaws {

std::vector<double> niceTicks(double lo, double hi, int target, double& step)
{
    const double span = hi - lo;
    if (!(span > 0.0) || !std::isfinite(span)) {
        step = 1.0;
        return {lo};
    }
    const double magnitude = std::pow(10.0, std::floor(std::log10(span / target)));
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
        step = m * magnitude;
        if (span / step <= target)
            break;
    }
    std::vector<double> ticks;
    for (double v = std::ceil(lo / step) * step; v <= hi + step * 1e-9; v += step)
        ticks.push_back(std::abs(v) < step * 1e-9 ? 0.0 : v);
    return ticks;
}

}  // namespace dgaws
