#pragma once

#include "DuvalTriangle.h"
#include "KeyGases.h"

#include <optional>
#include <string_view>

namespace dgaws {

// Shares in percent of three gases that add to 100, in the order the triangle names them.
struct TernaryPoint {
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
};

// None when the gases are all zero or any is missing.
std::optional<TernaryPoint> ternaryPoint(double a, double b, double c);

// Triangles 4 and 5 refine what Triangle 1 finds (M. Duval, "The Duval Triangle for load tap
// changers, non-mineral oils and low temperature faults in transformers", IEEE Electrical
// Insulation Magazine 24(6), 2008): Triangle 4 only after PD, T1 or T2 in Triangle 1,
// Triangle 5 only after T2 or T3.
bool triangle4Applies(DuvalZone triangle1);
bool triangle5Applies(DuvalZone triangle1);

// Triangle 4, shares of H2, CH4, C2H6: "PD", "S" (stray gassing below 200 °C), "C" (hot
// spot with carbonisation of paper), "O" (overheating below 250 °C) or "ND".
std::string_view duvalTriangle4Zone(const TernaryPoint& h2Ch4C2h6);

// Triangle 5, shares of CH4, C2H4, C2H6: "PD", "S", "O", "C", "T2", "T3" or "ND".
std::string_view duvalTriangle5Zone(const TernaryPoint& ch4C2h4C2h6);

// The zone of each triangle for a test, none where the gases are absent or Triangle 1 does
// not call for it.
std::optional<std::string_view> duvalTriangle4(const KeyGases& g);
std::optional<std::string_view> duvalTriangle5(const KeyGases& g);

}  // namespace dgaws
