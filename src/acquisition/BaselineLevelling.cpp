#include "BaselineLevelling.h"

#include "chromatogram/SampleIndex.h"

namespace dgaws {
namespace {

int positionOf(int rate, double minutes)
{
    return sampleIndex(rate, minutes, SampleRounding::TowardZero);
}

}  // namespace

BaselineLevelling BaselineLevelling::fromSettings(const AcquisitionSettings& settings, int channel,
                                                  int pointsPerSecond)
{
    BaselineLevelling l;
    for (int k = 1; k <= 3; ++k) {
        const double start = settings.levellingStart(channel, k);
        const double stop = settings.levellingStop(channel, k);
        const auto i = static_cast<size_t>(k - 1);
        l.active[i] = stop > start && start != 0.0;
        l.windows[i] = {positionOf(pointsPerSecond, start), positionOf(pointsPerSecond, stop)};
    }
    return l;
}

float BaselineLevelling::apply(int position, float value)
{
    float v = value;
    for (size_t k = 0; k < 3; ++k) {
        if (!active[k])
            continue;
        const Window& w = windows[k];
        if (position == w.startIndex)
            held[k] = v;
        else if (position > w.startIndex && position < w.stopIndex)
            v = held[k];
        else if (position == w.stopIndex)
            offset[k] = v - held[k];
        v = v - offset[k];
    }
    return v;
}

}  // namespace dgaws
