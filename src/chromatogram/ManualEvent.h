#pragma once

#include "PeakRecord.h"
#include "RecordFields.h"

namespace dgaws {

// One operator correction of the integration, replayed after every re-detection.
struct ManualEvent {
    PeakRecord peak;
    int kind = 0;
    double time = 0.0;  // minutes

    bool operator==(const ManualEvent&) const = default;
};

template <class V> void visitFields(V& v, Record<ManualEvent>)
{
    v.field("peak", &ManualEvent::peak);
    v.field("kind", &ManualEvent::kind);
    v.field("time", &ManualEvent::time);
}

}  // namespace dgaws
