#include "BoundaryMoves.h"

#include "ManualEventKind.h"

namespace dgaws::BoundaryMoves {

using namespace PeakFlag;
using RangeEdit::EventRows;

// A tailing peak with riders before it keeps its visible start where its riders end;
// only its baseline reaches further back.
EventRows start(PeakTable& t, int row, int x, const SignalView& signal)
{
    PeakRecord& p = t[row];
    p.baselineStartIndex = x;
    if (!(p.typeFlags & TailingWithRidersBefore))
        p.startIndex = x;
    p.startValue = p.baselineStartValue = signal(x);

    EventRows rows{{row, ManualEventKind::MoveStart}};
    if (row == 0)
        return rows;
    PeakRecord& previous = t[row - 1];
    if ((p.typeFlags & RiderOnTail) && (previous.typeFlags & TailingWithRidersBehind)) {
        previous.endIndex = x;
    } else if (p.typeFlags & StartsInValley) {
        previous.endIndex = previous.baselineEndIndex = x;
        previous.endValue = p.startValue;
        rows.push_back({row - 1, ManualEventKind::MoveEnd});
    }
    return rows;
}

EventRows apex(PeakTable& t, int row, int x, const SignalView& signal, int pointsPerSecond)
{
    PeakRecord& p = t[row];
    p.apexIndex = x;
    p.retentionTime = minutesOf(x, pointsPerSecond);
    p.apexValue = signal(x);
    return {{row, ManualEventKind::MoveApex}};
}

EventRows end(PeakTable& t, int row, int x, const SignalView& signal)
{
    PeakRecord& p = t[row];
    p.baselineEndIndex = x;
    if (!(p.typeFlags & TailingWithRidersBehind))
        p.endIndex = x;
    p.endValue = p.baselineEndValue = signal(x);

    EventRows rows{{row, ManualEventKind::MoveEnd}};
    if (row + 1 >= t.size())
        return rows;
    PeakRecord& next = t[row + 1];
    if ((p.typeFlags & RiderOnFront) && (next.typeFlags & TailingWithRidersBefore)) {
        next.startIndex = x;
    } else if (p.typeFlags & EndsInValley) {
        next.baselineStartIndex = x;
        if (!(next.typeFlags & TailingWithRidersBefore))
            next.startIndex = x;
        next.startValue = p.endValue;
        rows.push_back({row + 1, ManualEventKind::MoveStart});
    }
    return rows;
}

}  // namespace dgaws::BoundaryMoves
