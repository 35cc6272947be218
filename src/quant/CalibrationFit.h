#pragma once

#include "QuantSettings.h"

#include "chromatogram/CalibrationCurve.h"

#include <optional>
#include <span>
#include <vector>

namespace dgaws {

// A straight line through standard points. `valid` is false when the points cannot define
// the line (too few, all x equal, or a value that is not finite); the numbers are then 0.
struct LineFit {
    bool valid = false;
    double slope = 0.0;
    double intercept = 0.0;
    double r = 0.0;  // 0 when a spread is zero and the correlation is undefined
};

// y = slope * x over the points of the two equally long spans.
LineFit fitThroughOrigin(std::span<const double> x, std::span<const double> y);
// y = slope * x + intercept.
LineFit fitGeneralLine(std::span<const double> x, std::span<const double> y);

// Refits factor1, factor2 and the correlation of every component of the curve from its
// concentrations and standard runs; factors 3 and 4 are cleared. A component that cannot be
// fitted is left with zeros. Area normalisation needs no curve and leaves it untouched.
void fitCorrectionFactors(CalibrationCurve& curve, QuantMethod method, ResponseKind response,
                          bool groupCalc, CurveAxis axis);
inline void fitCorrectionFactors(CalibrationCurve& curve, const FitSettings& s)
{
    fitCorrectionFactors(curve, s.method, s.response, s.groupCalc, s.axis);
}

// The runs of a level that count in its mean: one per standard file, the last entered (a
// curve of an older file may hold one file twice; it is one measurement, not two).
std::vector<const StandardRun*> countedRuns(const std::vector<StandardRun>& runs);
// A component's response in a run as the fit takes it: its own, plus its group members'
// when groups are calculated together (never for corrected normalisation).
double fittedResponse(const CalibrationCurve& curve, const StandardRun& run, size_t component,
                      const FitSettings& settings);

// The amount a component's curve gives for a response value, or nothing when the curve
// cannot give one: a zero factor1 (never fitted), a quadratic or cubic curve type (offered
// by name only), or a result that is not finite.
std::optional<double> curveAmount(const ComponentEntry& component, CurveAxis axis, double v);
// The same through the curve's impurity factors.
std::optional<double> impurityAmount(const CalibrationCurve& curve, CurveAxis axis, double v);

// curveAmount, with 0 where there is none.
double applyCurve(const ComponentEntry& component, CurveAxis axis, double v);
// impurityAmount for the document's library curve, 0 when it has none.
double applyImpurityFactors(const CalibrationCurve* documentCurve, CurveAxis axis, double v);

// The curve counts as calibrated when every component that is no group member has a non-zero
// factor1; an empty table counts as calibrated.
int calibratedFlag(const CalibrationCurve& curve);

}  // namespace dgaws
