#pragma once

#include "chromatogram/ChromatogramData.h"

#include <optional>

namespace dgaws {

// The Duval Triangle 1 interpretation of dissolved gases: the shares of methane, ethylene
// and acetylene in their sum place a test in one fault zone. Beside the three-ratio code it
// names the fault of far more inspected cases, because every test falls in some zone.
enum class DuvalZone { PD, T1, T2, T3, D1, D2, DT };

// Shares in percent of CH4 + C2H4 + C2H2; they add to 100.
struct DuvalPoint {
    double ch4 = 0.0;
    double c2h4 = 0.0;
    double c2h2 = 0.0;
};

// None when the three gases sum to nothing (or a content is negative or not a number):
// such a test has no place in the triangle.
std::optional<DuvalPoint> duvalPoint(double ch4, double c2h4, double c2h2);
std::optional<DuvalPoint> duvalPoint(const ChromatogramData& data);

// The zone of a point, by the zone limits of the triangle: PD from 98 % CH4; D1 below 23 %
// C2H4 from 13 % C2H2; D2 from 23 % C2H4 and 13 % C2H2 up to 40 % C2H4, beyond it from
// 29 % C2H2; T1 below 20 % C2H4 and 4 % C2H2; T2 from 20 % to 50 % C2H4 below 4 % C2H2;
// T3 from 50 % C2H4 below 15 % C2H2; DT everything else.
DuvalZone duvalZone(const DuvalPoint& point);

// "PD", "T1", ... and the fault in words, in Chinese or English.
const char* duvalZoneCode(DuvalZone zone);
const char* duvalZoneName(DuvalZone zone, bool english = false);

}  // namespace dgaws
