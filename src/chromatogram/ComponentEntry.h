#pragma once

#include "RecordFields.h"

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
    bool isInternalStandard = false;
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

// An entry written without the mark: no group parent, and `count` concentrations follow.
void loadUnmarkedConcentrations(Archive& ar, ComponentEntry& c, int count);

template <class V> void visitFields(V& v, Record<ComponentEntry>)
{
    using C = ComponentEntry;
    v.field("index", &C::index);
    v.field("name", &C::name);
    v.field("formula", &C::formula);
    v.field("retentionTime", &C::retentionTime);
    v.field("timeWindow", &C::timeWindow);
    v.field("isInternalStandard", &C::isInternalStandard);
    v.field("internalStandardIndex", &C::internalStandardIndex);
    v.field("factor1", &C::factor1);
    v.field("factor2", &C::factor2);
    v.field("factor3", &C::factor3);
    v.field("factor4", &C::factor4);
    v.field("correlation", &C::correlation);
    v.field("curveType", &C::curveType);
    const int mark = v.mark(C::kFormatMark);
    if (mark < C::kFormatMarkThreshold)
        return v.older(&loadUnmarkedConcentrations, mark);
    v.field("groupParentIndex", &C::groupParentIndex);
    v.field("concentrations", &C::concentrations);
}

}  // namespace dgaws
