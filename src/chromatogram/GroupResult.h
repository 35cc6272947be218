#pragma once

#include "RecordFields.h"

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

template <class V> void visitFields(V& v, Record<GroupResult>)
{
    using G = GroupResult;
    v.field("groupNo", &G::groupNo);
    v.field("groupName", &G::groupName);
    v.field("windowStart", &G::windowStart);
    v.field("windowEnd", &G::windowEnd);
    v.field("peakCount", &G::peakCount);
    v.field("totalArea", &G::totalArea);
    v.field("totalHeight", &G::totalHeight);
    v.field("totalContent", &G::totalContent);
}

}  // namespace dgaws
