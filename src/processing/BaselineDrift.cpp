#include "BaselineDrift.h"

#include "SignalView.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace dgaws::BaselineDrift {

using namespace PeakFlag;

std::vector<float> of(const PeakTable& table, const SignalBuffer& signal)
{
    const SignalView y(signal);
    const int64_t n = y.count();
    std::vector<float> drift(static_cast<size_t>(n));
    const auto followSignal = [&](int64_t from, int64_t to) {
        for (int64_t i = std::max<int64_t>(from, 0); i < std::min(to, n); ++i)
            drift[static_cast<size_t>(i)] = y(i);
    };
    // Under a group the line is cut to whole signal units, as the group baselines are.
    const auto followLine = [&](int64_t from, double level, int64_t to, double endLevel) {
        const double span = static_cast<double>(to - from);
        if (span <= 0.0)
            return;
        for (int64_t i = std::max<int64_t>(from, 0); i < std::min(to, n); ++i)
            drift[static_cast<size_t>(i)] = static_cast<float>(
                level + std::trunc(static_cast<double>(i - from) * (endLevel - level) / span));
    };

    int64_t cursor = 0;
    double level = 0.0;
    // Every sample is written: each step covers from the cursor to where it moves it, and
    // the signal is followed to the end after the last group.
    followSignal(0, n);
    for (const PeakRecord& p : table) {
        if (p.typeFlags & (RiderOnTail | RiderOnFront))
            continue;
        const bool valleyStart = p.typeFlags & StartsInValley;
        const bool valleyEnd = p.typeFlags & EndsInValley;
        if (!valleyStart) {
            followSignal(cursor, p.baselineStartIndex);
            level = p.baselineStartValue;
            cursor = p.baselineStartIndex;
        }
        if (valleyStart && valleyEnd)
            continue;
        if (!valleyEnd) {
            followLine(cursor, level, p.baselineEndIndex, p.baselineEndValue);
            level = p.baselineEndValue;
            cursor = p.baselineEndIndex;
        }
    }
    followSignal(cursor, n);
    return drift;
}

}  // namespace dgaws::BaselineDrift
