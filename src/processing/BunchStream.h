#pragma once

#include "BunchHistory.h"
#include "MovingAverage.h"

#include <algorithm>
#include <cmath>

namespace dgaws {

// Raw samples in, classified bunches out: the moving average, the bunch accumulator, the
// history of bunches and the tallies over the newest N of them. Both the peak detector and
// the start-signal detector run on one stream.
class BunchStream {
public:
    // Stored methods may hold any numbers; the detector needs a divisor of at least 1 and
    // enough history for the tallies of five bunches.
    static int effectiveSmoothWidth(int smoothWidth) { return smoothWidth < 1 ? 1 : smoothWidth; }
    static int effectiveJudgeWidth(int judgeWidth) { return judgeWidth < 5 ? 5 : judgeWidth; }

    // A new pass: everything is emptied, the moving-average window too.
    void startPass(int smoothWidth, int judgeWidth);
    // The detector's reset: bunches, tallies and N start over, while the moving-average
    // window keeps its samples and running sum.
    void resetDetector(int smoothWidth, int judgeWidth);

    // Takes one sample (`n` counts it already). True when a bunch was emitted and the
    // tallies are due for evaluation. A bunch is emitted once `emitAt` smoothed values are
    // accumulated; its mean divides by `bunchSize` (at least 1).
    bool add(float sample, int n, double emitAt, double bunchSize, double threshold,
             int centreOffset)
    {
        window_.add(sample);
        if (n < window_.length())
            return false;
        accumulator_ += window_.average();
        ++counter_;
        if (!(counter_ >= emitAt))
            return false;
        return emitBunch(n, bunchSize, threshold, centreOffset);
    }
    // Samples that emit no bunch, taken as add and endSample would take them one by one,
    // once the window is full: stops before the sample that completes a bunch, after at
    // most `count`. Returns how many it took. `sample(i)` gives the i-th.
    template <class Sample> int addQuiet(int count, double emitAt, Sample sample)
    {
        if (window_.held() != window_.length() - 1)
            return 0;
        // The j-th sample (from 1) emits once counter_ + j >= emitAt; never when it is NaN.
        const double room = emitAt - counter_;
        const int quiet =
            !(room <= count) ? count : static_cast<int>(std::max(0.0, std::ceil(room) - 1));
        float accumulator = accumulator_;
        window_.slide(quiet, sample, [&accumulator](float average) { accumulator += average; });
        accumulator_ = accumulator;
        counter_ += quiet;
        return quiet;
    }
    // Trims the history and the window once the sample has been dealt with.
    void endSample()
    {
        history_.trim(judgeWidth_);
        window_.trim();
    }
    void clearHistory() { history_.clear(); }

    const BunchHistory& history() const { return history_; }
    const Tally& tally() const { return tally_; }
    int n() const { return N_; }
    void setN(int n) { N_ = n; }

    float accumulator() const { return accumulator_; }
    int accumulated() const { return counter_; }
    int smoothWidth() const { return window_.length(); }
    int judgeWidth() const { return judgeWidth_; }

private:
    void setLengths(int smoothWidth, int judgeWidth);
    // Makes the bunch of the accumulated values; true when the tallies are due.
    bool emitBunch(int n, double bunchSize, double threshold, int centreOffset);

    MovingAverage window_;
    BunchHistory history_;
    Tally tally_;
    float accumulator_ = 0.0f;
    int counter_ = 0;
    int sinceReset_ = 0;  // bunches since the last reset, capped at N
    int N_ = 5;
    int judgeWidth_ = 5;
};

}  // namespace dgaws
