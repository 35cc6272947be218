#pragma once

#include "chromatogram/ChromatogramData.h"
#include "chromatogram/IntegrationParams.h"

#include <vector>

namespace dgaws {

// A time-program row with the sample index its time maps to.
struct ScheduledEvent {
    TimeEvent event;
    int index = 0;
};

// The per-sample parameter update: the bunch size and slope threshold the detector works
// with, the time program that changes them, the doubling over time, and the lock time.
class ParameterSchedule {
public:
    // Loads a pass. The rows are taken in time order, equal times in their order of entry,
    // whatever order a stored method holds them in.
    void startPass(const IntegrationParams& params, bool programEnabled,
                   const std::vector<TimeEvent>& program, const ChromatogramData& clock);

    // Updates the working values for the sample with index n (the samples consumed so far)
    // and returns the time-program row applied at this sample, if any; at most one row is
    // applied per sample. Samples come in order, so between the indexes where a row, the
    // lock time or a doubling falls nothing can change unless the detector chose its own
    // bunch size: those samples cost one comparison.
    const ScheduledEvent* advance(int n)
    {
        if (n < quietUntil_ && !bunchOverridden_)
            return nullptr;
        return update(n);
    }

    // How many samples from index n on advance would leave everything as it is.
    int quietSamples(int n) const
    {
        return bunchOverridden_ || n >= quietUntil_ ? 0 : quietUntil_ - n;
    }

    double bunchSize() const { return bunch_; }
    double threshold() const { return threshold_; }
    // Where the centre of a bunch lies behind the newest sample.
    int centreOffset() const { return centreOffset_; }
    bool beforeLock() const { return beforeLock_; }

    // The detector's own choice of bunch size at a peak start; it lasts until an update
    // loads the working values again. Never below 1.
    void setBunchSize(double size)
    {
        bunch_ = size >= 1.0 ? size : 1.0;
        bunchOverridden_ = true;
    }

    // While the detector follows the widths of the peaks it finds (time event 10), their
    // bunch size replaces the working one from the next sample on, doubling or not; 0 stops
    // following. The threshold stays the schedule's.
    void followBunchSize(double size)
    {
        followed_ = size;
        quietUntil_ = 0;
    }
    double followedBunchSize() const { return followed_; }

    int doublingPeriod() const { return doublingPeriod_; }
    int doublingCount() const { return k_; }
    int nextRow() const { return next_; }
    const std::vector<ScheduledEvent>& rows() const { return rows_; }

private:
    const ScheduledEvent* update(int n);
    void setCentreOffset();
    // The first sample index after n at which update can give other values.
    int nextChange(int n) const;

    IntegrationParams params_;
    std::vector<ScheduledEvent> rows_;
    bool programActive_ = false;
    bool anyRowApplied_ = false;
    int next_ = 0;
    int lockIndex_ = 0;
    int doublingPeriod_ = 0;
    int k_ = 0;
    int smoothWidth_ = 1;
    double baseBunch_ = 1.0;
    double baseThreshold_ = 0.0;
    double bunch_ = 1.0;
    double threshold_ = 0.0;
    int centreOffset_ = 0;
    bool beforeLock_ = false;
    int quietUntil_ = 0;
    bool bunchOverridden_ = false;
    double followed_ = 0.0;
};

}  // namespace dgaws
