#pragma once

#include "BunchHistory.h"
#include "SignalView.h"

namespace dgaws {

class BunchStream;
class ParameterSchedule;

// A point the start-signal detector found.
struct SignalPoint {
    int index = 0;
    double minutes = 0.0;
    float value = 0.0f;
};

// Watches for the instrument's start signal, a dip followed by a recovery, on the same
// bunch stream as the peak detector but with its own states: 1 waits for the fall, 4 for
// the upward bend, 3 for the rise; 0 is idle once found.
class StartSignalDetector {
public:
    void reset();
    // Once per evaluated bunch.
    void onBunch(BunchStream& stream, ParameterSchedule& schedule, const SignalView& signal,
                 int peakWidth, int pointsPerSecond);
    // The acquisition's check of a found signal against the setting AutoStartHeight (mV):
    // a change of at least that many millivolts between start and end accepts it; a smaller
    // one clears the flag and watches again from state 1.
    bool confirm(double autoStartHeightMillivolts);

    int state() const { return state_; }
    bool found() const { return found_; }
    const SignalPoint& start() const { return start_; }
    const SignalPoint& end() const { return end_; }

private:
    int state_ = 1;
    bool found_ = false;
    SignalPoint start_;
    SignalPoint end_;
};

}  // namespace dgaws
