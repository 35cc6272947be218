#include "PeakDetector.h"

#include "CommonTangent.h"
#include "SafeMath.h"
#include "TimeEventType.h"

#include <cmath>
#include <cstdint>

namespace dgaws {

using namespace PeakFlag;

void PeakDetector::startPass()
{
    reset();
    working_ = PeakRecord{};
    riderLevel_ = 0.0f;
}

void PeakDetector::reset()
{
    state_ = DetectorState::Baseline;
    tail_ = TailState{};
}

void PeakDetector::notify(const Context& c, DetectionMark mark, int index) const
{
    if (c.observer)
        c.observer(mark, index);
}

void PeakDetector::onBunch(Context& c)
{
    const BunchHistory& h = c.stream.history();
    if (h.empty())
        return;
    const Tally& t = c.stream.tally();
    const int N = c.stream.n();
    int& pending = c.events.pending;

    switch (state_) {
    case DetectorState::Baseline:
        if (pending == 1) {
            pending = 0;
            startPeak(c, h.newest().centre, false);
        } else if (pending == 5) {
            // the next peak rides on a tail that is not recognised yet: no start here
        } else if (t.rises >= N) {
            c.stream.setN(3);
            c.schedule.setBunchSize(t.rises >= 5 ? 1.0 : c.params.peakWidth);
            startPeak(c, h[h.startEntry()].centre, true);
        }
        break;

    case DetectorState::Upslope:
        if (t.rises > t.flats + t.falls && t.downs > t.levels + t.ups)
            state_ = DetectorState::PastFrontInflection;
        break;

    case DetectorState::PastFrontInflection:
        if (t.falls > t.flats + t.rises)
            passApex(c);
        break;

    case DetectorState::Downslope:
        if (t.ups > t.levels + t.downs)
            state_ = DetectorState::PastRearInflection;
        break;

    case DetectorState::PastRearInflection:
        if (pending == 1) {
            pending = 0;
            const int centre = h.newest().centre;
            // A rider the tangent rule ended is already in the table.
            if (!tail_.riderEnded) {
                endAt(c, centre);
                append(c);
            }
            notify(c, DetectionMark::End, centre);
            state_ = DetectorState::Baseline;
        } else if (t.rises >= N) {
            const int valley = h[h.valleyEntry()].centre;
            if (pending == 2 || (c.events.bits & EventBit::ForceIndependent)) {
                if (pending == 2)
                    pending = 0;
                if (!tail_.riderEnded) {
                    endAt(c, valley);
                    append(c);
                }
                notify(c, DetectionMark::End, valley);
                state_ = DetectorState::Baseline;
            } else {
                splitAtValley(c, valley);
            }
        } else if (t.flats >= N) {
            c.stream.setN(5);
            const int centre = h.newest().centre;
            if (!tail_.riderEnded) {
                endAt(c, centre);
                append(c);
            }
            notify(c, DetectionMark::End, centre);
            closeGroup(c, centre);
        }
        break;
    }
}

void PeakDetector::startPeak(Context& c, int centre, bool automatic)
{
    working_ = PeakRecord{};
    working_.startIndex = working_.baselineStartIndex = centre;
    working_.startValue = working_.baselineStartValue = c.signal(centre);
    if (tail_.active) {
        working_.typeFlags |= RiderOnTail;
    } else if (automatic && (c.events.bits & EventBit::HorizontalBaseline)) {
        working_.typeFlags |= FixedBaselineStart;
        working_.baselineStartValue = c.events.horizontalLevel;
    }
    markNegative(c);
    tail_.groupFirstRow = c.rows.table.size();
    state_ = DetectorState::Upslope;
    notify(c, DetectionMark::Start, centre);
}

// Time event 14 waits for the next peak to start; that peak is negative, as the editor's
// negative peak is, and keeps the bits that place it in its group.
void PeakDetector::markNegative(Context& c)
{
    if (c.events.pending != TimeEventType::NextPeakNegative)
        return;
    c.events.pending = 0;
    working_.typeFlags |= Negative;
}

void PeakDetector::endAt(const Context& c, int index)
{
    working_.endIndex = working_.baselineEndIndex = index;
    working_.endValue = working_.baselineEndValue = c.signal(index);
}

void PeakDetector::append(Context& c)
{
    c.rows.table.append(working_);
    c.rows.touch();
}

void PeakDetector::passApex(Context& c)
{
    const BunchHistory& h = c.stream.history();
    const int apex = h[h.apexEntry()].centre;
    working_.apexIndex = apex;
    working_.retentionTime = minutesOf(apex, c.pointsPerSecond);
    working_.apexValue = c.signal(apex);
    state_ = DetectorState::Downslope;
    tail_.riderEnded = false;
    tail_.previousTangent = 0.0;
    tail_.currentTangent = 0.0;
    notify(c, DetectionMark::Apex, apex);
    if ((c.events.bits & EventBit::AutoTailing) && (working_.typeFlags & StartsInValley) &&
        !tail_.active)
        testTailing(c);
}

// A tall peak followed in its own valley by a small one that starts high above the tall
// one's start is a solvent peak: the small one rides on its tail.
void PeakDetector::testTailing(Context& c)
{
    PeakTable& t = c.rows.table;
    if (t.empty())
        return;
    PeakRecord& p = t[t.size() - 1];
    const double hP = std::fabs(static_cast<double>(p.apexValue) - p.startValue);
    const double hC = std::fabs(static_cast<double>(working_.apexValue) - working_.startValue);
    const double d = std::fabs(static_cast<double>(working_.startValue) - p.startValue);
    if (!(quotient(hP, hC) > c.params.heightRatio && quotient(hC, d) < c.params.riderRatio))
        return;
    p.typeFlags = (p.typeFlags | TailingWithRidersBehind) & ~EndsInValley;
    c.rows.touch();
    tail_.tailingRow = t.size() - 1;
    tail_.active = true;
    working_.typeFlags = (working_.typeFlags & ~StartsInValley) | RiderOnTail;
    working_.baselineStartIndex = working_.startIndex;
    working_.baselineStartValue = working_.startValue;
}

void PeakDetector::splitAtValley(Context& c, int valley)
{
    PeakTable& t = c.rows.table;
    const float valleyValue = c.signal(valley);
    if (!tail_.riderEnded) {
        working_.endIndex = working_.baselineEndIndex = valley;
        working_.endValue = valleyValue;
        working_.baselineEndValue = working_.baselineStartValue;
        const int f = working_.typeFlags;
        bool valleyEnd = true;
        if ((f & StartsInValley) && (f & RiderOnTail)) {
            valleyEnd = !(working_.endValue < riderLevel_);
        } else if (f & RiderOnTail) {
            valleyEnd = !(working_.endValue < working_.startValue);
            if (valleyEnd)
                riderLevel_ = working_.startValue;
        } else if (f & TailingWithRidersBehind) {
            valleyEnd = false;
        }
        if (valleyEnd)
            working_.typeFlags |= EndsInValley;
        append(c);
        working_.startValue = valleyValue;
        working_.typeFlags = 0;
    } else {
        working_.typeFlags = 0;
        working_.startValue = working_.baselineStartValue = valleyValue;
    }
    // The next peak starts at the valley; its baseline start value stays the group's.
    working_.startIndex = working_.baselineStartIndex = valley;
    working_.detectTag = 0;
    if (tail_.active)
        working_.typeFlags |= RiderOnTail;
    if (!t.empty() && (t[t.size() - 1].typeFlags & EndsInValley))
        working_.typeFlags |= StartsInValley;
    markNegative(c);
    state_ = DetectorState::Upslope;
    notify(c, DetectionMark::Valley, valley);
}

void PeakDetector::closeGroup(Context& c, int centre)
{
    PeakTable& t = c.rows.table;
    if (tail_.active && tail_.tailingRow >= 0 && tail_.tailingRow < t.size()) {
        PeakRecord& tailing = t[tail_.tailingRow];
        tailing.baselineEndIndex = centre;
        tailing.baselineEndValue = c.signal(centre);
        joinRidersByCommonTangent(t, tail_.tailingRow);
        c.rows.touch();
    }
    tail_.active = false;
    tail_.tailingRow = -1;
    tail_.riderEnded = false;
    state_ = DetectorState::Baseline;
}

void PeakDetector::dropOpenPeak(Context& c, int n, bool runCommonTangent)
{
    PeakTable& t = c.rows.table;
    if (!t.empty() && (t[t.size() - 1].typeFlags & EndsInValley)) {
        t[t.size() - 1].typeFlags &= ~EndsInValley;
        c.rows.touch();
    }
    if (runCommonTangent && tail_.active && tail_.tailingRow >= 0 && tail_.tailingRow < t.size()) {
        PeakRecord& tailing = t[tail_.tailingRow];
        tailing.baselineEndIndex = n - 1;
        tailing.baselineEndValue = c.signal(n - 1);
        joinRidersByCommonTangent(t, tail_.tailingRow);
        c.rows.touch();
    }
}

void PeakDetector::switchOff(Context& c, int n)
{
    switch (state_) {
    case DetectorState::Baseline: break;
    case DetectorState::PastRearInflection:
        if (!c.rows.table.empty()) {
            // Nothing to end before the first sample; a rider the tangent rule ended is
            // already in the table.
            if (n > 0 && !tail_.riderEnded) {
                endAt(c, n - 1);
                append(c);
                notify(c, DetectionMark::End, n - 1);
            }
            break;
        }
        dropOpenPeak(c, n, true);
        break;
    default: dropOpenPeak(c, n, true); break;
    }
    state_ = DetectorState::Baseline;
}

void PeakDetector::finish(Context& c, int n)
{
    const BunchHistory& h = c.stream.history();
    if (state_ == DetectorState::PastRearInflection && !c.rows.table.empty()) {
        const int centre = h.empty() ? n - 1 : h.newest().centre;
        if (!tail_.riderEnded) {
            endAt(c, centre);
            append(c);
            notify(c, DetectionMark::End, centre);
        }
        closeGroup(c, centre);
    } else {
        dropOpenPeak(c, n, false);
    }
    state_ = DetectorState::Baseline;
    c.stream.clearHistory();
}

void PeakDetector::followRiderTangent(Context& c, int n)
{
    const int64_t i = static_cast<int64_t>(n) - 1;
    const int64_t span = i - working_.startIndex;
    if (span <= 0)
        return;
    const double tangent =
        (static_cast<double>(working_.baselineStartValue) - static_cast<double>(c.signal(i))) /
        static_cast<double>(span);
    tail_.currentTangent = tangent;
    if (0.0 < tangent && tangent < tail_.previousTangent) {
        endAt(c, n - 2);
        working_.typeFlags &= ~EndsInValley;
        tail_.riderEnded = true;
        append(c);
        notify(c, DetectionMark::End, n - 2);
    } else {
        tail_.previousTangent = tangent;
    }
}

void PeakDetector::rowInserted(int at)
{
    if (tail_.tailingRow >= at)
        ++tail_.tailingRow;
    if (tail_.groupFirstRow >= at)
        ++tail_.groupFirstRow;
}

void PeakDetector::rowRemoved(int at)
{
    if (tail_.tailingRow == at) {
        // The riders have nothing left to ride on.
        tail_.active = false;
        tail_.tailingRow = -1;
    } else if (tail_.tailingRow > at) {
        --tail_.tailingRow;
    }
    if (tail_.groupFirstRow == at)
        tail_.groupFirstRow = -1;
    else if (tail_.groupFirstRow > at)
        --tail_.groupFirstRow;
}

}  // namespace dgaws
