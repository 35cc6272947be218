#pragma once

#include "EditStatus.h"

#include "chromatogram/PeakTable.h"

namespace dgaws {

// The three clicks of "增加峰(&A)": start, apex, end. Each click is checked when it is
// made; a click that breaks a limit is not taken and the same point is asked for again.
class AddPeakClicks {
public:
    enum class Next { Start, Apex, End, Complete };

    // Takes the click as the next point, or says why it cannot be that point.
    EditStatus click(const PeakTable& table, int sampleCount, int sample);
    Next next() const { return next_; }
    bool complete() const { return next_ == Next::Complete; }
    void reset() { next_ = Next::Start; }

    int start() const { return start_; }
    int apex() const { return apex_; }
    int end() const { return end_; }

    // The three checks, also run once more when the peak is inserted.
    static EditStatus checkStart(const PeakTable& table, int sampleCount, int start);
    static EditStatus checkApex(const PeakTable& table, int sampleCount, int start, int apex);
    static EditStatus checkEnd(const PeakTable& table, int sampleCount, int apex, int end);

private:
    Next next_ = Next::Start;
    int start_ = 0;
    int apex_ = 0;
    int end_ = 0;
};

}  // namespace dgaws
