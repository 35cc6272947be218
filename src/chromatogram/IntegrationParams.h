#pragma once

#include "RecordFields.h"

namespace dgaws {

// Detection parameters of a method; their meanings belong to the peak engine.
struct IntegrationParams {
    double heightRatio = 100.0;
    double riderRatio = 10.0;
    double lockTime = 0.0;  // minutes
    int judgeWidth = 16;
    double minArea = 0.0;
    double minHeight = 0.0;
    double slope = 30.0;
    int smoothWidth = 4;
    double stopTime = 50.0;      // minutes
    double timeDoubling = 10.0;  // minutes
    int peakWidth = 5;

    bool operator==(const IntegrationParams&) const = default;

    // A run ends at the stop time: one of 0 would end it at its first point, and a day is
    // longer than any analysis the instrument makes.
    static constexpr double kLongestStopTime = 24.0 * 60.0;  // minutes
    static bool stopTimeAllowed(double minutes)
    {
        return minutes > 0.0 && minutes <= kLongestStopTime;
    }
};

template <class V> void visitFields(V& v, Record<IntegrationParams>)
{
    using P = IntegrationParams;
    v.field("heightRatio", &P::heightRatio);
    v.field("riderRatio", &P::riderRatio);
    v.field("lockTime", &P::lockTime);
    v.field("judgeWidth", &P::judgeWidth);
    v.field("minArea", &P::minArea);
    v.field("minHeight", &P::minHeight);
    v.field("slope", &P::slope);
    v.field("smoothWidth", &P::smoothWidth);
    v.field("stopTime", &P::stopTime);
    v.field("timeDoubling", &P::timeDoubling);
    v.field("peakWidth", &P::peakWidth);
}

// One row of the time program (24 bytes stored).
struct TimeEvent {
    double time = 0.0;  // minutes
    int peakWidth = 0;
    double slope = 0.0;
    int type = 0;  // 0..16

    bool operator==(const TimeEvent&) const = default;
};

template <class V> void visitFields(V& v, Record<TimeEvent>)
{
    using E = TimeEvent;
    v.field("time", &E::time);
    v.field("peakWidth", &E::peakWidth);
    v.field("slope", &E::slope);
    v.field("type", &E::type);
}

}  // namespace dgaws
