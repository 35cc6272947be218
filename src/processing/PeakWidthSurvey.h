#pragma once

#include <vector>

namespace dgaws {

// A peak as the survey saw it, in samples of the chromatogram's own rate.
struct SurveyedPeak {
    int apex = 0;
    double height = 0.0;     // above the higher of its two valleys
    double halfWidth = 0.0;  // samples between the crossings of half that height
    bool resolved = false;   // the higher valley is low enough for the width to be its own
};

// The peaks that stand clear of the noise, found without the detector: every local
// maximum that is the highest sample between the valleys on either side of it, where a
// valley is where the signal, walking away from the apex, turns up again by more than
// three times the noise. The height is taken above the higher valley, so a peak on the
// flank of another is measured as far as it stands out, and its width at half that
// height.
//
// Noise on a broad peak's flanks turns a walk long before its valley, so the survey looks
// at the signal under moving averages of 1, 2, 4, 8 ... samples as well, each with its own
// noise. A peak counts at a scale that is at most a third of its half width, where the
// average widens it by under 3 %, and that widening is taken off again.
class PeakWidthSurvey {
public:
    // A peak narrower than this at half height is one or two wild samples, not a peak the
    // detector could integrate.
    static constexpr double kNarrowestPeak = 1.5;

    // Surveys samples [from, count); peaks lower than `minHeight` are left out. The noise
    // of each scale is measured on stretches of `stretchLength` samples.
    PeakWidthSurvey(const float* samples, int count, int from, double minHeight, int stretchLength);

    // The most peaks one scale saw.
    int peakCount() const { return count_; }
    // The narrowest peak of all scales, or null when there is none. A peak that shares a
    // high valley with a neighbour measures narrower than it is; such peaks count only when
    // no peak stands resolved.
    const SurveyedPeak* narrowest() const { return found_ ? &narrowest_ : nullptr; }

private:
    std::vector<SurveyedPeak> survey(const std::vector<double>& x, int from, double turn,
                                     double minHeight) const;

    int count_ = 0;
    bool found_ = false;
    SurveyedPeak narrowest_;
    SurveyedPeak narrowestOverlapped_;
    bool overlappedFound_ = false;
};

}  // namespace dgaws
