#include "dga/DuvalTriangle.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dgaws;

namespace {

DuvalZone zoneOf(double ch4, double c2h4, double c2h2)
{
    return duvalZone(*duvalPoint(ch4, c2h4, c2h2));
}

}  // namespace

TEST(DuvalTriangle, EachZoneIsFoundOnBothSidesOfItsLimits)
{
    // Contents in uL/L whose shares fall just inside or outside a limit.
    EXPECT_EQ(zoneOf(98.0, 1.0, 1.0), DuvalZone::PD);
    EXPECT_EQ(zoneOf(97.0, 2.0, 1.0), DuvalZone::T1);
    EXPECT_EQ(zoneOf(81.0, 19.0, 0.0), DuvalZone::T1);
    EXPECT_EQ(zoneOf(80.0, 20.0, 0.0), DuvalZone::T2);
    EXPECT_EQ(zoneOf(50.5, 49.5, 0.0), DuvalZone::T2);
    EXPECT_EQ(zoneOf(46.0, 50.0, 4.0), DuvalZone::T3);
    EXPECT_EQ(zoneOf(35.0, 50.0, 15.0), DuvalZone::DT);
    EXPECT_EQ(zoneOf(86.0, 10.0, 4.0), DuvalZone::DT);  // 4 % acetylene leaves T1
    EXPECT_EQ(zoneOf(65.0, 22.0, 13.0), DuvalZone::D1);
    EXPECT_EQ(zoneOf(64.0, 23.0, 13.0), DuvalZone::D2);
    EXPECT_EQ(zoneOf(40.0, 45.0, 15.0), DuvalZone::DT);  // beyond 40 % ethylene D2 needs 29 %
    EXPECT_EQ(zoneOf(20.0, 45.0, 35.0), DuvalZone::D2);
    EXPECT_EQ(zoneOf(31.0, 40.0, 29.0), DuvalZone::D2);  // 29 % acetylene itself is D2
    EXPECT_EQ(zoneOf(0.0, 10.0, 90.0), DuvalZone::D1);
}

TEST(DuvalTriangle, SharesAddUpAndOnlyRealGasesArePlaced)
{
    // The gases of an arc in oil: much acetylene, some ethylene.
    const auto p = duvalPoint(60.0, 40.0, 70.0);
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->ch4 + p->c2h4 + p->c2h2, 100.0, 1e-12);
    EXPECT_EQ(duvalZone(*p), DuvalZone::D2);
    EXPECT_STREQ(duvalZoneCode(DuvalZone::D2), "D2");
    // No gas, or nonsense, has no place.
    EXPECT_FALSE(duvalPoint(0.0, 0.0, 0.0));
    EXPECT_FALSE(duvalPoint(-1.0, 2.0, 3.0));
    EXPECT_FALSE(duvalPoint(std::nan(""), 2.0, 3.0));
}
