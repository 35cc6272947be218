#pragma once

#include "KeyGases.h"

#include <optional>
#include <string_view>

namespace dgaws {

// The ratios of the ratio methods, each computed by tableRatio.
struct IecRatios {
    double c2h2c2h4 = 0.0;
    double ch4h2 = 0.0;
    double c2h4c2h6 = 0.0;
};
IecRatios iecRatios(const KeyGases& g);

// IEC 60599:2015, Table 1 (the basic gas ratios): "PD", "D1", "D2", "T1", "T2", "T3", or
// "ND" when the ratios fall in no row. None when the gases are all zero or any is missing.
std::optional<std::string_view> iec60599Zone(const KeyGases& g);

// Rogers ratios as IEEE C57.104-1991 tabulates them (cases 0 to 5): "N" (normal ageing),
// "PD", "D2" (arcing), "T1" (low-temperature thermal), "T2" (below 700 °C), "T3" (above
// 700 °C), or "ND".
std::optional<std::string_view> rogersZone(const KeyGases& g);

// Doernenburg ratios as IEEE C57.104-1991 tabulates them.
struct DoernenburgRatios {
    double ch4h2 = 0.0;     // R1
    double c2h2c2h4 = 0.0;  // R2
    double c2h2ch4 = 0.0;   // R3
    double c2h6c2h2 = 0.0;  // R4
};
DoernenburgRatios doernenburgRatios(const KeyGases& g);

// "T" (thermal decomposition), "PD" (low-intensity partial discharge), "D" (arcing), or
// "ND". None below the guide's L1 levels, where it declares the ratios not significant,
// and when the gases are all zero or any is missing.
std::optional<std::string_view> doernenburgZone(const KeyGases& g);

}  // namespace dgaws
