#include "IntegrationProposal.h"

#include "PeakWidthSurvey.h"
#include "QuietStretches.h"
#include "SignalView.h"

#include <algorithm>
#include <cmath>

namespace dgaws {

namespace {

// Stretches long enough to hold a line and short enough to fit between peaks: six seconds,
// and never fewer than twenty samples.
constexpr double kStretchSeconds = 6.0;
constexpr int kMinStretch = 20;
// The bunch noise is taken on stretches holding at least this many whole differences.
constexpr int kDifferencesPerStretch = 4;
// A first stretch this many noises off its line is a disturbance, not baseline.
constexpr double kDisturbanceInNoise = 10.0;
// A walk from an apex or along a disturbance turns only on more than noise.
constexpr double kTurnInNoise = 3.0;
constexpr double kTurnShare = 0.1;
// What is not above this many noises high is not a peak; a Gaussian's area is this
// factor times its height times its half width.
constexpr double kDetectionLimit = 3.0;
constexpr double kGaussAreaFactor = 1.0645;

// Three significant digits: the page shows what an operator would type.
double rounded(double v)
{
    if (!(v > 0.0) || !std::isfinite(v))
        return v;
    const double scale = std::pow(10.0, 2 - static_cast<int>(std::floor(std::log10(v))));
    return std::round(v * scale) / scale;
}

// Where the excursion the run starts with ends: from the first sample the signal moves
// away by more than noise and is followed while it goes on beyond its extreme by more than
// noise; it ends where it comes back by more than noise and a tenth of the excursion, or
// stops going on for a stretch. 0 unless the first stretch strays from its line like a
// disturbance.
int disturbanceEnd(const float* x, int count, const QuietStretches& q, double noise)
{
    const Stretch first = q.first();
    if (first.length < 3 || !q.strays(first, kDisturbanceInNoise))
        return 0;
    const double start = SignalView::finite(x[0]);
    const double turn = kTurnInNoise * noise;
    int direction = 0;
    int extreme = 0;
    double extremeValue = start;
    for (int i = 1; i < count && i - extreme <= first.length; ++i) {
        const double v = SignalView::finite(x[i]);
        if (direction == 0) {
            if (std::fabs(v - start) > turn) {
                direction = v > start ? 1 : -1;
                extreme = i;
                extremeValue = v;
            }
            continue;
        }
        if (direction * (v - extremeValue) > turn) {
            extreme = i;
            extremeValue = v;
        } else if (direction * (extremeValue - v) >
                   std::max(turn, kTurnShare * std::fabs(extremeValue - start))) {
            break;
        }
    }
    return extreme;
}

}  // namespace

void applyProposal(const IntegrationProposal& proposal, IntegrationParams& target)
{
    const IntegrationParams& p = proposal.params;
    target.peakWidth = p.peakWidth;
    target.slope = p.slope;
    target.smoothWidth = p.smoothWidth;
    target.minArea = p.minArea;
    target.minHeight = p.minHeight;
    target.lockTime = p.lockTime;
    target.timeDoubling = p.timeDoubling;
}

int bunchSizeFor(double halfWidthSamples)
{
    const double size = std::round(halfWidthSamples / kBunchesPerHalfWidth);
    return size >= 1.0 && size < 1e6 ? static_cast<int>(size) : size >= 1e6 ? 1000000 : 1;
}

IntegrationProposal proposeIntegration(const ChromatogramData& data, double areaDivisor)
{
    IntegrationProposal p;
    p.params = data.method.integration;
    p.pointsPerSecond = data.pointsPerSecond;
    const int count = data.signal.count();
    const float* x = data.signal.data();
    if (count < 3 || data.pointsPerSecond <= 0)
        return p;

    const int rate = data.pointsPerSecond;
    const int length = std::max(kMinStretch, static_cast<int>(std::lround(kStretchSeconds * rate)));
    const QuietStretches baseline(x, count, length);
    p.stretchLength = baseline.length();
    // A signal without any noise still has the float's own steps.
    double scale = 0.0;
    for (int i = 0; i < count; ++i)
        scale = std::max(scale, std::fabs(static_cast<double>(SignalView::finite(x[i]))));
    const double floor = std::max(scale * 1e-6, 1e-9);
    p.noise = std::max(baseline.noise(), floor);

    const int lock = disturbanceEnd(x, count, baseline, p.noise);
    p.disturbedStart = lock > 0;

    const PeakWidthSurvey survey(x, count, lock, kSignificantHeight * p.noise, length);
    p.significantPeaks = survey.peakCount();
    int bunch = std::max(1, p.params.peakWidth);
    int smooth = std::max(1, p.params.smoothWidth);
    if (const SurveyedPeak* narrowest = survey.narrowest()) {
        p.peakFound = true;
        p.narrowestSamples = narrowest->halfWidth;
        p.narrowestHalfWidth = narrowest->halfWidth / rate / 60.0;
        p.narrowestAt = minutesOf(narrowest->apex, rate);
        bunch = bunchSizeFor(narrowest->halfWidth);
        // Smoothing over a bunch's length: the bunch means become triangular averages,
        // which follow a peak as closely and carry less noise.
        smooth = bunch;
    }

    const int reach = 2 * bunch + smooth - 2;
    const QuietStretches wide(x, count, std::max(length, kDifferencesPerStretch * (reach + 1)));
    p.bunchNoise = std::max(wide.bunchDifferenceNoise(smooth, bunch), floor);
    const double driftPerSample = wide.drift();
    p.drift = driftPerSample * rate * 60.0;
    const double threshold = kThresholdInNoise * p.bunchNoise + std::fabs(driftPerSample) * bunch;

    IntegrationParams& ip = p.params;
    ip.peakWidth = bunch;
    ip.smoothWidth = smooth;
    ip.slope = rounded(threshold / 0.1);
    ip.timeDoubling = 0.0;
    ip.minHeight = rounded(kDetectionLimit * p.noise);
    const double width = p.peakFound ? p.narrowestSamples : bunch * kBunchesPerHalfWidth;
    ip.minArea = areaDivisor > 0.0
        ? rounded(kGaussAreaFactor * kDetectionLimit * p.noise * width / areaDivisor)
        : 0.0;
    // Up to the next thousandth of a minute, so that the lock index is not before the turn.
    ip.lockTime = lock > 0 ? std::ceil(minutesOf(lock, rate) * 1000.0) / 1000.0 : 0.0;
    return p;
}

}  // namespace dgaws
