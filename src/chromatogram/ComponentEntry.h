#pragma once

#include <string>
#include <vector>

namespace dgaws {

// One gas to be found, with its retention window and calibration factors.
struct ComponentEntry {
    // Written before groupParentIndex; a stored int >= kFormatMarkThreshold is a mark,
    // anything smaller is the old layout's concentration count.
    static constexpr int kFormatMark = 112;
    static constexpr int kFormatMarkThreshold = 104;

    int index = -1;
    std::string name = "新组份";
    std::string formula = "未知";
    double retentionTime = 999.0;  // minutes
    double timeWindow = 0.05;      // minutes; only its absolute value counts
    int isInternalStandard = 0;
    int internalStandardIndex = -1;
    double factor1 = 0.0;
    double factor2 = 0.0;
    double factor3 = 0.0;
    double factor4 = 0.0;
    double correlation = 0.0;
    int curveType = 0;
    int groupParentIndex = -1;
    std::vector<double> concentrations{0.0};

    bool operator==(const ComponentEntry&) const = default;
};

}  // namespace dgaws
