#include "dga/DuvalLowTemperature.h"
#include "dga/DuvalPentagon.h"
#include "dga/Interpretations.h"
#include "dga/RatioMethods.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <optional>
#include <span>
#include <string>

using namespace dgaws;

namespace {

using Method = std::function<std::optional<std::string_view>(const KeyGases&)>;

// One test of one method: the contents in uL/L and the zone expected, "-" for none.
struct ZoneCase {
    const char* name;
    Method method;
    KeyGases gases;  // H2, CH4, C2H6, C2H4, C2H2
    const char* zone;
};

std::ostream& operator<<(std::ostream& os, const ZoneCase& c)
{
    return os << c.name;
}

class InterpretationZone : public testing::TestWithParam<ZoneCase> {};

TEST_P(InterpretationZone, IsThePublishedOne)
{
    const ZoneCase& c = GetParam();
    const auto zone = c.method(c.gases);
    EXPECT_EQ(zone ? std::string(*zone) : std::string("-"), c.zone) << c.name;
}

const double nan = kMissingGas;

// Ratios just inside and just outside the limits of each row, the rows' overlaps and the
// gases that leave a method nothing to read.
INSTANTIATE_TEST_SUITE_P(
    RatioMethods, InterpretationZone,
    testing::Values(
        // IEC 60599: CH4/H2 and C2H4/C2H6 below 0.1 and 0.2 is PD; 0.1 itself is not.
        ZoneCase{"iec PD", iec60599Zone, {100, 5, 10, 1, 0}, "PD"},
        ZoneCase{"iec PD limit", iec60599Zone, {100, 10, 10, 1, 0}, "ND"},
        ZoneCase{"iec D1", iec60599Zone, {100, 30, 5, 10, 30}, "D1"},
        ZoneCase{"iec D1 CH4/H2 0.5", iec60599Zone, {100, 50, 5, 10, 30}, "D1"},
        ZoneCase{"iec D1 CH4/H2 0.51", iec60599Zone, {100, 51, 5, 10, 30}, "ND"},
        // C2H2/C2H4 1 is not above 1: D2; just above it D1 wins the overlap.
        ZoneCase{"iec D2", iec60599Zone, {100, 50, 5, 20, 20}, "D2"},
        ZoneCase{"iec D1 over D2", iec60599Zone, {100, 50, 5, 20, 21}, "D1"},
        ZoneCase{"iec T1", iec60599Zone, {10, 50, 40, 20, 0}, "T1"},
        ZoneCase{"iec T2 from C2H4/C2H6 1", iec60599Zone, {10, 50, 20, 20, 0}, "T2"},
        ZoneCase{"iec T2 at 4", iec60599Zone, {10, 50, 10, 40, 1}, "T2"},
        ZoneCase{"iec T3 above 4", iec60599Zone, {10, 50, 10, 41, 1}, "T3"},
        ZoneCase{"iec T3 C2H2/C2H4 0.19", iec60599Zone, {10, 50, 10, 100, 19}, "T3"},
        ZoneCase{"iec T2 CH4/H2 1.5", iec60599Zone, {100, 150, 20, 30, 0}, "T2"},
        ZoneCase{"iec C2H2/C2H4 0.3 is no T3", iec60599Zone, {10, 50, 10, 50, 15}, "ND"},
        ZoneCase{"iec CH4/H2 0.5 is no T3", iec60599Zone, {100, 50, 10, 50, 1}, "ND"},
        ZoneCase{"iec no hydrogen is CH4/H2 infinite", iec60599Zone, {0, 50, 10, 100, 1}, "T3"},
        ZoneCase{"iec all zero", iec60599Zone, {0, 0, 0, 0, 0}, "-"},
        ZoneCase{"iec missing", iec60599Zone, {100, nan, 10, 1, 0}, "-"},
        // Rogers: its open and closed ranges, and CH4/H2 exactly 1 in no row.
        ZoneCase{"rogers normal", rogersZone, {100, 50, 20, 10, 0}, "N"},
        ZoneCase{"rogers PD", rogersZone, {100, 5, 10, 5, 0}, "PD"},
        ZoneCase{"rogers arcing", rogersZone, {100, 50, 5, 20, 10}, "D2"},
        ZoneCase{"rogers arcing needs above 3", rogersZone, {100, 50, 5, 15, 10}, "ND"},
        ZoneCase{"rogers arcing needs CH4/H2 to 1", rogersZone, {100, 150, 5, 20, 10}, "ND"},
        ZoneCase{"rogers T1", rogersZone, {100, 50, 10, 20, 0}, "T1"},
        ZoneCase{"rogers T2", rogersZone, {100, 200, 10, 20, 0}, "T2"},
        ZoneCase{"rogers T3", rogersZone, {100, 200, 10, 40, 0}, "T3"},
        ZoneCase{"rogers CH4/H2 1", rogersZone, {100, 100, 10, 20, 0}, "ND"},
        ZoneCase{"rogers CH4/H2 1.5, little ethylene", rogersZone, {100, 150, 20, 10, 0}, "ND"},
        ZoneCase{"rogers C2H4/C2H6 1 is no PD", rogersZone, {100, 5, 10, 10, 0}, "ND"},
        ZoneCase{"rogers CH4/H2 0.1 is no PD", rogersZone, {100, 10, 10, 5, 0}, "ND"},
        ZoneCase{"rogers C2H4/C2H6 1.5 is T1", rogersZone, {100, 50, 20, 30, 0}, "T1"},
        ZoneCase{"rogers all zero", rogersZone, {0, 0, 0, 0, 0}, "-"},
        // Doernenburg: only above the L1 levels, then its three rows.
        ZoneCase{"doernenburg thermal", doernenburgZone, {150, 300, 100, 100, 1}, "T"},
        ZoneCase{"doernenburg arcing", doernenburgZone, {500, 200, 20, 100, 150}, "D"},
        ZoneCase{"doernenburg PD", doernenburgZone, {2000, 130, 70, 60, 0}, "PD"},
        ZoneCase{"doernenburg R3 not significant", doernenburgZone, {2000, 100, 70, 60, 0}, "-"},
        ZoneCase{"doernenburg below L1", doernenburgZone, {150, 100, 50, 40, 1}, "-"},
        ZoneCase{"doernenburg R4 0.4", doernenburgZone, {500, 200, 40, 100, 100}, "ND"},
        ZoneCase{"doernenburg R2 0.75", doernenburgZone, {150, 300, 100, 100, 75}, "ND"},
        ZoneCase{"doernenburg R3 0.3", doernenburgZone, {150, 200, 100, 110, 60}, "ND"}));

INSTANTIATE_TEST_SUITE_P(
    DuvalTriangles, InterpretationZone,
    testing::Values(
        // Triangle 4 after a T1 of Triangle 1 (CH4 90 %, C2H4 10 %).
        ZoneCase{"triangle 4 stray gassing", duvalTriangle4, {100, 90, 10, 10, 0}, "S"},
        ZoneCase{"triangle 4 overheating", duvalTriangle4, {10, 50, 140, 10, 0}, "O"},
        ZoneCase{"triangle 4 carbonisation", duvalTriangle4, {10, 90, 50, 10, 0}, "C"},
        ZoneCase{"triangle 4 PD after PD", duvalTriangle4, {970, 25, 5, 0, 0}, "PD"},
        ZoneCase{"triangle 4 not after D1", duvalTriangle4, {100, 50, 10, 10, 40}, "-"},
        ZoneCase{"triangle 4 not after T3", duvalTriangle4, {100, 40, 10, 60, 0}, "-"},
        // Triangle 5 after T2 or T3 of Triangle 1.
        ZoneCase{"triangle 5 T3", duvalTriangle5, {0, 50, 10, 40, 0}, "T3"},
        ZoneCase{"triangle 5 T2", duvalTriangle5, {0, 70, 5, 25, 0}, "T2"},
        ZoneCase{"triangle 5 carbonisation", duvalTriangle5, {0, 60, 20, 20, 0}, "C"},
        ZoneCase{"triangle 5 not after T1", duvalTriangle5, {0, 90, 5, 5, 0}, "-"},
        ZoneCase{"triangle 5 all zero", duvalTriangle5, {0, 0, 0, 0, 0}, "-"}));

// Zone limits of Triangles 4 (H2, CH4, C2H6) and 5 (CH4, C2H4, C2H6) from both sides.
TEST(DuvalLowTemperature, ZoneLimitsFromBothSides)
{
    const struct {
        std::string_view (*zone)(const TernaryPoint&);
        TernaryPoint p;
        const char* expected;
    } cases[] = {
        {duvalTriangle4Zone, {97.0, 2.5, 0.5}, "PD"},
        {duvalTriangle4Zone, {98.5, 1.0, 0.5}, "ND"},
        {duvalTriangle4Zone, {84.6, 14.9, 0.5}, "PD"},
        {duvalTriangle4Zone, {84.5, 15.0, 0.5}, "ND"},
        {duvalTriangle4Zone, {97.0, 2.0, 1.0}, "S"},
        {duvalTriangle4Zone, {14.9, 40, 45.1}, "C"},
        {duvalTriangle4Zone, {15.0, 40, 45.0}, "S"},
        {duvalTriangle4Zone, {14.0, 36, 50}, "C"},
        {duvalTriangle4Zone, {14.0, 35.9, 50.1}, "O"},
        {duvalTriangle4Zone, {30, 24.1, 45.9}, "S"},
        {duvalTriangle5Zone, {90, 0.9, 9.1}, "PD"},
        {duvalTriangle5Zone, {89, 1.0, 10}, "S"},
        {duvalTriangle5Zone, {85.9, 0.1, 14.0}, "S"},
        {duvalTriangle5Zone, {98.5, 0.5, 1.0}, "O"},
        {duvalTriangle5Zone, {36.1, 9.9, 54}, "O"},
        {duvalTriangle5Zone, {36.1, 10.0, 53.9}, "ND"},
        {duvalTriangle5Zone, {55.1, 34.9, 10}, "T2"},
        {duvalTriangle5Zone, {55, 35, 10}, "T3"},
        {duvalTriangle5Zone, {60, 28, 12}, "C"},
        {duvalTriangle5Zone, {1, 70, 29}, "T3"},
        {duvalTriangle5Zone, {1.1, 69.9, 29}, "C"},
        {duvalTriangle5Zone, {30, 40, 30}, "ND"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.zone(c.p), c.expected) << c.p.a << " " << c.p.b << " " << c.p.c;
    // The shares the zones are read from are percentages of the three gases.
    const auto shares = ternaryPoint(1, 1, 2);
    ASSERT_TRUE(shares);
    EXPECT_DOUBLE_EQ(shares->a, 25.0);
    EXPECT_DOUBLE_EQ(shares->b, 25.0);
    EXPECT_DOUBLE_EQ(shares->c, 50.0);
}

TEST(DuvalPentagon, CentroidIsTheAreaCentroidOfTheGasPentagon)
{
    // H2 and C2H2 alone: the triangle of the centre and their two axis points.
    const PentagonPoint c = pentagonCentroid({50, 0, 0, 0, 50});
    const PentagonPoint h2 = pentagonAxisPoint(0, 50), c2h2 = pentagonAxisPoint(4, 50);
    EXPECT_NEAR(c.x, (h2.x + c2h2.x) / 3, 1e-9);
    EXPECT_NEAR(c.y, (h2.y + c2h2.y) / 3, 1e-9);
    EXPECT_NEAR(c2h2.x, 47.553, 1e-3);  // C2H2 lies 18 degrees above the right
    // One gas alone lies a third of the way out its axis, where its neighbours' traces
    // would take it.
    const PentagonPoint ch4 = pentagonCentroid({0, 0, 100, 0, 0});
    const PentagonPoint near = pentagonCentroid({0, 1e-6, 100 - 2e-6, 1e-6, 0});
    EXPECT_NEAR(ch4.x, near.x, 1e-4);
    EXPECT_NEAR(ch4.y, near.y, 1e-4);
    // Equal gases sit in the middle.
    const PentagonPoint mid = pentagonCentroid({20, 20, 20, 20, 20});
    EXPECT_NEAR(mid.x, 0.0, 1e-9);
    EXPECT_NEAR(mid.y, 0.0, 1e-9);
}

double area(std::span<const PentagonPoint> p)
{
    double a = 0;
    for (size_t i = 0; i < p.size(); ++i)
        a += p[i].x * p[(i + 1) % p.size()].y - p[(i + 1) % p.size()].x * p[i].y;
    return a / 2;
}

TEST(DuvalPentagon, ZonesTileThePentagonAndSplitTheirEdges)
{
    for (const auto zones : {pentagon1Zones(), pentagon2Zones()}) {
        double sum = 0;
        for (const PentagonZone& z : zones)
            sum += std::abs(area(z.corners));
        // The regular pentagon of radius 40; the zone corners round its own to 0.5.
        EXPECT_NEAR(sum, 2.5 * 1600 * std::sin(72 * std::numbers::pi / 180), 20.0);
        for (double r = 0.5; r < 32; r += 1.5)
            for (double a = 0; a < 360; a += 7)
                EXPECT_NE(pentagonZone(zones,
                                       {r * std::cos(a * std::numbers::pi / 180),
                                        r * std::sin(a * std::numbers::pi / 180)}),
                          "ND")
                    << r << " " << a;
    }
    const struct {
        PentagonPoint p;
        const char* one;
        const char* two;
    } sides[] = {
        {{-0.5, 30}, "PD", "PD"},   {{-1.1, 30}, "S", "S"},    {{0.1, 30}, "D1", "D1"},
        {{-9, -7}, "T1", "C"},      {{-9, -6}, "T1", "O"},     {{-6, -7}, "T2", "C"},
        {{-3, -3.6}, "T3", "T3-H"}, {{-3, -3.4}, "T1", "O"},   {{1, -3}, "D2", "D2"},
        {{3, 12}, "D2", "D2"},      {{3, 14}, "D1", "D1"},     {{-1, 1.8}, "S", "S"},
        {{-1, 1.4}, "T1", "O"},     {{20, -31}, "T3", "T3-H"}, {{25, -25}, "D2", "D2"},
        {{-0.5, 33.5}, "S", "S"},   {{-0.5, 24}, "S", "S"},    {{31, -10}, "ND", "ND"},
    };
    for (const auto& s : sides) {
        EXPECT_EQ(pentagonZone(pentagon1Zones(), s.p), s.one) << s.p.x << "," << s.p.y;
        EXPECT_EQ(pentagonZone(pentagon2Zones(), s.p), s.two) << s.p.x << "," << s.p.y;
    }
}

TEST(Interpretations, EveryMethodOnceAndNoneWithoutGas)
{
    // An arc in oil: much hydrogen and acetylene.
    const auto arc = interpretGases({200, 50, 10, 80, 150});
    ASSERT_EQ(arc.size(), 8u);
    const char* methods[] = {"iec60599",       "rogers",         "doernenburg",
                             "duvalTriangle1", "duvalTriangle4", "duvalTriangle5",
                             "duvalPentagon1", "duvalPentagon2"};
    for (size_t i = 0; i < arc.size(); ++i)
        EXPECT_EQ(arc[i].method, methods[i]);
    EXPECT_EQ(arc[0].zone, "D1");  // C2H2/C2H4 1.9, CH4/H2 0.25, C2H4/C2H6 8
    EXPECT_EQ(arc[3].zone, "D2");
    EXPECT_FALSE(arc[4].zone);  // Triangles 4 and 5 say nothing about a discharge
    EXPECT_FALSE(arc[5].zone);
    EXPECT_NEAR(*arc[0].used[0].second, 150.0 / 80.0, 1e-12);
    // No ethane: C2H6/C2H2 is 0, C2H4/C2H6 infinite and shown as none.
    const auto noEthane = interpretGases({200, 50, 0, 80, 150});
    EXPECT_FALSE(noEthane[0].used[2].second);
    EXPECT_EQ(noEthane[2].used[3].second, 0.0);
    for (const KeyGases& none : {KeyGases{0, 0, 0, 0, 0}, KeyGases{nan, nan, nan, nan, nan}})
        for (const Interpretation& i : interpretGases(none))
            EXPECT_FALSE(i.zone) << i.method;
}

}  // namespace
