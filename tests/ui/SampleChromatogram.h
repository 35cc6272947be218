#pragma once

// A chromatogram of a transformer-oil sample made from known Gaussian peaks on a drifting,
// noisy baseline, with its peak table measured from the samples the way the records define
// area and height. The window's tests and the screenshot use it.

#include "../../tools/DemoGases.h"

#include "chromatogram/ChromatogramData.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace dgaws::sample {

struct SamplePeak {
    const char* name;
    double minutes;
    double heightMicrovolts;
    double sigmaSeconds;
};

inline const std::vector<SamplePeak>& samplePeaks()
{
    static const std::vector<SamplePeak> peaks = {
        {"H2(氢气)", 0.80, 120000, 2.0},     {"O2(氧气)", 1.30, 420000, 2.5},
        {"N2(氮气)", 1.90, 650000, 3.0},     {"CH4(甲烷)", 2.60, 90000, 3.0},
        {"CO(一氧化碳)", 3.30, 210000, 3.5}, {"CO2(二氧化碳)", 4.80, 300000, 4.5},
        {"C2H4(乙烯)", 6.00, 160000, 4.0},   {"C2H6(乙烷)", 6.80, 60000, 4.5},
        {"C2H2(乙炔)", 8.20, 45000, 5.0}};
    return peaks;
}

inline ChromatogramData makeSampleChromatogram(int pointsPerSecond = 20, double minutes = 10.0)
{
    ChromatogramData d;
    d.pointsPerSecond = pointsPerSecond;
    d.hasData = 1;
    d.method.timeEnd = minutes;
    d.method.levelMin = -50.0;
    d.method.levelMax = 700.0;
    d.method.name = "QLDefault";
    d.methodName = "QLDefault";
    const int n = static_cast<int>(pointsPerSecond * minutes * 60);
    std::vector<float> v(static_cast<size_t>(n));
    uint32_t lcg = 12345;
    for (int i = 0; i < n; ++i) {
        const double t = i / double(pointsPerSecond) / 60.0;
        lcg = lcg * 1664525u + 1013904223u;
        double s = 2000.0 + 800.0 * t + ((lcg >> 8) % 1000) * 0.6;
        for (const auto& p : samplePeaks()) {
            const double dt = (t - p.minutes) * 60.0 / p.sigmaSeconds;
            s += p.heightMicrovolts * std::exp(-0.5 * dt * dt);
        }
        v[static_cast<size_t>(i)] = static_cast<float>(s);
    }
    d.signal.assign(v);
    d.scanExtrema(-2000000.0f, 2000000.0f);

    double total = 0.0;
    int number = 1;
    for (const auto& sp : samplePeaks()) {
        PeakRecord p;
        p.number = number++;
        p.apexIndex = d.timeToIndex(sp.minutes);
        p.retentionTime = sp.minutes;
        const int half = static_cast<int>(4 * sp.sigmaSeconds * pointsPerSecond);
        p.startIndex = p.baselineStartIndex = p.apexIndex - half;
        p.endIndex = p.baselineEndIndex = p.apexIndex + half;
        p.startValue = p.baselineStartValue = d.signal.at(p.startIndex);
        p.endValue = p.baselineEndValue = d.signal.at(p.endIndex);
        p.apexValue = d.signal.at(p.apexIndex);
        double sum = 0.0;
        for (int i = p.baselineStartIndex + 1; i < p.baselineEndIndex; ++i)
            sum += d.signal.at(i);
        sum -= (p.baselineStartValue + p.baselineEndValue) / 2.0 *
            (p.baselineEndIndex - p.baselineStartIndex);
        p.area = sum / pointsPerSecond;
        const double frac = double(p.apexIndex - p.baselineStartIndex) /
            (p.baselineEndIndex - p.baselineStartIndex);
        p.height = p.apexValue -
            (p.baselineStartValue + frac * (p.baselineEndValue - p.baselineStartValue));
        p.halfWidth = 2.3548 * sp.sigmaSeconds / 60.0;
        p.plates = 5.54 * std::pow(sp.minutes / p.halfWidth, 2);
        p.tailingFactor = 1.0;
        p.componentName = sp.name;
        p.componentIndex = p.number - 1;
        total += p.area;
        d.peaks.append(p);
        ComponentEntry c;
        c.index = p.componentIndex;
        c.name = sp.name;
        c.retentionTime = sp.minutes;
        c.timeWindow = 0.08;
        d.method.components.push_back(c);
    }
    for (auto& p : d.peaks) {
        p.areaPercent = p.area / total * 100.0;
        p.gasContent = p.area * 0.0004;
        p.oilContent = p.gasContent * 0.8;
    }
    return d;
}

// The nine gases where the default method expects them, shaped as the demonstration's
// standard gas, so each shipped curve quantifies its own channel's gases to the standard.
inline ChromatogramData demoGasChromatogram()
{
    ChromatogramData d;
    d.pointsPerSecond = 20;
    d.hasData = 1;
    std::vector<float> v(20 * 60 * 6);
    for (size_t i = 0; i < v.size(); ++i) {
        const double t = static_cast<double>(i) / 20.0 / 60.0;
        double s = 1000.0;
        for (const demo::DemoGas& g : demo::kGases) {
            const double z =
                (t - g.retentionTime) / (t < g.retentionTime ? g.sigma : g.sigma * g.tailing);
            s += g.height * std::exp(-0.5 * z * z);
        }
        v[i] = static_cast<float>(s);
    }
    d.signal.assign(v);
    d.scanExtrema(-2000000.0f, 2000000.0f);
    return d;
}

}  // namespace dgaws::sample
