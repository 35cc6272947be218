#pragma once

#include "KeyGases.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace dgaws {

// The Duval Pentagons (M. Duval and L. Lamarre, "The Duval Pentagon - a new complementary
// tool for the interpretation of dissolved gas analysis in transformers", IEEE Electrical
// Insulation Magazine 30(6), 2014). The five gases sit on the axes of a regular pentagon,
// H2 at the top, then anticlockwise C2H6, CH4, C2H4 and C2H2, each at its relative
// percentage from the centre; the test is the centroid of the irregular pentagon they form.
struct PentagonPoint {
    double x = 0.0;
    double y = 0.0;
};

// Relative percentages in axis order H2, C2H6, CH4, C2H4, C2H2; they add to 100.
using PentagonShares = std::array<double, 5>;

std::optional<PentagonShares> pentagonShares(const KeyGases& g);

// The area centroid of the pentagon of the shares. With one gas alone the pentagon shrinks
// to a line; the point is then the limit of the centroid, a third of the way out its axis.
PentagonPoint pentagonCentroid(const PentagonShares& shares);

// A pentagon zone: its code and its corners in the diagram's coordinates.
struct PentagonZone {
    std::string_view code;
    std::span<const PentagonPoint> corners;
};

// The zones of Pentagon 1 (PD, D1, D2, T3, T2, T1, S) and Pentagon 2 (PD, D1, D2, T3-H, C,
// O, S); they tile the pentagon of radius 40 without overlap.
std::span<const PentagonZone> pentagon1Zones();
std::span<const PentagonZone> pentagon2Zones();

// The corner of an axis (0 H2 .. 4 C2H2) at a radius.
PentagonPoint pentagonAxisPoint(int axis, double radius);

// The zone holding a point; a point on an edge between two zones belongs to exactly one of
// them. "ND" outside every zone.
std::string_view pentagonZone(std::span<const PentagonZone> zones, PentagonPoint point);

std::optional<std::string_view> duvalPentagon1(const KeyGases& g);
std::optional<std::string_view> duvalPentagon2(const KeyGases& g);

}  // namespace dgaws
