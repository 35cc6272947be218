#pragma once

#include "app/CChrEDoc.h"

#include <cmath>
#include <vector>

namespace dgaws::test {

// A finished chromatogram read from a file: two well-parted Gaussian peaks at samples 800
// and 2000 on a flat baseline.
inline void loadTwoPeaks(CChrEDoc& doc)
{
    std::vector<float> s(3000, 40.0f);
    for (int i = 0; i < 3000; ++i)
        for (double c : {800.0, 2000.0}) {
            const double x = (i - c) / 30.0;
            s[static_cast<size_t>(i)] += static_cast<float>(700.0 * std::exp(-0.5 * x * x));
        }
    doc.data.signal.assign(s);
    doc.data.hasData = 1;
    doc.state = CChrEDoc::FromFile;
}

}  // namespace dgaws::test
