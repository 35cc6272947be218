#include "PeakMeasures.h"

#include "SafeMath.h"

#include <algorithm>

namespace dgaws {

using namespace PeakFlag;

namespace {

int toInt(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// The first index in [from, to), ascending, whose sample satisfies `pred`; `none` when
// there is none. Samples outside the readable range all read -1.0, so such stretches
// are decided at once instead of being walked.
template <class Pred>
int64_t firstAscending(const SignalView& s, int64_t from, int64_t to, Pred pred, int64_t none)
{
    if (from >= to)
        return none;
    const int64_t n = s.count();
    const bool outside = pred(-1.0f);
    if (from < 0) {
        if (outside)
            return from;
        from = 0;
    }
    const int64_t stop = std::min(to, n);
    for (int64_t i = from; i < stop; ++i)
        if (pred(s.readable(i)))
            return i;
    if (to > n && outside)
        return std::max(from, n);
    return none;
}

// The first index in (to, from], descending, whose sample satisfies `pred`.
template <class Pred>
int64_t firstDescending(const SignalView& s, int64_t from, int64_t to, Pred pred, int64_t none)
{
    if (from <= to)
        return none;
    const int64_t n = s.count();
    const bool outside = pred(-1.0f);
    if (from >= n) {
        if (outside)
            return from;
        from = n - 1;
    }
    for (int64_t i = from; i > to && i >= 0; --i)
        if (pred(s.readable(i)))
            return i;
    if (to < -1 && outside)
        return -1;
    return none;
}

}  // namespace

void PeakMeasures::setStableLimit(int64_t stableLimit)
{
    stableLimit_ = stableLimit;
    if (stableLimit_ < 0) {
        sums_.clear();
        widths_.clear();
    }
}

// A crossing scan that finds nothing stops at its limit, which is where the crossing
// lies: a front that is already steep at its start, or a rear that never comes back.
int PeakMeasures::frontCrossing(const SignalView& s, int start, int apex, double level)
{
    if (!(s(start) < level))
        return start;
    const int64_t a = firstAscending(
        s, start, apex, [level](float v) { return v > level; }, apex);
    const int64_t b = firstDescending(
        s, apex, start, [level](float v) { return v < level; }, start);
    return toInt((a + b) / 2);
}

int PeakMeasures::rearCrossing(const SignalView& s, int apex, int end, double level)
{
    if (!(s(end) < level))
        return end;
    const int64_t c = firstAscending(
        s, apex, end, [level](float v) { return v < level; }, end);
    const int64_t d = firstDescending(
        s, end, apex, [level](float v) { return v > level; }, apex);
    return toInt((c + d) / 2);
}

// The first sample after the baseline start counts twice: b1 - b0 values in all, as the
// areas were always computed.
PeakMeasures::RangeSum PeakMeasures::rawSum(const SignalView& s, int b0, int b1)
{
    RangeSum r;
    const int64_t first = static_cast<int64_t>(b0) + 1;
    const int64_t n = s.count();
    const auto visit = [&r](float v) {
        if (!r.visited) {
            r.low = r.high = v;
            r.visited = true;
        }
        r.low = std::min(r.low, v);
        r.high = std::max(r.high, v);
    };
    if (first >= 0 && first < n) {
        const float v = s(first);
        r.sum = v;
        visit(v);
    }
    const int64_t stop = std::min<int64_t>(b1, n);
    for (int64_t j = std::max<int64_t>(first, 0); j < stop; ++j) {
        const float v = s.readable(j);
        r.sum += v;
        visit(v);
    }
    return r;
}

PeakMeasures::RangeSum PeakMeasures::sumOf(size_t row, const PeakRecord& p, const SignalView& s)
{
    const int b0 = p.baselineStartIndex, b1 = p.baselineEndIndex;
    if (!stable(std::max<int64_t>(static_cast<int64_t>(b0) + 1, b1)))
        return rawSum(s, b0, b1);
    if (sums_.size() <= row)
        sums_.resize(row + 1);
    SumMemo& m = sums_[row];
    if (!m.valid || m.b0 != b0 || m.b1 != b1) {
        m.value = rawSum(s, b0, b1);
        m.b0 = b0;
        m.b1 = b1;
        m.valid = true;
    }
    return m.value;
}

PeakMeasures::Crossings PeakMeasures::crossings(const SignalView& s, const PeakRecord& p)
{
    const double base = static_cast<double>(s(p.apexIndex)) - p.height;
    const double half = base + 0.5 * p.height;
    const double low = base + 0.05 * p.height;
    Crossings c;
    c.front50 = frontCrossing(s, p.startIndex, p.apexIndex, half);
    c.rear50 = rearCrossing(s, p.apexIndex, p.endIndex, half);
    c.front05 = frontCrossing(s, p.startIndex, p.apexIndex, low);
    c.rear05 = rearCrossing(s, p.apexIndex, p.endIndex, low);
    return c;
}

PeakMeasures::Crossings PeakMeasures::crossingsOf(size_t row, const PeakRecord& p,
                                                  const SignalView& s)
{
    if (!stable(std::max({p.startIndex, p.apexIndex, p.endIndex})))
        return crossings(s, p);
    if (widths_.size() <= row)
        widths_.resize(row + 1);
    WidthMemo& m = widths_[row];
    if (!m.valid || m.start != p.startIndex || m.apex != p.apexIndex || m.end != p.endIndex ||
        m.height != p.height) {
        m.value = crossings(s, p);
        m.start = p.startIndex;
        m.apex = p.apexIndex;
        m.end = p.endIndex;
        m.height = p.height;
        m.valid = true;
    }
    return m.value;
}

void PeakMeasures::run(PeakTable& t, const MeasureInputs& in, float& signalMax, float& signalMin,
                       std::vector<double>& excludedTimes)
{
    const int size = t.size();

    for (int i = 0; i < size; ++i) {
        PeakRecord& p = t[i];
        const RangeSum r = sumOf(static_cast<size_t>(i), p, in.signal);
        if (r.visited) {
            signalMax = std::max(signalMax, r.high);
            signalMin = std::min(signalMin, r.low);
        }
        const double b0 = p.baselineStartIndex;
        const double span = static_cast<double>(p.baselineEndIndex) - b0;
        const double bsv = p.baselineStartValue;
        const double bev = p.baselineEndValue;
        p.area = finiteOrZero((r.sum - span * (bev + bsv) * 0.5) / in.areaDivisor);
        p.height = span == 0.0 ? 0.0
                               : finiteOrZero(static_cast<double>(p.apexValue) -
                                              ((p.apexIndex - b0) * (bev - bsv) / span + bsv));
    }

    // A tailing peak's area runs under its riders; theirs are taken out of it.
    for (int i = size - 1; i >= 0; --i) {
        if (!(t[i].typeFlags & TailingWithRidersBehind))
            continue;
        for (int j = i + 1; j < size && (t[j].typeFlags & RiderOnTail); ++j)
            t[i].area -= t[j].area;
    }
    for (int i = 0; i < size; ++i) {
        if (!(t[i].typeFlags & TailingWithRidersBefore))
            continue;
        for (int j = i - 1; j >= 0 && (t[j].typeFlags & RiderOnFront); --j)
            t[i].area -= t[j].area;
    }

    for (PeakRecord& p : t) {
        if (p.typeFlags & Negative) {
            p.area = -p.area;
            p.height = -p.height;
        }
    }

    excludedTimes.clear();
    double total = 0.0;
    for (int i = 0; i < size; ++i) {
        PeakRecord& p = t[i];
        p.area = finiteOrZero(p.area);
        p.excluded = (p.area <= in.minArea || p.height <= in.minHeight) ? 1 : 0;
        if (p.excluded)
            excludedTimes.push_back(p.retentionTime);
        else
            total += p.area;
        p.number = i + 1;
    }
    for (PeakRecord& p : t)
        p.areaPercent = p.excluded || total == 0.0 ? 0.0 : finiteOrZero(p.area / total * 100.0);

    for (int i = 0; i < size; ++i) {
        PeakRecord& p = t[i];
        if (p.typeFlags & Negative)
            continue;  // a negative peak keeps the widths it had
        const Crossings c = crossingsOf(static_cast<size_t>(i), p, in.signal);
        p.halfWidth =
            finiteOrZero(minutesOf(static_cast<int64_t>(c.rear50) - c.front50, in.pointsPerSecond));
        p.tailingFactor = measureRatio(static_cast<double>(c.rear05) - c.front05,
                                       static_cast<double>(p.apexIndex) - c.front05) *
            0.5;
        p.plates = p.halfWidth == 0.0 ? 0.0
                                      : finiteOrZero(5.54 * (p.retentionTime / p.halfWidth) *
                                                     (p.retentionTime / p.halfWidth));
    }

    if (size >= 2) {
        const auto resolution = [&t](int a, int b) {
            return measureRatio((t[b].retentionTime - t[a].retentionTime) * 1.18,
                                t[b].halfWidth + t[a].halfWidth);
        };
        t[0].resolution = resolution(0, 1);
        for (int i = 1; i < size; ++i)
            t[i].resolution = resolution(i - 1, i);
    }
}

}  // namespace dgaws
