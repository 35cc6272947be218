#pragma once

#include "PeakRecord.h"

namespace dgaws {

// One operator correction of the integration, replayed after every re-detection.
struct ManualEvent {
    PeakRecord peak;
    int kind = 0;
    double time = 0.0;  // minutes

    bool operator==(const ManualEvent&) const = default;
};

}  // namespace dgaws
