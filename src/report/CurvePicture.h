#pragma once

#include "quant/QuantSettings.h"

#include "chromatogram/CalibrationCurve.h"

#include <QString>

#include <string>
#include <vector>

namespace dgaws {

// The curve view without a window: a component's standard points and fitted line with its
// equation, drawn with QPainter. Needs a GUI application object for its fonts.

// One PNG of the component at `component`; false when it cannot be written.
bool writeCurvePng(const std::string& path, const CalibrationCurve& curve, int component,
                   const FitSettings& settings);
// One PDF page per component of `components`; false when it cannot be written.
bool writeCurvePdf(const std::string& path, const CalibrationCurve& curve,
                   const std::vector<int>& components, const FitSettings& settings);

// The title of a curve axis: concentration or response (area or height), as ratios to the
// internal standard under that method.
QString curveAxisTitle(bool concentration, const FitSettings& settings);

}  // namespace dgaws
