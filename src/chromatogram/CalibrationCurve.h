#pragma once

#include "ComponentEntry.h"
#include "RecordFields.h"

#include <cstddef>
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

template <class V> void visitFields(V& v, Record<ComponentResponse>)
{
    using R = ComponentResponse;
    v.field("retentionTime", &R::retentionTime);
    v.field("area", &R::area);
    v.field("height", &R::height);
}

// One standard chromatogram entered at a level: its file and one response per component.
struct StandardRun {
    std::string path;
    std::vector<ComponentResponse> responses;

    bool operator==(const StandardRun&) const = default;
};

template <class V> void visitFields(V& v, Record<StandardRun>)
{
    v.field("path", &StandardRun::path);
    v.field("responses", &StandardRun::responses);
}

struct StandardLevel {
    std::vector<StandardRun> runs;

    bool operator==(const StandardLevel&) const = default;
};

template <class V> void visitFields(V& v, Record<StandardLevel>)
{
    v.field("runs", &StandardLevel::runs);
}

// One named calibration of a method.
struct CalibrationCurve {
    // Written after the levels; a mark of kImpurityMark or more brings the impurity
    // factors, kBaseComponentMark the base component; a smaller value is the old files'
    // `calibrated` itself.
    static constexpr int kFormatMark = 104;
    static constexpr int kImpurityMark = 80;
    static constexpr int kBaseComponentMark = 88;
    // The runs' areas are true areas (uV s: the sum over each file's own points per
    // second). Curves of older files hold areas divided by the setting's divisor instead;
    // readers that know only the marks above read this one as kFormatMark.
    static constexpr int kTrueAreaMark = 105;
    // Counts of curves have always been checked against this many bytes each, though an
    // unmarked curve can be as short as 13.
    static constexpr size_t kMinStoredBytes = 17;

    std::string name;
    int calibrated = 0;
    double impurityFactor1 = 1.0;
    double impurityFactor2 = 0.0;
    int baseComponentIndex = -1;
    std::vector<ComponentEntry> components;
    std::vector<StandardLevel> levels{StandardLevel{}};
    // Not stored as a field: the mark says it.
    bool trueAreas = true;

    bool operator==(const CalibrationCurve&) const = default;
};

// A curve written before the mark: the mark was `calibrated`.
void loadUnmarkedCalibrated(Archive& ar, CalibrationCurve& c, int calibrated);
// The mark a curve is written with, and what a loaded one says about its areas.
int calibrationCurveMark(const CalibrationCurve* c);
void loadAreaUnit(Archive& ar, CalibrationCurve& c, int mark);

template <class V> void visitFields(V& v, Record<CalibrationCurve>)
{
    using C = CalibrationCurve;
    v.field("components", &C::components);
    v.field("levels", &C::levels);
    const int mark = v.mark(&calibrationCurveMark);
    v.older(&loadAreaUnit, mark);
    if (mark < C::kImpurityMark) {
        v.older(&loadUnmarkedCalibrated, mark);
    } else {
        v.field("impurityFactor1", &C::impurityFactor1);
        v.field("impurityFactor2", &C::impurityFactor2);
        if (mark >= C::kBaseComponentMark)
            v.field("baseComponentIndex", &C::baseComponentIndex);
        v.field("calibrated", &C::calibrated);
    }
    v.field("name", &C::name);
}

}  // namespace dgaws
