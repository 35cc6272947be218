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

    int held() const { return window_.size(); }
    float sum() const { return sum_; }

private:
    RingBuffer<float> window_;
    float sum_ = 0.0f;
    int length_ = 1;
};

}  // namespace dgaws
