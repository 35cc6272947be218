#pragma once

#include <functional>

namespace dgaws {

enum class DetectorState { Baseline, Upslope, PastFrontInflection, Downslope, PastRearInflection };

// Switches that time events set and clear.
namespace EventBit {
constexpr int ForbidIntegration = 1;
constexpr int ForceIndependent = 2;
constexpr int AutoTailing = 4;
constexpr int HorizontalBaseline = 8;
constexpr int AutoPeakWidth = 16;  // the bunch size follows the widths of the peaks found
}  // namespace EventBit

// The event switches with the pending one-shot event and the horizontal level, which the
// time program writes and the detector reads.
struct DetectorEvents {
    int bits = EventBit::AutoTailing;
    int pending = 0;
    float horizontalLevel = 0.0f;
};

// Points a live graph marks while a run is in progress.
enum class DetectionMark { Start, Apex, Valley, End };
using MarkObserver = std::function<void(DetectionMark, int index)>;

}  // namespace dgaws
