#pragma once

#include "chromatogram/SignalBuffer.h"

#include <cmath>
#include <cstdint>

namespace dgaws {

// How processing reads a chromatogram's samples. Outside the readable range a sample is
// -1.0, as SignalBuffer has it. A stored file can hold NaN or infinite floats; they read
// as 0.0 so that no measure and no record can turn non-finite.
//
// While a pass is running only the samples the detector has consumed are readable: live,
// later samples do not exist yet, so a stored chromatogram must not show them either or
// the two would detect differently.
class SignalView {
public:
    SignalView() = default;
    explicit SignalView(const SignalBuffer& s) : signal_(&s), limit_(s.count()) {}

    void bind(const SignalBuffer* s) { signal_ = s; }
    void setLimit(int64_t limit) { limit_ = limit; }
    int64_t limit() const { return limit_; }
    // Readable samples that exist in the buffer.
    int count() const
    {
        if (!signal_)
            return 0;
        return limit_ < signal_->count() ? static_cast<int>(limit_ < 0 ? 0 : limit_)
                                         : signal_->count();
    }

    float operator()(int64_t i) const
    {
        if (!signal_ || i < 0 || i >= limit_ || i >= signal_->count())
            return -1.0f;
        return finite(signal_->data()[i]);
    }

    // A sample known to be readable (0 <= i < count()), for loops that checked their range
    // once: the scans of the measures walk every sample of every peak.
    float readable(int64_t i) const { return finite(signal_->data()[i]); }

    static float finite(float v) { return std::isfinite(v) ? v : 0.0f; }

private:
    const SignalBuffer* signal_ = nullptr;
    int64_t limit_ = 0;
};

// Minutes of a sample index inside the engine: index / rate / 60, in that order. A rate
// of 0 puts everything at minute 0.
inline double minutesOf(int64_t index, int pointsPerSecond)
{
    if (pointsPerSecond == 0)
        return 0.0;
    return static_cast<double>(index) / pointsPerSecond / 60.0;
}

}  // namespace dgaws
