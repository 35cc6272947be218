#include "PeakSeparation.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace dgaws::PeakSeparation {

namespace {

// The baseline of one peak while its ends move: a straight line through its start and
// end points.
struct Line {
    int64_t start;
    double startValue;
    int64_t end;
    double endValue;

    // Negative below the line, positive above, in the form the drift test has always used.
    double side(int64_t k, double y) const
    {
        return (y - startValue) * static_cast<double>(end - start) -
            (endValue - startValue) * static_cast<double>(k - start);
    }
};

// The lower convex hull of samples added one at a time at one end, so that "does any
// sample of this stretch lie below the line" costs a search instead of a pass over the
// stretch: the side of a line is linear in the sample, so its smallest value over a set
// is taken at a vertex of the set's lower hull, and along the hull it falls, then rises.
class LowerHull {
public:
    // +1: samples arrive left to right; -1: right to left.
    explicit LowerHull(int direction) : direction_(direction) {}

    void add(int64_t k, double y)
    {
        const double x = static_cast<double>(direction_ * k);
        while (points_.size() >= 2) {
            const Point& a = points_[points_.size() - 2];
            const Point& b = points_.back();
            const double cross = (b.x - a.x) * (y - b.y) - (b.y - a.y) * (x - b.x);
            // x is mirrored for right-to-left arrival, so a left turn keeps the hull convex
            // from below either way.
            if (cross > 0.0)
                break;
            points_.pop_back();
        }
        points_.push_back({x, y, k});
    }

    bool anyBelow(const Line& line) const
    {
        if (points_.empty())
            return false;
        size_t lo = 0;
        size_t hi = points_.size() - 1;
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            if (sideAt(line, mid + 1) < sideAt(line, mid))
                lo = mid + 1;
            else
                hi = mid;
        }
        return sideAt(line, lo) < 0.0;
    }

private:
    struct Point {
        double x;
        double y;
        int64_t k;
    };
    double sideAt(const Line& line, size_t i) const
    {
        return line.side(points_[i].k, points_[i].y);
    }

    int direction_;
    std::vector<Point> points_;
};

// Baselines from their own start (or from the previous peak's end for a peak that began
// in a valley) to their own end, and no type bits left.
void makeIndependent(PeakTable& t)
{
    for (int i = 0; i < t.size(); ++i) {
        PeakRecord& p = t[i];
        if (p.typeFlags == 0)
            continue;
        if ((p.typeFlags & PeakFlag::StartsInValley) && i > 0) {
            p.baselineStartIndex = t[i - 1].endIndex;
            p.baselineStartValue = t[i - 1].endValue;
        } else {
            p.baselineStartIndex = p.startIndex;
            p.baselineStartValue = p.startValue;
        }
        p.baselineEndIndex = p.endIndex;
        p.baselineEndValue = p.endValue;
        p.typeFlags = 0;
    }
}

// Walks the start towards the apex and the end back towards it; every sample on the
// wrong side of the current line (below it, or above it for a downward peak) becomes the
// new start or end.
void walkInwards(Line& line, int64_t apex, const SignalView& y, bool upward)
{
    const auto wrongSide = [&](int64_t k) {
        const double side = line.side(k, y(k));
        return upward ? side < 0.0 : side > 0.0;
    };
    for (int64_t k = line.start + 1; k < apex; ++k) {
        if (wrongSide(k)) {
            line.start = k;
            line.startValue = y(k);
        }
    }
    for (int64_t k = line.end - 1; k > apex; --k) {
        if (wrongSide(k)) {
            line.end = k;
            line.endValue = y(k);
        }
    }
}

// Widens the peak one sample at a time while the line from the widened point keeps every
// sample between it and the apex on or above it.
void extendOutwards(Line& line, int64_t apex, int64_t lowest, int64_t highest, const SignalView& y)
{
    LowerHull front(-1);
    for (int64_t k = apex - 1; k > line.start; --k)
        front.add(k, y(k));
    while (line.start - 1 >= lowest) {
        const int64_t c = line.start - 1;
        front.add(line.start, y(line.start));
        const Line candidate{c, y(c), line.end, line.endValue};
        if (front.anyBelow(candidate))
            break;
        line.start = c;
        line.startValue = candidate.startValue;
    }

    LowerHull rear(+1);
    for (int64_t k = apex + 1; k < line.end; ++k)
        rear.add(k, y(k));
    while (line.end + 1 <= highest) {
        const int64_t c = line.end + 1;
        rear.add(line.end, y(line.end));
        const Line candidate{line.start, line.startValue, c, y(c)};
        if (rear.anyBelow(candidate))
            break;
        line.end = c;
        line.endValue = candidate.endValue;
    }
}

}  // namespace

void separate(PeakTable& t, const SignalView& y)
{
    makeIndependent(t);
    const int64_t lastSample = int64_t{y.count()} - 1;
    for (int i = 0; i < t.size(); ++i) {
        PeakRecord& p = t[i];
        // Only a peak that is sound and lies on the signal can be walked.
        if (!(0 <= p.startIndex && p.startIndex <= p.apexIndex && p.apexIndex <= p.endIndex &&
              p.endIndex <= lastSample))
            continue;
        Line line{p.startIndex, p.startValue, p.endIndex, p.endValue};
        const bool upward = !(p.apexValue < p.startValue && p.apexValue < p.endValue);
        walkInwards(line, p.apexIndex, y, upward);
        if (upward) {
            const int64_t lowest = i == 0 ? 1 : std::max<int64_t>(t[i - 1].endIndex, 0);
            const int64_t highest = i == t.size() - 1 ? lastSample : t[i + 1].startIndex;
            extendOutwards(line, p.apexIndex, lowest, std::min(highest, lastSample), y);
        }
        if (line.start != p.startIndex) {
            p.startIndex = p.baselineStartIndex = static_cast<int>(line.start);
            p.startValue = p.baselineStartValue = static_cast<float>(line.startValue);
        }
        if (line.end != p.endIndex) {
            p.endIndex = p.baselineEndIndex = static_cast<int>(line.end);
            p.endValue = p.baselineEndValue = static_cast<float>(line.endValue);
        }
    }
}

}  // namespace dgaws::PeakSeparation
