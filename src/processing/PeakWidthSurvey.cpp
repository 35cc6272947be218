#include "PeakWidthSurvey.h"

#include "QuietStretches.h"
#include "SignalView.h"

#include <algorithm>
#include <cmath>

namespace dgaws {

namespace {

// How far above its lowest point the signal must rise again, in noise, before a walk
// from an apex takes it for the next peak rather than noise on a flank.
constexpr double kTurnInNoise = 3.0;
// A moving average of m samples widens a Gaussian's half width w to sqrt(w^2 + c m^2).
constexpr double kBoxWidening = 8.0 * 0.6931471805599453 / 12.0;
constexpr int kScaleShare = 3;
constexpr double kScaleAgreement = 0.25;
// A peak whose higher valley is within a fifth of its height of the lower one.
constexpr double kResolvedShare = 0.8;
constexpr int kLargestScale = 256;

struct Valley {
    int index;
    double level;
};

Valley walk(const std::vector<double>& x, int from, int apex, int step, double turn)
{
    Valley v{apex, x[static_cast<size_t>(apex)]};
    for (int i = apex + step; i >= from && i < static_cast<int>(x.size()); i += step) {
        const double value = x[static_cast<size_t>(i)];
        if (value < v.level)
            v = {i, value};
        else if (value > v.level + turn)
            break;
    }
    return v;
}

// Where the signal first comes down to `level` walking from the apex, between samples;
// the last sample walked when it never does.
double crossing(const std::vector<double>& x, int from, int apex, int step, double level)
{
    int previous = apex;
    for (int i = apex + step; i >= from && i < static_cast<int>(x.size()); i += step) {
        const double value = x[static_cast<size_t>(i)];
        if (value <= level) {
            const double above = x[static_cast<size_t>(previous)] - level;
            const double drop = x[static_cast<size_t>(previous)] - value;
            return previous + step * (drop > 0.0 ? above / drop : 0.0);
        }
        previous = i;
    }
    return previous;
}

// Centred moving average of m samples; the ends average what there is.
std::vector<double> averaged(const float* samples, int count, int m)
{
    std::vector<double> prefix(static_cast<size_t>(count) + 1, 0.0);
    for (int i = 0; i < count; ++i)
        prefix[static_cast<size_t>(i) + 1] =
            prefix[static_cast<size_t>(i)] + SignalView::finite(samples[i]);
    std::vector<double> out(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int lo = std::max(0, i - (m - 1) / 2);
        const int hi = std::min(count, i - (m - 1) / 2 + m);
        out[static_cast<size_t>(i)] =
            (prefix[static_cast<size_t>(hi)] - prefix[static_cast<size_t>(lo)]) / (hi - lo);
    }
    return out;
}

}  // namespace

PeakWidthSurvey::PeakWidthSurvey(const float* samples, int count, int from, double minHeight,
                                 int stretchLength)
{
    if (count < 3)
        return;
    from = std::clamp(from, 0, count - 1);
    std::vector<std::vector<SurveyedPeak>> scales;
    for (int m = 1; m <= kLargestScale && m * 8 <= count; m *= 2) {
        const std::vector<double> x = averaged(samples, count, m);
        std::vector<float> asFloat(x.begin(), x.end());
        const QuietStretches quiet(asFloat.data(), count, stretchLength);
        std::vector<SurveyedPeak> peaks = survey(x, from, kTurnInNoise * quiet.noise(), minHeight);
        for (SurveyedPeak& p : peaks)
            p.halfWidth =
                std::sqrt(std::max(0.0, p.halfWidth * p.halfWidth - kBoxWidening * m * m));
        scales.push_back(std::move(peaks));
    }
    // Noise on a peak's top can end a walk early at a fine scale and give part of the peak
    // for a narrow one; the next scale, averaging that noise away, sees the whole peak.
    for (size_t k = 0; k < scales.size(); ++k) {
        const double m = std::ldexp(1.0, static_cast<int>(k));
        int valid = 0;
        for (const SurveyedPeak& p : scales[k]) {
            if (p.halfWidth < kScaleShare * m || p.halfWidth < kNarrowestPeak)
                continue;
            const bool confirmed = k + 1 == scales.size() ||
                std::any_of(scales[k + 1].begin(), scales[k + 1].end(),
                            [&p](const SurveyedPeak& q) {
                                return std::abs(q.apex - p.apex) <= 0.5 * p.halfWidth &&
                                    std::fabs(q.halfWidth - p.halfWidth) <=
                                    kScaleAgreement * p.halfWidth;
                            });
            if (!confirmed)
                continue;
            ++valid;
            if (p.resolved && (!found_ || p.halfWidth < narrowest_.halfWidth)) {
                narrowest_ = p;
                found_ = true;
            }
            if (!p.resolved &&
                (!overlappedFound_ || p.halfWidth < narrowestOverlapped_.halfWidth)) {
                narrowestOverlapped_ = p;
                overlappedFound_ = true;
            }
        }
        count_ = std::max(count_, valid);
    }
    if (!found_ && overlappedFound_) {
        narrowest_ = narrowestOverlapped_;
        found_ = true;
    }
}

std::vector<SurveyedPeak> PeakWidthSurvey::survey(const std::vector<double>& x, int from,
                                                  double turn, double minHeight) const
{
    std::vector<SurveyedPeak> peaks;
    const int count = static_cast<int>(x.size());
    const auto at = [&x](int i) { return x[static_cast<size_t>(i)]; };
    for (int i = from + 1; i + 1 < count; ++i) {
        // A flat top counts once, at its first sample.
        if (!(at(i) > at(i - 1) && at(i) >= at(i + 1)))
            continue;
        const Valley left = walk(x, from, i, -1, turn);
        const Valley right = walk(x, from, i, 1, turn);
        bool highest = true;
        for (int j = left.index; j <= right.index && highest; ++j)
            highest = at(j) < at(i) || (at(j) == at(i) && j >= i);
        if (!highest)
            continue;
        const double base = std::max(left.level, right.level);
        const double height = at(i) - base;
        if (!(height >= minHeight) || !(height > 0.0))
            continue;
        const double half = base + 0.5 * height;
        const double width = crossing(x, from, i, 1, half) - crossing(x, from, i, -1, half);
        const double full = at(i) - std::min(left.level, right.level);
        peaks.push_back({i, height, width, height >= kResolvedShare * full});
    }
    return peaks;
}

}  // namespace dgaws
