#pragma once

#include <cstdint>
#include <vector>

namespace dgaws {

// The lowest and highest sample of any stretch of a signal, answered in logarithmic time:
// a graph that shows more samples than it has pixel columns draws one vertical stroke per
// column, and a day at 50 points per second has 4.3 million samples to a screen's 2000
// columns. Levels of blocks hold each block's extremes (16 samples a block at the first
// level, twice as many at each next); a stretch is covered by the largest whole blocks that
// fit, with the samples of its ragged ends read directly. The signal itself stays with its
// owner and is passed to each call. Samples that are not finite are left out.
class SignalEnvelope {
public:
    struct Span {
        float low;
        float high;
        bool empty() const { return !(low <= high); }
    };

    // Forgets everything: an envelope of no samples.
    void clear();
    // Takes samples [count(), newCount) of `samples` in; samples before count() must be the
    // ones already taken. A smaller newCount starts over from the first sample.
    void extend(const float* samples, int newCount);
    int count() const { return count_; }

    // Extremes of samples [from, to) (clamped to the samples taken); empty (low > high) when
    // the stretch holds no finite sample.
    Span span(const float* samples, int64_t from, int64_t to) const;

private:
    static constexpr int kFirstShift = 4;  // 16 samples to a first-level block
    static Span none();
    static void merge(Span& into, const Span& other);
    static Span ofSamples(const float* samples, int64_t from, int64_t to);
    void rebuildLevelsFrom(int firstBlock);

    // levels_[k][b] covers samples [b << (kFirstShift + k), (b + 1) << (kFirstShift + k)).
    std::vector<std::vector<Span>> levels_;
    int count_ = 0;
};

}  // namespace dgaws
