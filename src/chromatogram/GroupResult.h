#pragma once

#include <string>

namespace dgaws {

// Totals of one peak group of the method.
struct GroupResult {
    int groupNo = -1;
    std::string groupName;
    double windowStart = 0.0;
    double windowEnd = 0.0;
    int peakCount = 0;
    double totalArea = 0.0;
    double totalHeight = 0.0;
    double totalContent = 0.0;

    bool operator==(const GroupResult&) const = default;
};

}  // namespace dgaws
