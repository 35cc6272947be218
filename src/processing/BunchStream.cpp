#include "BunchStream.h"

#include <cstdint>

namespace dgaws {

void BunchStream::setLengths(int smoothWidth, int judgeWidth)
{
    window_.setLength(effectiveSmoothWidth(smoothWidth));
    judgeWidth_ = effectiveJudgeWidth(judgeWidth);
}

void BunchStream::startPass(int smoothWidth, int judgeWidth)
{
    window_.clear();
    resetDetector(smoothWidth, judgeWidth);
}

void BunchStream::resetDetector(int smoothWidth, int judgeWidth)
{
    setLengths(smoothWidth, judgeWidth);
    history_.clear();
    tally_ = Tally{};
    accumulator_ = 0.0f;
    counter_ = 0;
    sinceReset_ = 0;
    N_ = 5;
}

bool BunchStream::emitBunch(int n, double bunchSize, double threshold, int centreOffset)
{
    Bunch b;
    b.mean = static_cast<float>(accumulator_ / bunchSize);
    const int64_t centre = static_cast<int64_t>(n) - centreOffset;
    b.centre = centre < INT32_MIN ? INT32_MIN : static_cast<int32_t>(centre);
    accumulator_ = 0.0f;
    counter_ = 0;
    ++sinceReset_;

    double curvature = 0.0;
    if (!history_.empty()) {
        const Bunch& previous = history_.newest();
        b.slope = static_cast<double>(b.mean) - static_cast<double>(previous.mean);
        curvature = b.slope - previous.slope;
    }
    if (b.slope > threshold)
        b.slopeClass = SlopeClass::Rise;
    else if (b.slope < -threshold)
        b.slopeClass = SlopeClass::Fall;
    if (curvature > 0.25 * threshold)
        b.curveClass = CurveClass::Up;
    else if (curvature < -0.25 * threshold)
        b.curveClass = CurveClass::Down;
    history_.add(b);

    if (sinceReset_ < N_)
        return false;
    sinceReset_ = N_ - 1;
    tally_ = history_.tally(N_);
    return true;
}

}  // namespace dgaws
