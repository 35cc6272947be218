#include "ManualEventReplay.h"

#include "ManualEventKind.h"
#include "PeakGrouping.h"

#include <vector>

namespace dgaws {

namespace {

int targetOf(const PeakTable& t, int apexIndex)
{
    for (int i = 0; i < t.size(); ++i)
        if (t[i].startIndex <= apexIndex && apexIndex <= t[i].endIndex)
            return i;
    return -1;
}

}  // namespace

int replayManualEvents(PeakEngine& engine)
{
    ChromatogramData* data = engine.chromatogram();
    if (!data)
        return 0;
    // A copy: the evaluation steps may look at the method while the events are replayed.
    const std::vector<ManualEvent> events = data->method.manualEvents;
    int acted = 0;
    bool unevaluated = false;
    for (const ManualEvent& e : events) {
        PeakTable& t = data->peaks;
        const int target = targetOf(t, e.peak.apexIndex);
        switch (e.kind) {
        case ManualEventKind::MoveStart:
        case ManualEventKind::MoveApex:
        case ManualEventKind::MoveEnd:
        case ManualEventKind::AddPeak:
        case ManualEventKind::NegativePeak:
            if (target >= 0) {
                PeakGrouping::detach(t, target);
                engine.deletePeak(target);
            }
            engine.insertPeak(e.peak);
            unevaluated = false;
            ++acted;
            break;
        case ManualEventKind::deletePeak:
            if (target >= 0) {
                PeakGrouping::detach(t, target);
                engine.deletePeak(target);
                unevaluated = false;
                ++acted;
            }
            break;
        case ManualEventKind::SlantCut:
        case ManualEventKind::VerticalCut:
        case ManualEventKind::TailingPeak:
        case ManualEventKind::RiderBehind:
        case ManualEventKind::HorizontalBaseline:
            if (target >= 0) {
                t[target] = e.peak;
                unevaluated = true;
                ++acted;
            }
            break;
        default: break;
        }
    }
    if (unevaluated)
        engine.evaluate(EvaluateStep::All);
    return acted;
}

}  // namespace dgaws
