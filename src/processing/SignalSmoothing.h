#pragma once

#include "chromatogram/ChromatogramData.h"

#include <vector>

namespace dgaws {

// "谱图平滑(&S)": a moving average over `width` samples.
namespace SignalSmoothing {

// The first width - width/2 samples stay; every later one takes the mean of the window of
// `width` unsmoothed samples that ends width/2 samples after it; the last width/2 take the
// mean of the last window. A width above the sample count is cut to the count. False (and
// nothing changed) for a width of 1 or less or no samples.
bool smooth(std::vector<float>& samples, int width);

// Smooths the chromatogram's signal, finds its extrema again and fits the display to it.
// Peaks are not detected again.
bool smooth(ChromatogramData& data, int width);

}  // namespace SignalSmoothing

}  // namespace dgaws
