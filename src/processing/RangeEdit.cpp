#include "RangeEdit.h"

namespace dgaws::RangeEdit {

using namespace PeakFlag;

Rows behind(const PeakTable& t, int selected, int64_t x)
{
    int last = selected;
    while (last + 1 < t.size() && t[last + 1].apexIndex < x)
        ++last;
    return {selected, last};
}

Rows before(const PeakTable& t, int selected, int64_t x)
{
    int first = selected;
    while (first - 1 >= 0 && t[first - 1].apexIndex > x)
        --first;
    return {first, selected};
}

void dropTailRoles(PeakTable& t, int row, const SignalView& signal)
{
    PeakRecord& p = t[row];
    if (p.typeFlags & TailingWithRidersBehind) {
        for (int k = row + 1; k < t.size() && (t[k].typeFlags & RiderOnTail); ++k)
            t[k].typeFlags &= ~RiderOnTail;
        // Where the next peak starts, unless that would put the end before the apex.
        int end = p.endIndex;
        if (row + 1 < t.size() && t[row + 1].startIndex >= p.apexIndex &&
            t[row + 1].startIndex > p.baselineStartIndex)
            end = t[row + 1].startIndex;
        p.endIndex = p.baselineEndIndex = end;
        p.endValue = p.baselineEndValue = signal(end);
        p.typeFlags &= ~TailingWithRidersBehind;
    }
    if (p.typeFlags & TailingWithRidersBefore) {
        for (int k = row - 1; k >= 0 && (t[k].typeFlags & RiderOnFront); --k)
            t[k].typeFlags &= ~RiderOnFront;
        int start = p.startIndex;
        if (row > 0 && t[row - 1].endIndex <= p.apexIndex &&
            t[row - 1].endIndex < p.baselineEndIndex)
            start = t[row - 1].endIndex;
        p.startIndex = p.baselineStartIndex = start;
        p.startValue = p.baselineStartValue = signal(start);
        p.typeFlags &= ~TailingWithRidersBefore;
    }
    p.typeFlags &= ~(RiderOnTail | RiderOnFront);
}

}  // namespace dgaws::RangeEdit
