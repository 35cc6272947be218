#pragma once

#include "app/CChrEDoc.h"

#include <array>
#include <cmath>
#include <vector>

namespace dgaws::test {

// Gaussians {centre sample, height, deviation} on a flat level.
inline std::vector<float> gaussians(int samples, const std::vector<std::array<double, 3>>& peaks,
                                    float level = 100.0f)
{
    std::vector<float> s(static_cast<size_t>(samples), level);
    for (int i = 0; i < samples; ++i)
        for (const auto& p : peaks) {
            const double x = (i - p[0]) / p[2];
            s[static_cast<size_t>(i)] += static_cast<float>(p[1] * std::exp(-0.5 * x * x));
        }
    return s;
}

// A finished chromatogram read from a file (20 points per second): by default two well-parted
// Gaussian peaks at samples 800 and 2000 on a flat baseline.
inline void loadTwoPeaks(CChrEDoc& doc,
                         std::vector<std::array<double, 3>> peaks = {{800, 700, 30},
                                                                     {2000, 700, 30}},
                         int samples = 3000)
{
    doc.data.signal.assign(gaussians(samples, peaks, 40.0f));
    doc.data.hasData = 1;
    doc.state = CChrEDoc::FromFile;
}

}  // namespace dgaws::test
