#pragma once

#include "FormatVersion.h"

#include <cstdint>

namespace dgaws {

// Colours are Windows colour values 0x00BBGGRR, as stored.
struct DisplayColors {
    FormatVersion version;
    int32_t rulerColor = 0x000000;
    int32_t rulerBackColor = 0xFFFFFF;
    int32_t baselineColor = 0x000080;
    int32_t peakInfoColor = 0x000000;
    int32_t peakMarkColor = 0xFF8080;
    int32_t selectedPeakColor = 0x00C000;
    int32_t traceColor = 0x000000;
    int32_t backgroundColor = 0xFFFFFF;

    bool operator==(const DisplayColors& o) const
    {
        return rulerColor == o.rulerColor && rulerBackColor == o.rulerBackColor &&
               baselineColor == o.baselineColor && peakInfoColor == o.peakInfoColor &&
               peakMarkColor == o.peakMarkColor && selectedPeakColor == o.selectedPeakColor &&
               traceColor == o.traceColor && backgroundColor == o.backgroundColor;
    }
};

}  // namespace dgaws
