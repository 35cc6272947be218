#pragma once

#include "ComponentEntry.h"

#include <string>
#include <vector>

namespace dgaws {

// The peak identified as one component in one standard run; zeros when there was none.
struct ComponentResponse {
    double retentionTime = 0.0;
    double area = 0.0;
    double height = 0.0;

    bool operator==(const ComponentResponse&) const = default;
};

// One standard chromatogram entered at a level: its file and one response per component.
struct StandardRun {
    std::string path;
    std::vector<ComponentResponse> responses;

    bool operator==(const StandardRun&) const = default;
};

struct StandardLevel {
    std::vector<StandardRun> runs;

    bool operator==(const StandardLevel&) const = default;
};

// One named calibration of a method.
struct CalibrationCurve {
    // Written after the levels; >= 80 brings the impurity factors, >= 88 the base
    // component; a smaller value is the old files' `calibrated` itself.
    static constexpr int kFormatMark = 104;

    std::vector<ComponentEntry> components;
    std::vector<StandardLevel> levels{StandardLevel{}};
    int calibrated = 0;
    std::string name;
    double impurityFactor1 = 1.0;
    double impurityFactor2 = 0.0;
    int baseComponentIndex = -1;

    bool operator==(const CalibrationCurve&) const = default;
};

}  // namespace dgaws
