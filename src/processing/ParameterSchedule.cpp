#include "ParameterSchedule.h"

#include "BunchStream.h"
#include "TimeEventType.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

namespace dgaws {

void ParameterSchedule::startPass(const IntegrationParams& params, bool programEnabled,
                                  const std::vector<TimeEvent>& program,
                                  const ChromatogramData& clock)
{
    params_ = params;
    rows_.clear();
    rows_.reserve(program.size());
    for (const TimeEvent& e : program)
        rows_.push_back({e, clock.timeToIndex(e.time)});
    // A damaged time without a value maps to sample 0, so it sorts first; without that the
    // order would not be an ordering at all.
    const auto key = [](const ScheduledEvent& e) {
        return std::isnan(e.event.time) ? -std::numeric_limits<double>::infinity() : e.event.time;
    };
    std::stable_sort(
        rows_.begin(), rows_.end(),
        [&key](const ScheduledEvent& a, const ScheduledEvent& b) { return key(a) < key(b); });
    programActive_ = programEnabled && !rows_.empty();
    anyRowApplied_ = false;
    next_ = 0;
    lockIndex_ = clock.timeToIndex(params.lockTime);
    doublingPeriod_ = clock.timeToIndex(params.timeDoubling);
    k_ = 0;
    smoothWidth_ = BunchStream::effectiveSmoothWidth(params.smoothWidth);
    baseBunch_ = params.peakWidth;
    baseThreshold_ = params.slope * 0.1;
    bunch_ = baseBunch_;
    threshold_ = baseThreshold_;
    if (!(bunch_ >= 1.0))
        bunch_ = 1.0;
    beforeLock_ = false;
    quietUntil_ = 0;
    bunchOverridden_ = false;
    followed_ = 0.0;
    setCentreOffset();
}

const ScheduledEvent* ParameterSchedule::update(int n)
{
    const ScheduledEvent* applied = nullptr;
    bool loaded = false;
    if (programActive_ && next_ < static_cast<int>(rows_.size()) &&
        rows_[static_cast<size_t>(next_)].index <= n) {
        applied = &rows_[static_cast<size_t>(next_++)];
        baseBunch_ = applied->event.peakWidth;
        baseThreshold_ = applied->event.slope * 0.1;
        anyRowApplied_ = true;
        loaded = true;
        // Following the peaks' widths starts and stops from the row's own width.
        if (applied->event.type == TimeEventType::AutoPeakWidthOn ||
            applied->event.type == TimeEventType::AutoPeakWidthOff)
            followed_ = 0.0;
    }
    if (!loaded && !anyRowApplied_) {
        baseBunch_ = params_.peakWidth;
        baseThreshold_ = params_.slope * 0.1;
        loaded = true;
    }
    // Recomputed at every sample: a row applied before the lock time must not keep
    // integration off for the rest of the run.
    beforeLock_ = n < lockIndex_;

    if (doublingPeriod_ > 0) {
        if (static_cast<int64_t>(n) > static_cast<int64_t>(k_) * doublingPeriod_)
            ++k_;
        const double factor = std::ldexp(1.0, k_);  // infinite once past any real run
        bunch_ = std::trunc(factor * baseBunch_);
        threshold_ = baseThreshold_ / factor;
    } else if (loaded) {
        bunch_ = baseBunch_;
        threshold_ = baseThreshold_;
    }
    if (followed_ > 0.0)
        bunch_ = followed_;
    if (!(bunch_ >= 1.0))  // also catches 0 x infinity
        bunch_ = 1.0;
    setCentreOffset();
    bunchOverridden_ = false;
    quietUntil_ = nextChange(n);
    return applied;
}

int ParameterSchedule::nextChange(int n) const
{
    const int64_t following = static_cast<int64_t>(n) + 1;
    int64_t change = INT_MAX;
    if (programActive_ && next_ < static_cast<int>(rows_.size()))
        change =
            std::min(change, std::max<int64_t>(rows_[static_cast<size_t>(next_)].index, following));
    if (n < lockIndex_)
        change = std::min<int64_t>(change, lockIndex_);
    if (doublingPeriod_ > 0)
        change =
            std::min(change, std::max(static_cast<int64_t>(k_) * doublingPeriod_ + 1, following));
    return static_cast<int>(change);
}

void ParameterSchedule::setCentreOffset()
{
    const double half = std::trunc(bunch_ / 2.0);
    const int64_t offset =
        smoothWidth_ / 2 + (half >= INT_MAX ? int64_t{INT_MAX} : static_cast<int64_t>(half));
    centreOffset_ = offset >= INT_MAX ? INT_MAX : static_cast<int>(offset);
}

}  // namespace dgaws
