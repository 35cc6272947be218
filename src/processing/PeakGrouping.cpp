#include "PeakGrouping.h"

#include <cmath>
#include <utility>
#include <vector>

namespace dgaws::PeakGrouping {

using namespace PeakFlag;

namespace {

constexpr int kGroupContinues = EndsInValley | FixedBaselineEnd;

// A lone peak has its own straight baseline, except where a bit fixes a point.
void drawOneRow(PeakRecord& p)
{
    if (!(p.typeFlags & FixedBaselineStart))
        p.baselineStartValue = p.startValue;
    if (!(p.typeFlags & (TailingWithRidersBehind | FixedBaselineEnd)))
        p.baselineEndValue = p.endValue;
}

// One line over rows g..last. Returns the row after which the signal at a valley lies
// below the line (the group is split there), or -1.
int drawLine(PeakTable& t, int g, int last, const SignalView& signal)
{
    PeakRecord& first = t[g];
    PeakRecord& end = t[last];
    // The line's own end points never lie above the signal; fixing them before the line
    // is drawn keeps a second drawing from moving it.
    if (!(first.typeFlags & FixedBaselineStart)) {
        const float s = signal(first.baselineStartIndex);
        if (s < first.baselineStartValue)
            first.baselineStartValue = s;
    }
    if (!(end.typeFlags & FixedBaselineEnd)) {
        const float s = signal(end.baselineEndIndex);
        if (s < end.baselineEndValue)
            end.baselineEndValue = s;
    }
    const double x0 = first.baselineStartIndex;
    const double y0 = first.baselineStartValue;
    const double y1 = end.baselineEndValue;
    const double span = static_cast<double>(end.baselineEndIndex) - x0;
    const double slope = span == 0.0 ? 0.0 : (y1 - y0) / span;
    // Inside the group the line is cut to whole signal units.
    const auto lineAt = [&](int x) { return y0 + std::trunc((x - x0) * slope); };

    for (int i = g; i <= last; ++i) {
        PeakRecord& p = t[i];
        if (i > g) {
            p.baselineStartIndex = t[i - 1].baselineEndIndex;
            if (!(p.typeFlags & FixedBaselineStart)) {
                const double v = lineAt(p.baselineStartIndex);
                const float s = signal(p.baselineStartIndex);
                p.baselineStartValue = s < v ? s : static_cast<float>(v);
            }
        }
        if (i == last || (p.typeFlags & FixedBaselineEnd))
            continue;
        const double v = lineAt(p.baselineEndIndex);
        const float s = signal(p.baselineEndIndex);
        if (!(s < v)) {
            p.baselineEndValue = static_cast<float>(v);
            continue;
        }
        p.baselineEndValue = s;
        if (p.typeFlags & EndsInValley) {
            p.typeFlags &= ~EndsInValley;
            PeakRecord& next = t[i + 1];
            next.baselineStartValue = signal(next.baselineStartIndex);
            next.typeFlags &= ~StartsInValley;
            return i;
        }
    }
    return -1;
}

void drawGroup(PeakTable& t, int g, int last, const SignalView& signal)
{
    std::vector<std::pair<int, int>> parts{{g, last}};
    while (!parts.empty()) {
        const auto [a, b] = parts.back();
        parts.pop_back();
        if (a == b) {
            drawOneRow(t[a]);
            continue;
        }
        const int split = drawLine(t, a, b, signal);
        if (split < 0)
            continue;
        t[a].detectTag = split - a + 1;
        t[split + 1].detectTag = b - split;
        // The rows before the split are drawn again on a line of their own; the rest form
        // a new group.
        parts.emplace_back(split + 1, b);
        parts.emplace_back(a, split);
    }
}

}  // namespace

void regroup(PeakTable& t)
{
    const int size = t.size();
    int g = 0;
    while (g < size) {
        int last = g;
        while (last < size - 1 && (t[last].typeFlags & kGroupContinues))
            ++last;
        for (int r = g; r <= last; ++r)
            if (t[r].typeFlags & kGroupContinues)
                t[r].detectTag = 0;
        t[g].detectTag = last - g + 1;
        g = last + 1;
    }
}

void drawGroupBaselines(PeakTable& t, const SignalView& signal)
{
    const int size = t.size();
    int g = 0;
    while (g < size) {
        // A stored table can carry any count; a group is at least its first row and never
        // runs past the table.
        int n = t[g].detectTag;
        if (n < 1)
            n = 1;
        if (n > size - g)
            n = size - g;
        drawGroup(t, g, g + n - 1, signal);
        g += n;
    }
}

void detach(PeakTable& t, int row)
{
    if (row < 0 || row >= t.size())
        return;
    int head = row;
    while (head > 0 && (t[head - 1].typeFlags & kGroupContinues))
        --head;
    int last = row;
    while (last < t.size() - 1 && (t[last].typeFlags & kGroupContinues))
        ++last;
    PeakRecord& p = t[row];
    const bool alone = head == last;
    if (alone && p.baselineStartValue == p.startValue && p.baselineEndValue == p.endValue)
        return;
    p.baselineStartValue = p.startValue;
    p.baselineEndValue = p.endValue;
    if (!alone) {
        if (row < last) {
            PeakRecord& next = t[row + 1];
            next.typeFlags &= ~StartsInValley;
            next.baselineStartValue = next.startValue;
            next.detectTag = last - row;
        }
        if (row > head) {
            PeakRecord& previous = t[row - 1];
            previous.typeFlags &= ~EndsInValley;
            previous.baselineEndValue = previous.endValue;
            t[head].detectTag = row - head;
        }
    }
    p.detectTag = 1;
    p.typeFlags &= ~(StartsInValley | EndsInValley);
}

}  // namespace dgaws::PeakGrouping
