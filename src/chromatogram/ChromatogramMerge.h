#pragma once

#include "ChromatogramData.h"

#include <vector>

namespace dgaws {

inline constexpr const char* kMergeOrderTitle = "选择谱图组合的次序";
inline constexpr const char* kMergeChosenFirst = "刚选择的图在前";
inline constexpr const char* kMergeChosenAfter = "刚选择的图在后";

// P followed by Q[1..] raised by P[p-1] - Q[0], so the curve continues without a step at the
// junction: p + q - 1 samples. When either part is empty there is no junction and the other
// part is the result unchanged.
std::vector<float> mergeSignals(const SignalBuffer& first, const SignalBuffer& second);

// Replaces the signal of `open` by its merge with the signal of `chosen` (the chosen one
// first or after it) and recomputes signalMax and signalMin from all samples. Peaks, method
// and results of `chosen` are not taken over. Returns the merged sample count, which a live
// document takes as its count of acquired samples.
int mergeChromatograms(ChromatogramData& open, const ChromatogramData& chosen, bool chosenFirst);

}  // namespace dgaws
