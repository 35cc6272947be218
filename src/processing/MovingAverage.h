#pragma once

#include "RingBuffer.h"

namespace dgaws {

// The moving average of raw samples that feeds the bunches. Sum and samples are floats
// and the sum is kept running (added and subtracted one sample at a time), because the
// detector's classifications were tuned on exactly that arithmetic.
class MovingAverage {
public:
    // A length below 1 would divide by zero; 1 means no smoothing.
    void setLength(int length) { length_ = length < 1 ? 1 : length; }
    int length() const { return length_; }

    void clear()
    {
        window_.clear();
        sum_ = 0.0f;
    }

    void add(float sample)
    {
        window_.push(sample);
        sum_ += sample;
    }
    // Running sum divided by the full length, even while fewer samples are held.
    float average() const { return sum_ / static_cast<float>(length_); }
    // Leaves length - 1 samples, ready for the next one.
    void trim()
    {
        while (window_.size() >= length_) {
            sum_ -= window_.oldest();
            window_.dropOldest();
        }
    }

    // Slides a full window (length - 1 held) over `count` samples, `sample(i)` giving the
    // i-th, and hands each new average to `take`: add, average and trim one sample at a
    // time, the same arithmetic in the same order, with the running sum kept in a register
    // instead of going through memory at every step.
    template <class Sample, class Take> void slide(int count, Sample sample, Take take)
    {
        float sum = sum_;
        const float length = static_cast<float>(length_);
        for (int i = 0; i < count; ++i) {
            const float v = sample(i);
            window_.push(v);
            sum += v;
            take(sum / length);
            sum -= window_.oldest();
            window_.dropOldest();
        }
        sum_ = sum;
    }

    int held() const { return window_.size(); }
    float sum() const { return sum_; }

private:
    RingBuffer<float> window_;
    float sum_ = 0.0f;
    int length_ = 1;
};

}  // namespace dgaws
