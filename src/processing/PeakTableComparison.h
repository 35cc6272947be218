#pragma once

#include "chromatogram/PeakTable.h"

#include <vector>

namespace dgaws {

// A peak of a reference table (the one another data system stored with a chromatogram)
// and the peak found here that answers it.
struct PeakMatch {
    int reference = -1;           // row of the reference table
    int found = -1;               // row of the found table; -1 when none is near enough
    double timeDifference = 0.0;  // found minus reference, minutes
    double areaRatio = 0.0;       // found area, in the reference's unit, over the reference's
};

// The reference peaks of at least `minShare` of the largest reference area, by retention
// time, each with the nearest found peak within `tolerance` minutes; the largest reference
// peaks choose first and a found peak answers one reference peak only. Found areas are
// multiplied by `areaToReference` to be in the reference's unit (the area divisor over
// the points per second gives signal times seconds).
class PeakTableComparison {
public:
    PeakTableComparison(const PeakTable& reference, const PeakTable& found, double tolerance,
                        double minShare, double areaToReference);

    const std::vector<PeakMatch>& matches() const { return matches_; }
    int matched() const;

private:
    std::vector<PeakMatch> matches_;
};

}  // namespace dgaws
