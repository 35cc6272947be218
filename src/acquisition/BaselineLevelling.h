#pragma once

#include "AcquisitionSettings.h"

#include <array>

namespace dgaws {

// The three baseline-levelling windows of a channel: inside a window the signal is held at
// the value it had at the window's first point, and from the window's last point on the
// step seen there is taken off, so a valve or range switch leaves no trace. One lives for
// each run of a channel.
struct BaselineLevelling {
    struct Window {
        int startIndex = 0;
        int stopIndex = 0;
    };

    std::array<Window, 3> windows{};
    std::array<bool, 3> active{};
    // What the run has seen so far: the value held inside each window and the step taken
    // off after it.
    std::array<float, 3> held{};
    std::array<float, 3> offset{};

    // A window acts when its stop is after its start and its start is not 0.
    static BaselineLevelling fromSettings(const AcquisitionSettings& settings, int channel,
                                          int pointsPerSecond);

    // The value for the point at 1-based position `position`, window k seeing the value
    // after the offsets of windows before it.
    float apply(int position, float value);
};

}  // namespace dgaws
