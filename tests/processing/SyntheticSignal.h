#pragma once

// Chromatograms built in the tests: sums of peak shapes on a baseline, with optional
// drift and deterministic noise, so that every expectation can be reasoned from the shape.
#include "chromatogram/ChromatogramData.h"

#include <cmath>
#include <initializer_list>
#include <random>
#include <vector>

namespace dgaws::test {

class SyntheticSignal {
public:
    explicit SyntheticSignal(int samples, float baseline = 0.0f)
        : values_(static_cast<size_t>(samples), static_cast<double>(baseline))
    {
    }

    // A Gaussian of the given height centred on sample `centre` with deviation `sigma`
    // samples.
    SyntheticSignal& gaussian(double centre, double height, double sigma)
    {
        for (size_t i = 0; i < values_.size(); ++i) {
            const double x = (static_cast<double>(i) - centre) / sigma;
            if (std::fabs(x) < 40.0)
                values_[i] += height * std::exp(-0.5 * x * x);
        }
        return *this;
    }

    // A peak rising like a Gaussian and falling exponentially with time constant `tau`
    // samples: a solvent peak's long tail.
    SyntheticSignal& tailing(double centre, double height, double sigma, double tau)
    {
        for (size_t i = 0; i < values_.size(); ++i) {
            const double d = static_cast<double>(i) - centre;
            if (d <= 0.0)
                values_[i] += height * std::exp(-0.5 * (d / sigma) * (d / sigma));
            else
                values_[i] += height * std::exp(-d / tau);
        }
        return *this;
    }

    SyntheticSignal& drift(double perSample)
    {
        for (size_t i = 0; i < values_.size(); ++i)
            values_[i] += perSample * static_cast<double>(i);
        return *this;
    }

    SyntheticSignal& noise(double amplitude, unsigned seed = 7)
    {
        std::mt19937 gen(seed);
        std::normal_distribution<double> d(0.0, amplitude);
        for (double& v : values_)
            v += d(gen);
        return *this;
    }

    std::vector<float> floats() const
    {
        std::vector<float> out;
        out.reserve(values_.size());
        for (double v : values_)
            out.push_back(static_cast<float>(v));
        return out;
    }

private:
    std::vector<double> values_;
};

// Gaussians (centre, height, sigma) on a flat level.
struct Gauss {
    double centre, height, sigma;
};
inline std::vector<float> gaussians(int samples, std::initializer_list<Gauss> peaks,
                                    float baseline = 0.0f)
{
    SyntheticSignal s(samples, baseline);
    for (const Gauss& g : peaks)
        s.gaussian(g.centre, g.height, g.sigma);
    return s.floats();
}

// A solvent peak whose tail is still falling when the data end, two small peaks riding on it.
inline std::vector<float> solventWithRiders()
{
    return SyntheticSignal(4000).tailing(200, 20000, 10, 3000).gaussian(700, 150, 8).gaussian(1100, 120, 8).floats();
}

// Parameters that make bunches plain to reason about: no doubling, no lock, bunches of
// `peakWidth` samples averaged over `smoothWidth`.
inline IntegrationParams plainParams(int peakWidth = 4, double slope = 10.0, int smoothWidth = 2)
{
    IntegrationParams p;
    p.peakWidth = peakWidth;
    p.slope = slope;
    p.smoothWidth = smoothWidth;
    p.judgeWidth = 16;
    p.timeDoubling = 0.0;
    p.lockTime = 0.0;
    p.minArea = 0.0;
    p.minHeight = 0.0;
    p.heightRatio = 100.0;
    p.riderRatio = 10.0;
    return p;
}

inline ChromatogramData chromatogramOf(const std::vector<float>& samples,
                                       const IntegrationParams& params, int pointsPerSecond = 20)
{
    ChromatogramData d;
    d.hasData = 1;
    d.pointsPerSecond = pointsPerSecond;
    d.method.integration = params;
    d.signal.assign(samples);
    return d;
}

}  // namespace dgaws::test
