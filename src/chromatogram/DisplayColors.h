#pragma once

#include "RecordFields.h"

#include <cstdint>

namespace dgaws {

// Colours are Windows colour values 0x00BBGGRR, as stored.
struct DisplayColors {
    int32_t rulerColor = 0x000000;
    int32_t rulerBackColor = 0xFFFFFF;
    int32_t baselineColor = 0x000080;
    int32_t peakInfoColor = 0x000000;
    int32_t peakMarkColor = 0xFF8080;
    int32_t selectedPeakColor = 0x00C000;
    int32_t traceColor = 0x000000;
    int32_t backgroundColor = 0xFFFFFF;

    bool operator==(const DisplayColors&) const = default;
};

template <class V> void visitFields(V& v, Record<DisplayColors>)
{
    using C = DisplayColors;
    v.field("rulerColor", &C::rulerColor);
    if (v.format() >= Format::RulerBackColor)
        v.field("rulerBackColor", &C::rulerBackColor);
    v.field("baselineColor", &C::baselineColor);
    v.field("peakInfoColor", &C::peakInfoColor);
    v.field("peakMarkColor", &C::peakMarkColor);
    v.field("selectedPeakColor", &C::selectedPeakColor);
    v.field("traceColor", &C::traceColor);
    v.field("backgroundColor", &C::backgroundColor);
}

}  // namespace dgaws
