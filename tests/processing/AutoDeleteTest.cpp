#include "EngineTestSupport.h"

#include <gtest/gtest.h>

using namespace dgaws;
using namespace dgaws::test;
using namespace dgaws::PeakFlag;

TEST(AutoDelete, ExcludedPeaksAreDeletedOnlyWhenTheSettingAsks)
{
    const auto s = SyntheticSignal(2000).gaussian(300, 800, 15).gaussian(900, 60, 15).gaussian(1500, 500, 15).floats();
    IntegrationParams p = plainParams();
    p.minHeight = 100.0;
    auto keep = chromatogramOf(s, p);
    const PeakTable kept = detect(keep, {1, 0});
    ASSERT_EQ(kept.size(), 3);
    EXPECT_EQ(kept[1].excluded, 1);

    auto drop = chromatogramOf(s, p);
    const PeakTable t = detect(drop, {1, 1});
    ASSERT_EQ(t.size(), 2);
    EXPECT_EQ(t[0].apexIndex, kept[0].apexIndex);
    EXPECT_EQ(t[1].apexIndex, kept[2].apexIndex);
    EXPECT_EQ(t[1].number, 2);
    EXPECT_DOUBLE_EQ(t[0].areaPercent + t[1].areaPercent, 100.0);
}

TEST(AutoDelete, DeletingTheMiddleOfAGroupLeavesIndependentNeighbours)
{
    const auto s = SyntheticSignal(900).gaussian(150, 500, 15).gaussian(220, 250, 15).gaussian(290, 400, 15).floats();
    auto probe = chromatogramOf(s, plainParams());
    const PeakTable all = detect(probe);
    ASSERT_EQ(all.size(), 3);
    ASSERT_EQ(all[1].typeFlags, StartsInValley | EndsInValley);

    IntegrationParams p = plainParams();
    p.minHeight = all[1].height;
    ASSERT_LT(all[1].height, all[0].height);
    ASSERT_LT(all[1].height, all[2].height);
    auto d = chromatogramOf(s, p);
    const PeakTable t = detect(d, {1, 1});
    ASSERT_EQ(t.size(), 2);
    EXPECT_EQ(t[0].typeFlags, 0);
    EXPECT_EQ(t[1].typeFlags, 0);
    EXPECT_EQ(t[0].baselineEndValue, t[0].endValue);
    EXPECT_EQ(t[1].baselineStartValue, t[1].startValue);
    EXPECT_EQ(t[0].endIndex, all[0].endIndex);
    EXPECT_EQ(t[1].startIndex, all[2].startIndex);
}

TEST(AutoDelete, InsertAndDeleteKeepTheTableInOrderAndEvaluated)
{
    const auto s = SyntheticSignal(2000).gaussian(300, 800, 15).gaussian(1500, 500, 15).floats();
    auto d = chromatogramOf(s, plainParams());
    PeakEngine e(d);
    e.setSettings({1, 0});
    e.RunDetection();
    ASSERT_EQ(d.peaks.size(), 2);
    e.InsertPeak(rowOn(s, 900, 950, 1000));
    ASSERT_EQ(d.peaks.size(), 3);
    EXPECT_EQ(d.peaks[1].startIndex, 900);
    EXPECT_EQ(d.peaks[1].number, 2);
    EXPECT_EQ(d.peaks[2].number, 3);

    e.DeletePeaksCrossing(800, 1100);
    EXPECT_EQ(d.peaks.size(), 2);
    EXPECT_TRUE(e.DeletePeak(0));
    ASSERT_EQ(d.peaks.size(), 1);
    EXPECT_EQ(d.peaks[0].number, 1);
    EXPECT_DOUBLE_EQ(d.peaks[0].areaPercent, 100.0);
}
