#pragma once

#include <vector>

namespace dgaws {

// A stretch of samples with the straight line that fits it best.
struct Stretch {
    int start = 0;
    int length = 0;
    double mean = 0.0;
    double rms = 0.0;    // of the samples about the line
    double slope = 0.0;  // signal units per sample
};

// The baseline of a chromatogram as its quietest stretches show it: the signal cut into
// stretches of equal length, and the fifth of them that stray least from their own
// straight line. Peaks, humps and disturbances stray far from a line; what is left in the
// quietest stretches is the detector's noise and the drift it rides on.
class QuietStretches {
public:
    // Stretches of `length` samples (at least 3) over `count` samples; a signal shorter
    // than two stretches is one stretch.
    QuietStretches(const float* samples, int count, int length);

    // By start, at least one unless the signal has fewer than 3 samples.
    const std::vector<Stretch>& quiet() const { return quiet_; }
    int length() const { return length_; }

    // RMS of the samples about their lines, pooled over the quiet stretches.
    double noise() const;
    // Signal units per sample: the median slope between the levels of any two quiet
    // stretches, which sees through both the noise of each stretch's own slope and the
    // odd stretch that sits on a hump.
    double drift() const;
    // The spread of the detector's bunch-to-bunch differences over the quiet stretches:
    // the moving average of `smoothWidth` samples, averaged over `bunchSize` of them, less
    // the same `bunchSize` samples earlier, taken at every sample (the noise does not
    // depend on where the bunches fall) about each stretch's own mean difference, which is
    // drift and left to drift(). This is the noise the slope threshold has to clear,
    // whatever the noise's colour.
    double bunchDifferenceNoise(int smoothWidth, int bunchSize) const;

    // Whether a stretch strays from its line by more than `factor` times the noise.
    bool strays(const Stretch& s, double factor) const { return s.rms > factor * noise(); }
    // The stretch starting at sample 0.
    Stretch first() const { return fit(0, length_ < count_ ? length_ : count_); }

private:
    Stretch fit(int start, int length) const;

    const float* samples_;
    int count_;
    int length_;
    std::vector<Stretch> quiet_;
};

}  // namespace dgaws
