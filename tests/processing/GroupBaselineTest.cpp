#include "EngineTestSupport.h"

#include "processing/PeakGrouping.h"

#include <gtest/gtest.h>

using namespace dgaws;
using namespace dgaws::test;
using namespace dgaws::PeakFlag;

namespace {

constexpr int kGroupSteps = EvaluateStep::Regroup | EvaluateStep::GroupBaselines;

// Two triangles on a flat level of 100, joined at sample 50 where the signal is `valley`.
std::vector<float> twoTriangles(float valley, float startLevel = 100.0f, float endLevel = 125.0f)
{
    std::vector<float> s(120, 100.0f);
    s[10] = startLevel;
    for (int i = 11; i < 50; ++i)
        s[static_cast<size_t>(i)] = 100.0f + 10.0f * static_cast<float>(20 - std::abs(i - 30));
    s[50] = valley;
    for (int i = 51; i < 90; ++i)
        s[static_cast<size_t>(i)] = 100.0f + 8.0f * static_cast<float>(20 - std::abs(i - 70));
    s[90] = endLevel;
    return s;
}

}  // namespace

TEST(GroupBaselines, RegroupCountsRunsOfValleyAndFixedEndRows)
{
    PeakTable t;
    for (int flags :
         {EndsInValley, StartsInValley | EndsInValley, StartsInValley, 0, FixedBaselineEnd, 0}) {
        PeakRecord p;
        p.typeFlags = flags;
        p.detectTag = 7;
        t.append(p);
    }
    PeakGrouping::regroup(t);
    EXPECT_EQ(t[0].detectTag, 3);
    EXPECT_EQ(t[1].detectTag, 0);
    EXPECT_EQ(t[2].detectTag, 7) << "the last row of a longer run keeps its value";
    EXPECT_EQ(t[3].detectTag, 1);
    EXPECT_EQ(t[4].detectTag, 2);
    EXPECT_EQ(t[5].detectTag, 7);
}

TEST(GroupBaselines, OneLineFromTheFirstStartToTheLastEndCutToWholeUnits)
{
    const auto s = twoTriangles(180.0f);
    auto d = tableOn(s, {rowOn(s, 10, 30, 50, EndsInValley), rowOn(s, 50, 70, 90, StartsInValley)});
    const PeakTable t = evaluated(d, kGroupSteps);
    // Slope 25 / 80 = 0.3125: at sample 50 the line rose 12.5, cut to 12.
    EXPECT_EQ(t[0].baselineStartValue, 100.0f);
    EXPECT_EQ(t[0].baselineEndValue, 112.0f);
    EXPECT_EQ(t[1].baselineStartIndex, 50);
    EXPECT_EQ(t[1].baselineStartValue, 112.0f);
    EXPECT_EQ(t[1].baselineEndValue, 125.0f) << "the line ends on its own end point";
}

TEST(GroupBaselines, ValleyBelowTheLineSplitsTheGroup)
{
    const auto s = twoTriangles(104.0f);
    auto d = tableOn(s, {rowOn(s, 10, 30, 50, EndsInValley), rowOn(s, 50, 70, 90, StartsInValley)});
    const PeakTable t = evaluated(d);
    for (const PeakRecord& p : t) {
        EXPECT_EQ(p.typeFlags, 0);
        EXPECT_EQ(p.detectTag, 1);
    }
    EXPECT_EQ(t[0].baselineEndValue, 104.0f);
    EXPECT_EQ(t[1].baselineStartValue, 104.0f);
}

TEST(GroupBaselines, SplitDrawsTheRowsBeforeItOnTheirOwnLineSoASecondPassAgrees)
{
    // Three rows: valley 1 lies above the full line but valley 2 lies below it.
    std::vector<float> s = gaussians(200, {{30, 50, 6}, {70, 50, 6}, {110, 50, 6}}, 100.0f);
    s[10] = 100.0f;
    s[50] = 130.0f;
    s[90] = 90.0f;
    s[140] = 160.0f;
    auto d = tableOn(s,
                     {rowOn(s, 10, 30, 50, EndsInValley),
                      rowOn(s, 50, 70, 90, StartsInValley | EndsInValley),
                      rowOn(s, 90, 110, 140, StartsInValley)});
    const PeakTable once = evaluated(d);
    EXPECT_EQ(once[1].typeFlags, StartsInValley);
    EXPECT_EQ(once[2].typeFlags, 0);
    EXPECT_EQ(once[0].detectTag, 2);
    EXPECT_EQ(once[1].baselineEndValue, 90.0f);
    // The first two rows share the line from 100 at sample 10 to 90 at sample 90.
    EXPECT_EQ(once[0].baselineEndValue, 100.0f + std::trunc(40 * (-10.0 / 80)));
    EXPECT_EQ(once[2].baselineStartValue, once[2].startValue);

    d.peaks = once;
    EXPECT_EQ(evaluated(d), once);
}

TEST(GroupBaselines, BaselineNeverStartsAboveTheSignal)
{
    const auto s = twoTriangles(180.0f, 90.0f, 110.0f);
    PeakRecord a = rowOn(s, 10, 30, 50, EndsInValley);
    a.baselineStartValue = 130.0f;
    auto d = tableOn(s, {a, rowOn(s, 50, 70, 90, StartsInValley)});
    const PeakTable t = evaluated(d, kGroupSteps);
    EXPECT_EQ(t[0].baselineStartValue, 90.0f);
    EXPECT_EQ(t[1].baselineEndValue, 110.0f);
    EXPECT_EQ(t[0].baselineEndValue, 90.0f + std::trunc(40 * (20.0 / 80)));
}

TEST(GroupBaselines, DetachCutsTheGroupAroundTheRow)
{
    const auto s = twoTriangles(180.0f);
    PeakTable t;
    t.append(rowOn(s, 10, 20, 30, EndsInValley));
    t.append(rowOn(s, 30, 40, 50, StartsInValley | EndsInValley));
    t.append(rowOn(s, 50, 70, 90, StartsInValley));
    t[0].detectTag = 3;
    t[1].baselineEndValue = 101.0f;
    t[2].baselineStartValue = 101.0f;
    PeakGrouping::detach(t, 1);
    for (const PeakRecord& p : t) {
        EXPECT_EQ(p.typeFlags, 0);
        EXPECT_EQ(p.baselineStartValue, p.startValue);
        EXPECT_EQ(p.baselineEndValue, p.endValue);
    }
    EXPECT_EQ(t[0].detectTag, 1);
    EXPECT_EQ(t[1].detectTag, 1);
}
