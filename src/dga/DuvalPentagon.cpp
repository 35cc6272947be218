#include "DuvalPentagon.h"

#include <cmath>
#include <numbers>

namespace dgaws {
namespace {

using P = PentagonPoint;

// Zone corners of the two pentagons as Duval and Lamarre give them (2014 for Pentagon 1;
// Pentagon 2 keeps its discharge zones and S and divides the thermal part into T3-H, C and
// O).
constexpr P kPd[] = {{0, 33}, {-1, 33}, {-1, 24.5}, {0, 24.5}};
constexpr P kD1[] = {{0, 40}, {38, 12}, {32, -6.1}, {4, 16}, {0, 1.5}};
constexpr P kD2[] = {{4, 16}, {32, -6.1}, {24.3, -30}, {0, -3}, {0, 1.5}};
constexpr P kT3[] = {{0, -3}, {24.3, -30}, {23.5, -32.4}, {1, -32.4}, {-6, -4}};
constexpr P kT2[] = {{-6, -4}, {1, -32.4}, {-22.5, -32.4}};
constexpr P kT1[] = {{-6, -4}, {-22.5, -32.4}, {-23.5, -32.4}, {-35, 3.1}, {0, 1.5}, {0, -3}};
constexpr P kS[] = {{0, 1.5}, {-35, 3.1}, {-38, 12.4}, {0, 40},
                    {0, 33},  {-1, 33},   {-1, 24.5},  {0, 24.5}};
constexpr P kC[] = {{-6, -4}, {1, -32.4}, {-22.5, -32.4}, {-11, -8}};
constexpr P kO[] = {{-11, -8}, {-22.5, -32.4}, {-23.5, -32.4}, {-35, 3.1},
                    {0, 1.5},  {0, -3},        {-6, -4}};

constexpr PentagonZone kPentagon1[] = {{"PD", kPd}, {"D1", kD1}, {"D2", kD2}, {"T3", kT3},
                                       {"T2", kT2}, {"T1", kT1}, {"S", kS}};
constexpr PentagonZone kPentagon2[] = {{"PD", kPd}, {"D1", kD1}, {"D2", kD2}, {"T3-H", kT3},
                                       {"C", kC},   {"O", kO},   {"S", kS}};

// Crossing test with half-open edges, so that zones sharing an edge never both claim a point.
bool inside(std::span<const P> polygon, P q)
{
    bool in = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const P a = polygon[i], b = polygon[j];
        if ((a.y > q.y) != (b.y > q.y) && q.x < (b.x - a.x) * (q.y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}

std::optional<std::string_view> zoneOf(const KeyGases& g, std::span<const PentagonZone> zones)
{
    const auto shares = pentagonShares(g);
    if (!shares)
        return std::nullopt;
    return pentagonZone(zones, pentagonCentroid(*shares));
}

}  // namespace

std::optional<PentagonShares> pentagonShares(const KeyGases& g)
{
    if (!interpretable(g.h2, g.c2h6, g.ch4, g.c2h4, g.c2h2))
        return std::nullopt;
    const double sum = g.h2 + g.c2h6 + g.ch4 + g.c2h4 + g.c2h2;
    return PentagonShares{100 * g.h2 / sum, 100 * g.c2h6 / sum, 100 * g.ch4 / sum,
                          100 * g.c2h4 / sum, 100 * g.c2h2 / sum};
}

PentagonPoint pentagonAxisPoint(int axis, double radius)
{
    const double angle = (90.0 + 72.0 * axis) * std::numbers::pi / 180.0;
    return {radius * std::cos(angle), radius * std::sin(angle)};
}

PentagonPoint pentagonCentroid(const PentagonShares& shares)
{
    std::array<P, 5> v{};
    int present = 0;
    for (int i = 0; i < 5; ++i) {
        v[i] = pentagonAxisPoint(i, shares[i]);
        present += shares[i] > 0.0;
    }
    if (present == 1)
        for (int i = 0; i < 5; ++i)
            if (shares[i] > 0.0)
                return {v[i].x / 3.0, v[i].y / 3.0};
    double area = 0.0, cx = 0.0, cy = 0.0;
    for (int i = 0; i < 5; ++i) {
        const P a = v[i], b = v[(i + 1) % 5];
        const double cross = a.x * b.y - b.x * a.y;
        area += cross;
        cx += (a.x + b.x) * cross;
        cy += (a.y + b.y) * cross;
    }
    area /= 2.0;
    return {cx / (6.0 * area), cy / (6.0 * area)};
}

std::span<const PentagonZone> pentagon1Zones()
{
    return kPentagon1;
}

std::span<const PentagonZone> pentagon2Zones()
{
    return kPentagon2;
}

std::string_view pentagonZone(std::span<const PentagonZone> zones, PentagonPoint point)
{
    for (const PentagonZone& z : zones)
        if (inside(z.corners, point))
            return z.code;
    return "ND";
}

std::optional<std::string_view> duvalPentagon1(const KeyGases& g)
{
    return zoneOf(g, kPentagon1);
}

std::optional<std::string_view> duvalPentagon2(const KeyGases& g)
{
    return zoneOf(g, kPentagon2);
}

}  // namespace dgaws
