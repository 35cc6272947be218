#include "TailingCuts.h"

#include "ManualEventKind.h"

#include <algorithm>

namespace dgaws::TailingCuts {

using namespace PeakFlag;
using RangeEdit::EventRows;
using RangeEdit::Rows;

namespace {
constexpr int kGroupBits = StartsInValley | EndsInValley | FixedBaselineStart | FixedBaselineEnd;
}  // namespace

// A peak has one tail role at a time: whatever the range's peaks carried before is
// undone first, so a peak never ends up both a tailing peak and a rider.
EventRows behind(PeakTable& t, Rows r, int64_t x, const SignalView& signal)
{
    for (int i = r.first; i <= r.last; ++i)
        RangeEdit::dropTailRoles(t, i, signal);
    PeakRecord& tailing = t[r.first];
    tailing.typeFlags =
        (tailing.typeFlags | TailingWithRidersBehind) & ~(EndsInValley | FixedBaselineEnd);
    for (int i = r.first + 1; i <= r.last; ++i)
        t[i].typeFlags = (t[i].typeFlags | RiderOnTail) & ~kGroupBits;
    if (r.last + 1 < t.size())
        t[r.last + 1].typeFlags &= ~StartsInValley;
    const int end = static_cast<int>(std::max<int64_t>(t[r.last].baselineEndIndex, x));
    tailing.baselineEndIndex = end;
    tailing.endValue = tailing.baselineEndValue = signal(end);

    EventRows rows;
    for (int i = r.first + 1; i <= r.last; ++i)
        rows.push_back({i, ManualEventKind::RiderBehind});
    rows.push_back({r.first, ManualEventKind::TailingPeak});
    return rows;
}

EventRows before(PeakTable& t, Rows r, int64_t x, const SignalView& signal)
{
    for (int i = r.first; i <= r.last; ++i)
        RangeEdit::dropTailRoles(t, i, signal);
    PeakRecord& tailing = t[r.last];
    tailing.typeFlags =
        (tailing.typeFlags | TailingWithRidersBefore) & ~(StartsInValley | FixedBaselineStart);
    for (int i = r.first; i < r.last; ++i)
        t[i].typeFlags = (t[i].typeFlags | RiderOnFront) & ~kGroupBits;
    if (r.first > 0)
        t[r.first - 1].typeFlags &= ~EndsInValley;
    const int start = static_cast<int>(std::min<int64_t>(t[r.first].baselineStartIndex, x));
    tailing.baselineStartIndex = start;
    tailing.startValue = tailing.baselineStartValue = signal(start);

    EventRows rows;
    for (int i = r.first; i <= r.last; ++i)
        rows.push_back({i, ManualEventKind::TailingPeak});
    return rows;
}

}  // namespace dgaws::TailingCuts
