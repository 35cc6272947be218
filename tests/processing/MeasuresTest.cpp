#include "EngineTestSupport.h"

#include "processing/PeakMeasures.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace dgaws;
using namespace dgaws::test;
using namespace dgaws::PeakFlag;

namespace {

std::vector<float> ramp(int n)
{
    std::vector<float> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        s[static_cast<size_t>(i)] = static_cast<float>(i);
    return s;
}

// A row on a rising signal with its own baseline values, measured only.
PeakTable measuredRow(int cacuFrequence, int pointsPerSecond = 20)
{
    const auto s = ramp(100);
    PeakRecord p = rowOn(s, 10, 15, 20, FixedBaselineStart | FixedBaselineEnd);
    p.baselineStartValue = 2.0f;
    p.baselineEndValue = 4.0f;
    p.apexValue = 50.0f;
    auto d = tableOn(s, {p});
    d.pointsPerSecond = pointsPerSecond;
    return evaluated(d, EvaluateStep::Measures, {cacuFrequence, 0});
}

}  // namespace

TEST(Measures, AreaCountsTheFirstSampleAfterTheBaselineStartTwice)
{
    // 11 + (11 + ... + 19) = 146 over ten values, less 10 x (2 + 4) / 2.
    const PeakTable t = measuredRow(1);
    EXPECT_DOUBLE_EQ(t[0].area, (146.0 - 30.0) / 20);
    // Baseline at the apex: 5 x 2 / 10 + 2 = 3.
    EXPECT_DOUBLE_EQ(t[0].height, 47.0);

    // The divisor is the chromatogram's own rate, whatever the setting; only a rate that
    // is not known falls back to CacuFrequence: 10, 20 or, for anything else, 50.
    const double twenty = t[0].area;
    for (int setting : {0, 2})
        EXPECT_DOUBLE_EQ(measuredRow(setting)[0].area, twenty) << setting;
    EXPECT_DOUBLE_EQ(measuredRow(1, 10)[0].area, twenty * 2.0);
    EXPECT_DOUBLE_EQ(measuredRow(1, 0)[0].area, twenty);
    EXPECT_DOUBLE_EQ(measuredRow(0, 0)[0].area, twenty * 2.0);
    for (int other : {2, 7, -1})
        EXPECT_DOUBLE_EQ(twenty, 2.5 * measuredRow(other, 0)[0].area) << other;
}

// Areas are in uV s: one peak sampled at 10, 20 and 50 points per second, between the
// same times, has one area under every setting.
TEST(Measures, TheSamePeakHasTheSameAreaAtEveryRate)
{
    const double height = 800.0, sigmaSeconds = 3.0;
    const double truth = height * sigmaSeconds * std::sqrt(2.0 * std::numbers::pi);
    for (int rate : {10, 20, 50}) {
        for (int setting : {0, 1, 2}) {
            const auto s = SyntheticSignal(240 * rate, 100.0f)
                               .gaussian(120.0 * rate, height, sigmaSeconds * rate)
                               .floats();
            // From 6 sigma before the apex to 6 sigma after it.
            auto d = tableOn(s, {rowOn(s, 102 * rate, 120 * rate, 138 * rate, 0, rate)});
            d.pointsPerSecond = rate;
            const PeakTable t = evaluated(d, EvaluateStep::All, {setting, 0});
            EXPECT_NEAR(t[0].area, truth, truth * 0.005) << rate << " " << setting;
        }
    }
}

TEST(Measures, ExclusionHoldsAtExactlyTheMinimums)
{
    const auto s = gaussians(1500, {{300, 800, 15}, {900, 200, 15}});
    auto d = chromatogramOf(s, plainParams());
    const PeakTable first = detect(d);
    ASSERT_EQ(first.size(), 2);
    EXPECT_DOUBLE_EQ(first[0].areaPercent + first[1].areaPercent, 100.0);

    d.method.integration.minArea = first[1].area;
    PeakEngine e(d);
    e.setSettings({1, 0});
    e.evaluate(EvaluateStep::All);
    EXPECT_EQ(d.peaks[1].excluded, 1);
    EXPECT_EQ(d.peaks[1].areaPercent, 0.0);
    EXPECT_DOUBLE_EQ(d.peaks[0].areaPercent, 100.0);
    EXPECT_EQ(e.excludedTimes(), std::vector<double>{first[1].retentionTime});

    d.method.integration.minArea = 0.0;
    d.method.integration.minHeight = first[1].height;
    e.evaluate(EvaluateStep::All);
    EXPECT_EQ(d.peaks[1].excluded, 1);
    d.method.integration.minHeight = std::nextafter(first[1].height, 0.0);
    e.evaluate(EvaluateStep::All);
    EXPECT_EQ(d.peaks[1].excluded, 0) << "just above the minimum counts";
}

TEST(Measures, ZeroTotalAreaGivesZeroPercentages)
{
    const std::vector<float> flat(100, 5.0f);
    auto d = tableOn(flat, {rowOn(flat, 10, 15, 20), rowOn(flat, 30, 35, 40)});
    d.method.integration.minArea = -1.0;
    d.method.integration.minHeight = -1.0;
    const PeakTable t = evaluated(d);
    for (const PeakRecord& p : t)
        EXPECT_EQ(p.areaPercent, 0.0);
    expectFinite(t);
}

TEST(Measures, GaussianWidthsTailingAndPlates)
{
    const double sigma = 20.0;
    const auto s = gaussians(1000, {{500, 1000, sigma}});
    auto d = tableOn(s, {rowOn(s, 400, 500, 600)});
    d.signalMax = d.signalMin = 100.0f;
    const PeakTable t = evaluated(d);
    EXPECT_EQ(d.signalMax, 1000.0f) << "the extremes take in every sample of a peak";
    EXPECT_EQ(d.signalMin, s[401]);
    const double sample = 1.0 / 20 / 60;
    EXPECT_NEAR(t[0].halfWidth, 2.3548 * sigma * sample, 1.0 * sample);
    EXPECT_NEAR(t[0].tailingFactor, 1.0, 0.03);
    EXPECT_DOUBLE_EQ(t[0].plates,
                     5.54 * (t[0].retentionTime / t[0].halfWidth) *
                         (t[0].retentionTime / t[0].halfWidth));
}

TEST(Measures, CrossingScansThatFindNothingStopAtTheirLimits)
{
    // A sheer front and a sheer rear: one step from 0 to 100 and back.
    std::vector<float> s(60, 0.0f);
    for (int i = 11; i < 40; ++i)
        s[static_cast<size_t>(i)] = 100.0f - static_cast<float>(std::abs(i - 20));
    SignalBuffer buffer;
    buffer.assign(s);
    const SignalView v(buffer);
    // Above the level from the first sample after the start, never below it before the
    // apex: a = 11, b has no index and stops at the start.
    EXPECT_EQ(PeakMeasures::frontCrossing(v, 10, 20, 50.0), (11 + 10) / 2);
    EXPECT_EQ(PeakMeasures::rearCrossing(v, 20, 40, 50.0), (40 + 39) / 2);
    // A start already above the level is the crossing itself.
    EXPECT_EQ(PeakMeasures::frontCrossing(v, 12, 20, 50.0), 12);
    EXPECT_EQ(PeakMeasures::rearCrossing(v, 20, 30, 50.0), 30);
    // A level the apex never reaches: the scans towards it find nothing and stop at the
    // apex, so both crossings are the apex.
    EXPECT_EQ(PeakMeasures::frontCrossing(v, 10, 20, 500.0), 20);
    EXPECT_EQ(PeakMeasures::rearCrossing(v, 20, 40, 500.0), 20);
}

TEST(Measures, NegativePeakIsNegatedAndKeepsItsWidths)
{
    const std::vector<float> s = gaussians(400, {{200, -300, 10}}, 500.0f);
    PeakRecord p = rowOn(s, 150, 200, 250, Negative);
    p.halfWidth = 0.125;
    p.tailingFactor = 3.0;
    auto d = tableOn(s, {p});
    const PeakTable neg = evaluated(d);
    EXPECT_EQ(neg[0].halfWidth, 0.125);
    EXPECT_EQ(neg[0].tailingFactor, 3.0);

    p.typeFlags = 0;
    auto plain = tableOn(s, {p});
    const PeakTable pos = evaluated(plain);
    EXPECT_DOUBLE_EQ(neg[0].area, -pos[0].area);
    EXPECT_DOUBLE_EQ(neg[0].height, -pos[0].height);
    EXPECT_GT(neg[0].area, 0.0) << "a dip measured as a negative peak is positive";
}

TEST(Measures, RidersBeforeATailingPeakAreTakenOutOfIt)
{
    const auto s = gaussians(400, {{100, 50, 5}, {150, 60, 5}, {250, 900, 20}}, 10.0f);
    const auto fixed = FixedBaselineStart | FixedBaselineEnd;
    std::vector<PeakRecord> rows = {rowOn(s, 80, 100, 120, RiderOnFront | fixed),
                                    rowOn(s, 130, 150, 170, RiderOnFront | fixed),
                                    rowOn(s, 60, 250, 330, TailingWithRidersBefore | fixed)};
    auto plain = tableOn(s, rows);
    for (PeakRecord& p : plain.peaks)
        p.typeFlags = fixed;
    const PeakTable raw = evaluated(plain, EvaluateStep::Measures);

    auto d = tableOn(s, rows);
    const PeakTable t = evaluated(d, EvaluateStep::Measures);
    EXPECT_DOUBLE_EQ(t[2].area, raw[2].area - raw[1].area - raw[0].area);
    EXPECT_DOUBLE_EQ(t[0].area, raw[0].area);

    // A row between breaks the chain of riders.
    rows.insert(rows.begin() + 2, rowOn(s, 170, 175, 180, fixed));
    auto broken = tableOn(s, rows);
    const PeakTable b = evaluated(broken, EvaluateStep::Measures);
    EXPECT_DOUBLE_EQ(b[3].area, raw[2].area);
}

TEST(Measures, ResolutionPairsEachPeakWithTheOneBefore)
{
    const auto s = gaussians(1200, {{200, 500, 10}, {500, 400, 15}, {900, 300, 20}});
    auto d =
        tableOn(s, {rowOn(s, 150, 200, 250), rowOn(s, 430, 500, 570), rowOn(s, 800, 900, 1000)});
    const PeakTable t = evaluated(d);
    const auto res = [&t](int a, int b) {
        return (t[b].retentionTime - t[a].retentionTime) * 1.18 / (t[b].halfWidth + t[a].halfWidth);
    };
    EXPECT_DOUBLE_EQ(t[0].resolution, res(0, 1));
    EXPECT_DOUBLE_EQ(t[1].resolution, res(0, 1));
    EXPECT_DOUBLE_EQ(t[2].resolution, res(1, 2));

    PeakRecord lone = rowOn(s, 150, 200, 250);
    lone.resolution = 9.5;
    auto one = tableOn(s, {lone});
    EXPECT_EQ(evaluated(one)[0].resolution, 9.5);

    // Single-sample peaks have no width: resolution and plates are 0, not infinite.
    auto thin = tableOn(s, {rowOn(s, 200, 200, 200), rowOn(s, 500, 500, 500)});
    const PeakTable z = evaluated(thin);
    EXPECT_EQ(z[0].resolution, 0.0);
    EXPECT_EQ(z[1].plates, 0.0);
    expectFinite(z);
}

TEST(AutoDelete, DeletingTheMiddleOfAGroupLeavesIndependentNeighbours)
{
    const auto s = gaussians(900, {{150, 500, 15}, {220, 250, 15}, {290, 400, 15}});
    const PeakTable all = detect(chromatogramOf(s, plainParams()));
    ASSERT_EQ(all.size(), 3);
    ASSERT_EQ(all[1].typeFlags, StartsInValley | EndsInValley);

    IntegrationParams p = plainParams();
    p.minHeight = all[1].height;
    ASSERT_LT(all[1].height, all[0].height);
    ASSERT_LT(all[1].height, all[2].height);
    const PeakTable kept = detect(chromatogramOf(s, p), {1, 0});
    ASSERT_EQ(kept.size(), 3) << "excluded peaks are deleted only when the setting asks";
    EXPECT_EQ(kept[1].excluded, 1);
    const PeakTable t = detect(chromatogramOf(s, p), {1, 1});
    ASSERT_EQ(t.size(), 2);
    EXPECT_EQ(t[1].number, 2);
    EXPECT_DOUBLE_EQ(t[0].areaPercent + t[1].areaPercent, 100.0);
    EXPECT_EQ(t[0].typeFlags, 0);
    EXPECT_EQ(t[1].typeFlags, 0);
    EXPECT_EQ(t[0].baselineEndValue, t[0].endValue);
    EXPECT_EQ(t[1].baselineStartValue, t[1].startValue);
    EXPECT_EQ(t[0].endIndex, all[0].endIndex);
    EXPECT_EQ(t[1].startIndex, all[2].startIndex);
}

TEST(AutoDelete, InsertAndDeleteKeepTheTableInOrderAndEvaluated)
{
    const auto s = gaussians(2000, {{300, 800, 15}, {1500, 500, 15}});
    auto d = chromatogramOf(s, plainParams());
    PeakEngine e(d);
    e.setSettings({1, 0});
    e.runDetection();
    ASSERT_EQ(d.peaks.size(), 2);
    const int lastApex = d.peaks[1].apexIndex;
    e.insertPeak(rowOn(s, 900, 950, 1000));
    ASSERT_EQ(d.peaks.size(), 3);
    EXPECT_EQ(d.peaks[1].startIndex, 900);
    EXPECT_EQ(d.peaks[1].number, 2);
    EXPECT_EQ(d.peaks[2].number, 3);

    e.deletePeaksCrossing(800, 1100);
    EXPECT_EQ(d.peaks.size(), 2);
    e.deletePeaksCrossing(0, 400);
    e.evaluate(EvaluateStep::All);
    ASSERT_EQ(d.peaks.size(), 1);
    EXPECT_EQ(d.peaks[0].apexIndex, lastApex);
    EXPECT_EQ(d.peaks[0].number, 1);
    EXPECT_DOUBLE_EQ(d.peaks[0].areaPercent, 100.0);
    EXPECT_TRUE(e.deletePeak(0));
    EXPECT_TRUE(d.peaks.empty());
}
