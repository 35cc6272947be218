#pragma once

#include "chromatogram/PeakTable.h"

#include <cstdint>

namespace dgaws {

// The rows a pass builds, as the detector made them. Every change bumps the generation,
// which is how the evaluation knows whether the table it published is still current.
struct DetectionRows {
    PeakTable table;
    uint64_t generation = 0;

    void touch() { ++generation; }
};

}  // namespace dgaws
