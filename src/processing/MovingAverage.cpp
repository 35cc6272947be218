#include "MovingAverage.h"

namespace dgaws {

void MovingAverage::add(float sample)
{
    window_.push(sample);
    sum_ += sample;
}

void MovingAverage::trim()
{
    while (window_.size() >= length_) {
        sum_ -= window_.oldest();
        window_.dropOldest();
    }
}

}  // namespace dgaws
