#include "BaselineCuts.h"

#include "ManualEventKind.h"

namespace dgaws::BaselineCuts {

using namespace PeakFlag;
using RangeEdit::EventRows;
using RangeEdit::Rows;

namespace {
constexpr int kValleys = StartsInValley | EndsInValley;
constexpr int kFixedBaseline = FixedBaselineStart | FixedBaselineEnd;
constexpr int kRiders = RiderOnTail | RiderOnFront;
}  // namespace

EventRows vertical(PeakTable& t, Rows r, const SignalView& signal)
{
    const bool headsGroup =
        r.first == 0 || !(t[r.first - 1].typeFlags & (EndsInValley | FixedBaselineEnd));
    for (int i = r.first; i <= r.last; ++i)
        RangeEdit::dropTailRoles(t, i, signal);
    for (int i = r.first; i <= r.last; ++i) {
        PeakRecord& p = t[i];
        p.typeFlags = (p.typeFlags | kValleys) & ~kFixedBaseline;
        if (i == r.last)
            continue;
        // The perpendicular stands where the next peak starts; a next start before this
        // apex (only in a damaged table) would turn the peak inside out, so it stays.
        const int cut = t[i + 1].startIndex;
        if (cut >= p.apexIndex && cut > p.baselineStartIndex) {
            p.endIndex = p.baselineEndIndex = cut;
            p.endValue = p.baselineEndValue = signal(cut);
        }
    }
    if (headsGroup)
        t[r.first].typeFlags &= ~StartsInValley;
    t[r.last].typeFlags &= ~EndsInValley;
    EventRows rows;
    if (r.last + 1 < t.size()) {
        t[r.last + 1].typeFlags &= ~StartsInValley;
        rows.push_back({r.last + 1, ManualEventKind::VerticalCut});
    }
    for (int i = r.first; i <= r.last; ++i)
        rows.push_back({i, ManualEventKind::VerticalCut});
    return rows;
}

EventRows slant(PeakTable& t, Rows r, const SignalView& signal)
{
    EventRows rows;
    if (r.first > 0) {
        t[r.first - 1].typeFlags &= ~EndsInValley;
        rows.push_back({r.first - 1, ManualEventKind::SlantCut});
    }
    if (r.last + 1 < t.size()) {
        t[r.last + 1].typeFlags &= ~StartsInValley;
        rows.push_back({r.last + 1, ManualEventKind::SlantCut});
    }
    for (int i = r.first; i <= r.last; ++i) {
        RangeEdit::dropTailRoles(t, i, signal);
        PeakRecord& p = t[i];
        p.baselineStartIndex = p.startIndex;
        p.baselineEndIndex = p.endIndex;
        p.baselineStartValue = p.startValue;
        p.baselineEndValue = p.endValue;
        p.typeFlags &= ~(kValleys | kFixedBaseline);
        rows.push_back({i, ManualEventKind::SlantCut});
    }
    return rows;
}

EventRows horizontal(PeakTable& t, Rows r)
{
    const float level = t[r.first].baselineStartValue;
    t[r.first].typeFlags |= FixedBaselineEnd;
    EventRows rows;
    for (int i = r.first; i <= r.last; ++i) {
        PeakRecord& p = t[i];
        if (!(p.typeFlags & kRiders)) {
            p.baselineStartValue = p.baselineEndValue = level;
            p.typeFlags |= kFixedBaseline;
        }
        rows.push_back({i, ManualEventKind::HorizontalBaseline});
    }
    return rows;
}

}  // namespace dgaws::BaselineCuts
