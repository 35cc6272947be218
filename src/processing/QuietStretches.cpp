#include "QuietStretches.h"

#include "SignalView.h"

#include <algorithm>
#include <cmath>

namespace dgaws {

namespace {

constexpr int kQuietShare = 5;  // the quietest fifth
constexpr int kMinQuiet = 3;

double median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    const size_t mid = v.size() / 2;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(mid), v.end());
    return v[mid];
}

}  // namespace

QuietStretches::QuietStretches(const float* samples, int count, int length)
    : samples_(samples), count_(count < 0 ? 0 : count), length_(length < 3 ? 3 : length)
{
    if (count_ < 3)
        return;
    if (count_ < 2 * length_)
        length_ = count_;
    std::vector<Stretch> all;
    for (int start = 0; start + length_ <= count_; start += length_)
        all.push_back(fit(start, length_));
    const size_t keep =
        std::min(all.size(),
                 std::max<size_t>(
                     kMinQuiet, (all.size() + kQuietShare - 1) / static_cast<size_t>(kQuietShare)));
    std::stable_sort(all.begin(), all.end(),
                     [](const Stretch& a, const Stretch& b) { return a.rms < b.rms; });
    quiet_.assign(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(keep));
    std::sort(quiet_.begin(), quiet_.end(),
              [](const Stretch& a, const Stretch& b) { return a.start < b.start; });
}

Stretch QuietStretches::fit(int start, int length) const
{
    Stretch s;
    s.start = start;
    s.length = length;
    if (length < 3)
        return s;
    const double n = length;
    const double xMean = (n - 1.0) / 2.0;
    double yMean = 0.0;
    for (int i = 0; i < length; ++i)
        yMean += SignalView::finite(samples_[start + i]);
    yMean /= n;
    s.mean = yMean;
    double sxx = 0.0;
    double sxy = 0.0;
    for (int i = 0; i < length; ++i) {
        const double dx = i - xMean;
        sxx += dx * dx;
        sxy += dx * (SignalView::finite(samples_[start + i]) - yMean);
    }
    s.slope = sxy / sxx;
    double ss = 0.0;
    for (int i = 0; i < length; ++i) {
        const double r = SignalView::finite(samples_[start + i]) - yMean - s.slope * (i - xMean);
        ss += r * r;
    }
    // Two degrees of freedom went into the line.
    s.rms = std::sqrt(ss / (n - 2.0));
    return s;
}

double QuietStretches::noise() const
{
    if (quiet_.empty())
        return 0.0;
    double ss = 0.0;
    for (const Stretch& s : quiet_)
        ss += s.rms * s.rms;
    return std::sqrt(ss / static_cast<double>(quiet_.size()));
}

double QuietStretches::drift() const
{
    std::vector<double> slopes;
    for (size_t i = 0; i < quiet_.size(); ++i)
        for (size_t j = i + 1; j < quiet_.size(); ++j)
            slopes.push_back((quiet_[j].mean - quiet_[i].mean) /
                             (quiet_[j].start - quiet_[i].start));
    if (slopes.empty())
        return quiet_.empty() ? 0.0 : quiet_.front().slope;
    return median(slopes);
}

double QuietStretches::bunchDifferenceNoise(int smoothWidth, int bunchSize) const
{
    const int s = std::max(1, smoothWidth);
    const int b = std::max(1, bunchSize);
    // The difference at sample i reads back to i - (2b + s - 2).
    const int reach = 2 * b + s - 2;
    double ss = 0.0;
    long long used = 0;
    for (const Stretch& st : quiet_) {
        if (st.length <= reach + 1)
            continue;
        // Prefix sums make every smoothed value and every bunch mean one subtraction.
        std::vector<double> prefix(static_cast<size_t>(st.length) + 1, 0.0);
        for (int i = 0; i < st.length; ++i)
            prefix[static_cast<size_t>(i) + 1] =
                prefix[static_cast<size_t>(i)] + SignalView::finite(samples_[st.start + i]);
        // smoothed[i]: mean of samples i-s+1..i, defined from i = s-1.
        std::vector<double> smoothed(static_cast<size_t>(st.length), 0.0);
        for (int i = s - 1; i < st.length; ++i)
            smoothed[static_cast<size_t>(i)] =
                (prefix[static_cast<size_t>(i) + 1] - prefix[static_cast<size_t>(i + 1 - s)]) / s;
        std::vector<double> sm(static_cast<size_t>(st.length) + 1, 0.0);
        for (int i = 0; i < st.length; ++i)
            sm[static_cast<size_t>(i) + 1] =
                sm[static_cast<size_t>(i)] + smoothed[static_cast<size_t>(i)];
        const auto bunch = [&](int i) {  // mean of smoothed i-b+1..i
            return (sm[static_cast<size_t>(i) + 1] - sm[static_cast<size_t>(i + 1 - b)]) / b;
        };
        std::vector<double> d;
        for (int i = reach; i < st.length; ++i)
            d.push_back(bunch(i) - bunch(i - b));
        double mean = 0.0;
        for (double v : d)
            mean += v;
        mean /= static_cast<double>(d.size());
        for (double v : d)
            ss += (v - mean) * (v - mean);
        used += static_cast<long long>(d.size());
    }
    return used > 1 ? std::sqrt(ss / static_cast<double>(used - 1)) : 0.0;
}

}  // namespace dgaws
