#pragma once

#include "SignalView.h"

#include "chromatogram/PeakTable.h"

#include <cstdint>
#include <vector>

namespace dgaws {

// What the measures read besides the table.
struct MeasureInputs {
    const SignalView& signal;
    double minArea = 0.0;
    double minHeight = 0.0;
    int areaDivisor = 20;
    int pointsPerSecond = 20;
};

// Areas, heights, exclusion, numbering, percentages, widths and resolution of every row.
class PeakMeasures {
public:
    // Lets the sums and width crossings of a row be reused while its boundaries stay the
    // same and every sample it reads lies below `stableLimit` (samples that can no longer
    // change, as during a pass). A negative limit turns reuse off.
    void setStableLimit(int64_t stableLimit);

    // Widens signalMax/signalMin by every sample summed and fills excludedTimes with the
    // retention times of the excluded rows.
    void run(PeakTable& table, const MeasureInputs& in, float& signalMax, float& signalMin,
             std::vector<double>& excludedTimes);

    // Where the signal crosses `level` on the front and on the rear of a peak.
    static int frontCrossing(const SignalView& s, int start, int apex, double level);
    static int rearCrossing(const SignalView& s, int apex, int end, double level);

private:
    struct RangeSum {
        double sum = 0.0;
        float low = 0.0f;
        float high = 0.0f;
        bool visited = false;
    };
    struct SumMemo {
        bool valid = false;
        int b0 = 0;
        int b1 = 0;
        RangeSum value;
    };
    struct Crossings {
        int front50 = 0;
        int rear50 = 0;
        int front05 = 0;
        int rear05 = 0;
    };
    struct WidthMemo {
        bool valid = false;
        int start = 0;
        int apex = 0;
        int end = 0;
        double height = 0.0;
        Crossings value;
    };

    static RangeSum rawSum(const SignalView& s, int b0, int b1);
    static Crossings crossings(const SignalView& s, const PeakRecord& p);
    RangeSum sumOf(size_t row, const PeakRecord& p, const SignalView& s);
    Crossings crossingsOf(size_t row, const PeakRecord& p, const SignalView& s);
    bool stable(int64_t highestIndex) const
    {
        return stableLimit_ >= 0 && highestIndex < stableLimit_;
    }

    int64_t stableLimit_ = -1;
    std::vector<SumMemo> sums_;
    std::vector<WidthMemo> widths_;
};

}  // namespace dgaws
