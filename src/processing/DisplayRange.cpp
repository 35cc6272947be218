#include "DisplayRange.h"

#include "SignalView.h"

#include <algorithm>

namespace dgaws {

namespace {
constexpr double kMillivoltsPerMicrovolt = 0.001;
constexpr double kNoiseMinutes = 5.0;
constexpr double kNoiseMicrovolts = 10.0;
}  // namespace

DisplayRange DisplayRange::of(const AnalysisMethod& method)
{
    return {method.timeStart, method.timeEnd, method.levelMin, method.levelMax};
}

void DisplayRange::applyTo(AnalysisMethod& method) const
{
    method.timeStart = timeStart;
    method.timeEnd = timeEnd;
    method.levelMin = levelMin;
    method.levelMax = levelMax;
}

DisplayRange DisplayRange::fitted(const ChromatogramData& data)
{
    // 600 samples a minute whatever the rate: the span the display has always been given.
    return {0.0, data.signal.count() / 600.0, data.signalMin * kMillivoltsPerMicrovolt,
            data.signalMax * kMillivoltsPerMicrovolt};
}

DisplayRange DisplayRange::noiseCloseUp(const ChromatogramData& data, int newestIndex)
{
    const SignalView signal(data.signal);
    const int index = std::clamp(newestIndex, 0, std::max(0, signal.count() - 1));
    const double now = minutesOf(index, data.pointsPerSecond);
    // An empty signal has no newest value; the level range then centres on 0.
    const double value = signal.count() > 0 ? signal(index) : 0.0;
    return {std::max(0.0, now - kNoiseMinutes), now + kNoiseMinutes,
            (value - kNoiseMicrovolts) * kMillivoltsPerMicrovolt,
            (value + kNoiseMicrovolts) * kMillivoltsPerMicrovolt};
}

}  // namespace dgaws
