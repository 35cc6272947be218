#pragma once

#include "chromatogram/ChromatogramData.h"

namespace dgaws {

// The graph's axis spans as the method stores them: minutes across, millivolts up.
struct DisplayRange {
    double timeStart = 0.0;
    double timeEnd = 10.0;
    double levelMin = -200.0;
    double levelMax = 1000.0;

    static DisplayRange of(const AnalysisMethod& method);
    void applyTo(AnalysisMethod& method) const;

    // The whole signal: 0 to count / 600 minutes and the extrema in millivolts, as the
    // signal commands leave it after changing the samples.
    static DisplayRange fitted(const ChromatogramData& data);

    // The noise close-up around the newest sample: five minutes either side of it (never
    // before 0) and 10 uV above and below its value.
    static DisplayRange noiseCloseUp(const ChromatogramData& data, int newestIndex);

    bool operator==(const DisplayRange&) const = default;
};

}  // namespace dgaws
