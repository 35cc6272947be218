#include "StartSignalDetector.h"

#include "BunchStream.h"
#include "ParameterSchedule.h"

#include <cmath>

namespace dgaws {

namespace {

SignalPoint pointAt(int index, const SignalView& signal, int pointsPerSecond)
{
    return {index, minutesOf(index, pointsPerSecond), signal(index)};
}

}  // namespace

void StartSignalDetector::reset()
{
    state_ = 1;
    found_ = false;
    start_ = SignalPoint{};
    end_ = SignalPoint{};
}

void StartSignalDetector::onBunch(BunchStream& stream, ParameterSchedule& schedule,
                                  const SignalView& signal, int peakWidth, int pointsPerSecond)
{
    const BunchHistory& h = stream.history();
    if (h.empty())
        return;
    const Tally& t = stream.tally();
    switch (state_) {
    case 1:
        if (t.falls >= stream.n()) {
            stream.setN(3);
            schedule.setBunchSize(t.falls >= 5 ? 1.0 : peakWidth);
            start_ = pointAt(h[h.fallStartEntry()].centre, signal, pointsPerSecond);
            state_ = 4;
        }
        break;
    case 4:
        if (t.ups > t.levels + t.downs)
            state_ = 3;
        break;
    case 3:
        if (t.rises >= t.flats + t.falls) {
            schedule.setBunchSize(t.rises >= 5 ? 1.0 : peakWidth);
            end_ = pointAt(h[h.valleyEntry()].centre, signal, pointsPerSecond);
            found_ = true;
            state_ = 0;
        }
        break;
    default: break;
    }
}

bool StartSignalDetector::confirm(double autoStartHeightMillivolts)
{
    if (!found_)
        return false;
    const double rise = std::fabs(static_cast<double>(end_.value) - start_.value);
    if (rise < autoStartHeightMillivolts * 1000.0) {
        found_ = false;
        state_ = 1;
        return false;
    }
    return true;
}

}  // namespace dgaws
