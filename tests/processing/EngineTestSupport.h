#pragma once

// Chromatograms built in the tests: sums of peak shapes on a baseline, with optional
// drift and deterministic noise, so that every expectation can be reasoned from the shape;
// and the engine run on them as detection and editing run it.
#include "processing/PeakEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace dgaws::test {

class SyntheticSignal {
public:
    explicit SyntheticSignal(int samples, float baseline = 0.0f)
        : values_(static_cast<size_t>(samples), static_cast<double>(baseline))
    {}

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
    return SyntheticSignal(4000)
        .tailing(200, 20000, 10, 3000)
        .gaussian(700, 150, 8)
        .gaussian(1100, 120, 8)
        .floats();
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

// A signal made of straight segments from 0, given as pairs: each adds `count` samples
// changing by `step`.
inline std::vector<float> segments(std::initializer_list<float> countsAndSteps)
{
    std::vector<float> values;
    float level = 0.0f;
    for (auto it = countsAndSteps.begin(); it != countsAndSteps.end(); it += 2)
        for (int i = 0; i < static_cast<int>(*it); ++i)
            values.push_back(level += *(it + 1));
    return values;
}

inline TimeEvent timeEvent(double minutes, int type, int peakWidth = 4, double slope = 10.0)
{
    TimeEvent e;
    e.time = minutes;
    e.type = type;
    e.peakWidth = peakWidth;
    e.slope = slope;
    return e;
}

// A stored pass: detection, evaluation and, by default, no deletion of excluded peaks.
inline PeakTable detect(ChromatogramData& data, EngineSettings settings = {1, 0})
{
    PeakEngine engine(data);
    engine.setSettings(settings);
    engine.runDetection();
    return data.peaks;
}
inline PeakTable detect(ChromatogramData&& data, EngineSettings settings = {1, 0})
{
    return detect(data, settings);
}

// Plain parameters and a time program that is switched on.
inline ChromatogramData withProgram(const std::vector<float>& samples,
                                    std::vector<TimeEvent> program,
                                    IntegrationParams params = plainParams())
{
    ChromatogramData d = chromatogramOf(samples, params);
    d.method.timeProgramEnabled = 1;
    d.method.timeProgram = std::move(program);
    return d;
}

// A run as acquisition drives it: the signal sized for the run, every sample written and
// fed, the table evaluated after each; at the end the signal is cut to what was acquired.
inline PeakTable detectLive(const std::vector<float>& samples, const AnalysisMethod& method,
                            int pointsPerSecond, int runSamples, EngineSettings settings = {1, 0})
{
    ChromatogramData live;
    live.method = method;
    live.resetForRun(runSamples, pointsPerSecond);
    PeakEngine engine(live);
    engine.setSettings(settings);
    engine.resetPass();
    for (size_t i = 0; i < samples.size(); ++i) {
        live.signal.set(static_cast<int>(i), samples[i]);
        engine.feedSample(samples[i]);
        engine.evaluate(EvaluateStep::All);
    }
    live.signal.resize(static_cast<int>(samples.size()));
    engine.finishPass();
    engine.evaluate(EvaluateStep::All);
    return live.peaks;
}

// The stored area rule, written out independently: from the baseline start (b0, v0) to its
// end (b1, v1), the first sample after b0 counts twice.
inline double rawArea(const std::vector<float>& s, int b0, int b1, double v0, double v1)
{
    double sum = s[static_cast<size_t>(b0) + 1];
    for (int k = b0 + 1; k < b1 && k < static_cast<int>(s.size()); ++k)
        sum += s[static_cast<size_t>(k)];
    return (sum - (b1 - b0) * (v0 + v1) * 0.5) / 20.0;
}
inline double rawArea(const std::vector<float>& s, const PeakRecord& p)
{
    return rawArea(s, p.baselineStartIndex, p.baselineEndIndex, p.baselineStartValue,
                   p.baselineEndValue);
}

inline void expectFinite(const PeakTable& table)
{
    for (const PeakRecord& p : table) {
        for (double v : {p.retentionTime, p.area, p.height, p.areaPercent, p.halfWidth,
                         p.tailingFactor, p.plates, p.resolution})
            EXPECT_TRUE(std::isfinite(v)) << "peak " << p.number;
        for (float v :
             {p.startValue, p.apexValue, p.endValue, p.baselineStartValue, p.baselineEndValue})
            EXPECT_TRUE(std::isfinite(v)) << "peak " << p.number;
    }
}

// A row as detection would leave it: values read from the signal, baseline from start to
// end.
inline PeakRecord rowOn(const std::vector<float>& s, int start, int apex, int end, int flags = 0,
                        int pointsPerSecond = 20)
{
    PeakRecord p;
    p.startIndex = p.baselineStartIndex = start;
    p.apexIndex = apex;
    p.endIndex = p.baselineEndIndex = end;
    p.startValue = p.baselineStartValue = s[static_cast<size_t>(start)];
    p.apexValue = s[static_cast<size_t>(apex)];
    p.endValue = p.baselineEndValue = s[static_cast<size_t>(end)];
    p.retentionTime = apex / static_cast<double>(pointsPerSecond) / 60.0;
    p.typeFlags = flags;
    return p;
}

// A table in one line, to compare whole: "start-apex-end" for each row, its type bits in
// hex when it has any, and its baseline points when they are not its own ends.
inline std::string outline(const PeakTable& table)
{
    std::ostringstream out;
    for (int i = 0; i < table.size(); ++i) {
        const PeakRecord& p = table[i];
        out << (i ? "; " : "") << p.startIndex << '-' << p.apexIndex << '-' << p.endIndex;
        if (p.typeFlags)
            out << " x" << std::hex << p.typeFlags << std::dec;
        if (p.baselineStartIndex != p.startIndex || p.baselineStartValue != p.startValue)
            out << " from " << p.baselineStartIndex << ':' << p.baselineStartValue;
        if (p.baselineEndIndex != p.endIndex || p.baselineEndValue != p.endValue)
            out << " to " << p.baselineEndIndex << ':' << p.baselineEndValue;
    }
    return out.str();
}

inline ChromatogramData tableOn(const std::vector<float>& s, const std::vector<PeakRecord>& rows,
                                IntegrationParams params = plainParams())
{
    ChromatogramData d = chromatogramOf(s, params);
    for (const PeakRecord& p : rows)
        d.peaks.append(p);
    return d;
}

inline PeakTable evaluated(ChromatogramData& d, int mask = EvaluateStep::All,
                           EngineSettings settings = {1, 0})
{
    PeakEngine e(d);
    e.setSettings(settings);
    e.evaluate(mask);
    return d.peaks;
}

}  // namespace dgaws::test
