#pragma once

#include "chromatogram/PeakTable.h"
#include "chromatogram/SignalBuffer.h"

#include <vector>

namespace dgaws {

// The drift the peak baselines imply, one value per sample: the signal itself between
// groups and a straight line under each group, from its first baseline start to its last
// baseline end. Riders lie under their tailing peak's line and are passed over.
namespace BaselineDrift {

std::vector<float> of(const PeakTable& table, const SignalBuffer& signal);

}  // namespace BaselineDrift

}  // namespace dgaws
