#pragma once

#include "CalibrationTableEditor.h"
#include "QuantSettings.h"

#include "chromatogram/CalibrationCurve.h"

#include <optional>
#include <vector>

namespace dgaws {

// How well one standard run agrees with its component's fitted curve: the concentration the
// curve gives back for the run's response, against the level's own. A bad injection shows
// here as a large deviation before it has skewed the factors of later samples.
struct RunCheck {
    int level = 0;  // 0-based, as the curve's lists count
    int run = 0;
    // False when the run gives no point (no response, no internal standard response, a zero
    // concentration) or the curve gives no amount (not fitted).
    bool valid = false;
    // Both sides as the fit sees them: ratios to the internal standard for that method.
    double concentration = 0.0;
    double response = 0.0;
    double backCalculated = 0.0;
    double deviationPercent = 0.0;
};

// One check per run of every level, in level and run order (the order of the standard list).
std::vector<RunCheck> runChecks(const CalibrationCurve& curve, int component,
                                const FitSettings& settings);

// A valid run whose deviation exceeds the tolerance, in percent, either way.
inline bool beyondTolerance(const RunCheck& check, double tolerancePercent)
{
    return check.valid &&
        (check.deviationPercent > tolerancePercent || check.deviationPercent < -tolerancePercent);
}

// The curve view follows the fit's axes: concentration across and response up, or the other
// way round.
struct PlotPoint {
    double x = 0.0;
    double y = 0.0;
};
inline PlotPoint plotPoint(const CurvePoint& p, CurveAxis axis)
{
    return axis == CurveAxis::ResponseX ? PlotPoint{p.response, p.concentration}
                                        : PlotPoint{p.concentration, p.response};
}

// The fitted curve's height above `x` in those axes; nothing where it has none (not fitted, a
// curve type without a fit, the logarithm of a value that is not positive).
std::optional<double> curveLineAt(const ComponentEntry& component, const FitSettings& settings,
                                  double x);

}  // namespace dgaws
