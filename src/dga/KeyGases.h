#pragma once

#include "StoredGasOrder.h"

#include "chromatogram/ChromatogramData.h"

#include <cmath>
#include <limits>

namespace dgaws {

// The five hydrocarbon-and-hydrogen gases every interpretation method reads, in uL/L. A gas
// that was not measured is NaN; a method that needs it gives no zone.
struct KeyGases {
    double h2 = 0.0;
    double ch4 = 0.0;
    double c2h6 = 0.0;
    double c2h4 = 0.0;
    double c2h2 = 0.0;

    static KeyGases of(const ChromatogramData& d)
    {
        return {d.gasInOil[gas::H2], d.gasInOil[gas::CH4], d.gasInOil[gas::C2H6],
                d.gasInOil[gas::C2H4], d.gasInOil[gas::C2H2]};
    }
};

inline constexpr double kMissingGas = std::numeric_limits<double>::quiet_NaN();

inline bool measured(double content)
{
    return std::isfinite(content) && content >= 0.0;
}

// True when every gas is measured and at least one is present: a method whose gases are all
// zero, or any missing, has nothing to interpret.
template <class... T> bool interpretable(T... contents)
{
    return (measured(contents) && ...) && ((contents > 0.0) || ...);
}

// A ratio as the published ratio tables read it: no gas over no gas counts as 0 (neither is
// significant), some gas over none as infinitely large, which every "greater than" row
// accepts. NaN when either gas is missing.
inline double tableRatio(double numerator, double denominator)
{
    if (!measured(numerator) || !measured(denominator))
        return std::numeric_limits<double>::quiet_NaN();
    if (denominator == 0.0)
        return numerator == 0.0 ? 0.0 : std::numeric_limits<double>::infinity();
    return numerator / denominator;
}

}  // namespace dgaws
