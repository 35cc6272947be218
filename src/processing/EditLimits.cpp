#include "EditLimits.h"

#include <algorithm>

namespace dgaws::EditLimits {

using namespace PeakFlag;

namespace {

SampleSpan clipped(int64_t first, int64_t last, int sampleCount)
{
    return {std::max<int64_t>(first, 0), std::min<int64_t>(last, int64_t{sampleCount} - 1)};
}

bool validRow(const PeakTable& t, int row)
{
    return row >= 0 && row < t.size();
}

}  // namespace

int lastRiderBehind(const PeakTable& t, int row)
{
    int last = row;
    while (last + 1 < t.size() && (t[last + 1].typeFlags & RiderOnTail))
        ++last;
    return last;
}

int firstRiderBefore(const PeakTable& t, int row)
{
    int first = row;
    while (first - 1 >= 0 && (t[first - 1].typeFlags & RiderOnFront))
        --first;
    return first;
}

SampleSpan start(const PeakTable& t, int row, int sampleCount)
{
    if (!validRow(t, row))
        return {};
    const PeakRecord& p = t[row];
    int64_t first = 0;
    int64_t last = std::min<int64_t>(p.apexIndex, int64_t{p.baselineEndIndex} - 1);
    if (p.typeFlags & TailingWithRidersBefore) {
        const int rider = firstRiderBefore(t, row);
        if (rider < row)
            last = std::min<int64_t>({last, t[rider].startIndex, t[rider].baselineStartIndex});
        if (rider > 0)
            first = t[rider - 1].baselineEndIndex;
    } else if (row > 0) {
        const PeakRecord& previous = t[row - 1];
        first = (p.typeFlags & (StartsInValley | RiderOnTail)) ? previous.apexIndex
                                                               : previous.baselineEndIndex;
    }
    return clipped(first, last, sampleCount);
}

SampleSpan apex(const PeakTable& t, int row, int sampleCount)
{
    if (!validRow(t, row))
        return {};
    return clipped(t[row].startIndex, t[row].endIndex, sampleCount);
}

SampleSpan end(const PeakTable& t, int row, int sampleCount)
{
    if (!validRow(t, row))
        return {};
    const PeakRecord& p = t[row];
    int64_t first = std::max<int64_t>(p.apexIndex, int64_t{p.baselineStartIndex} + 1);
    int64_t last = int64_t{sampleCount} - 1;
    if (p.typeFlags & TailingWithRidersBehind) {
        const int rider = lastRiderBehind(t, row);
        for (int k = row + 1; k <= rider; ++k)
            first = std::max<int64_t>({first, t[k].endIndex, t[k].baselineEndIndex});
        if (rider + 1 < t.size())
            last = t[rider + 1].baselineStartIndex;
    } else if (row + 1 < t.size()) {
        const PeakRecord& next = t[row + 1];
        last = (p.typeFlags & (EndsInValley | RiderOnFront)) ? next.apexIndex
                                                             : next.baselineStartIndex;
    }
    return clipped(first, last, sampleCount);
}

bool insidePeak(const PeakTable& t, int64_t sample)
{
    return std::any_of(t.begin(), t.end(), [sample](const PeakRecord& p) {
        return p.startIndex < sample && sample < p.endIndex;
    });
}

bool peakBetween(const PeakTable& t, int64_t from, int64_t to)
{
    return std::any_of(t.begin(), t.end(), [from, to](const PeakRecord& p) {
        return p.startIndex < to && p.endIndex > from;
    });
}

}  // namespace dgaws::EditLimits
