#include "EditTestSupport.h"

#include "processing/BaselineDrift.h"
#include "processing/DisplayRange.h"
#include "processing/SignalCorrection.h"
#include "processing/SignalSmoothing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace dgaws;
using namespace dgaws::test;
using namespace dgaws::PeakFlag;

namespace {

// Three lone peaks on a drift of 0.3 uV per sample with a ripple, so that the drift under
// each peak is a line and between them anything but one.
std::vector<float> driftingPeaks()
{
    auto s = bumps({{300, 800}, {700, 600}, {1100, 400}}, 2000, 0.3);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] += static_cast<float>(3.0 * std::sin(static_cast<double>(i) * 1.7));
    return s;
}

}  // namespace

TEST(SignalSmoothing, WidthFourKeepsTwoSamplesAndAveragesWindowsOfFour)
{
    const std::vector<float> x = {3, 8, 1, 9, 4, 7, 2, 6, 5, 10};
    std::vector<float> y = x;
    ASSERT_TRUE(SignalSmoothing::smooth(y, 4));
    EXPECT_EQ(y, (std::vector<float>{3, 8, 5.25f, 5.5f, 5.25f, 5.5f, 4.75f, 5.0f, 5.75f, 5.75f}));

    y = x;
    ASSERT_TRUE(SignalSmoothing::smooth(y, 3));
    EXPECT_EQ(y[1], 8.0f) << "w - w/2 = 2 samples stay";
    EXPECT_FLOAT_EQ(y[2], 4.0f);

    y = x;
    ASSERT_TRUE(SignalSmoothing::smooth(y, 12)) << "cut to the ten samples there are";
    EXPECT_EQ(y[4], 4.0f);
    EXPECT_FLOAT_EQ(y[9], 5.5f);

    for (int width : {1, 0, -3}) {
        y = x;
        EXPECT_FALSE(SignalSmoothing::smooth(y, width));
        EXPECT_EQ(y, x);
    }
    std::vector<float> none;
    EXPECT_FALSE(SignalSmoothing::smooth(none, 4));

    std::vector<float> damaged = x;
    damaged[3] = std::numeric_limits<float>::quiet_NaN();
    ASSERT_TRUE(SignalSmoothing::smooth(damaged, 4));
    for (float v : damaged)
        EXPECT_TRUE(std::isfinite(v));
}

TEST(SignalSmoothing, ChromatogramGetsNewExtremaAndDisplayButKeepsItsPeaks)
{
    const std::vector<float> x = {3, 8, 1, 9, 4, 7, 2, 6, 5, 10};
    ChromatogramData d = chromatogramOf(x, plainParams());
    d.peaks.append(rowOn(x, 1, 3, 6));
    const PeakTable peaks = d.peaks;
    ASSERT_TRUE(SignalSmoothing::smooth(d, 4));
    EXPECT_EQ(d.signalMax, 8.0f);
    EXPECT_EQ(d.signalMin, 3.0f);
    EXPECT_EQ(DisplayRange::of(d.method),
              (DisplayRange{0.0, 10 / 600.0, 3.0 * 0.001, 8.0 * 0.001}));
    EXPECT_EQ(d.peaks, peaks);
}

TEST(DisplayRange, NoiseCloseUpIsTenMinutesAndTwentyMicrovoltsAroundTheNewestSample)
{
    // 20 minutes at 20 points a second, the value of each sample its index in uV.
    std::vector<float> x(24000);
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = static_cast<float>(i);
    const ChromatogramData d = chromatogramOf(x, plainParams(), 20);
    struct Case {
        int newest;
        DisplayRange range;
    };
    const Case cases[] = {
        {12000, {5.0, 15.0, 11.99, 12.01}},
        {2400, {0.0, 7.0, 2.39, 2.41}},                   // never before the start
        {99999, {14.999167, 24.999167, 23.989, 24.009}},  // the last sample
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.newest);
        const DisplayRange r = DisplayRange::noiseCloseUp(d, c.newest);
        EXPECT_NEAR(r.timeStart, c.range.timeStart, 1e-5);
        EXPECT_NEAR(r.timeEnd, c.range.timeEnd, 1e-5);
        EXPECT_NEAR(r.levelMin, c.range.levelMin, 1e-9);
        EXPECT_NEAR(r.levelMax, c.range.levelMax, 1e-9);
    }
    EXPECT_EQ(DisplayRange::noiseCloseUp(ChromatogramData{}, 5),
              (DisplayRange{0.0, 5.0, -0.01, 0.01}));
}

TEST(BaselineDrift, FollowsTheSignalBetweenGroupsAndALineUnderEach)
{
    // A drift of 0.25 per sample: the line under the group rises by whole units only.
    const auto s = bumps({{300, 800}, {380, 600}, {460, 500}, {1100, 400}}, 2000, 0.25);
    ChromatogramData d = tableOn(s, groupOfThreeRows(s));
    evaluated(d);
    const std::vector<float> drift = BaselineDrift::of(d.peaks, d.signal);
    ASSERT_EQ(drift.size(), s.size());
    EXPECT_EQ(drift[239], s[239]);
    EXPECT_EQ(drift[243], 160.0f) << "0.75 cut to 0";
    EXPECT_EQ(drift[244], 161.0f);
    EXPECT_EQ(drift[340], 185.0f) << "one line under the whole group, valleys included";
    EXPECT_EQ(drift[520], s[520]);

    // Riders lie under their tailing peak's line.
    ChromatogramData t =
        tableOn(s,
                {rowOn(s, 240, 300, 340, TailingWithRidersBehind),
                 rowOn(s, 340, 380, 420, RiderOnTail), rowOn(s, 420, 460, 520, RiderOnTail)});
    t.peaks[0].baselineEndIndex = 520;
    t.peaks[0].baselineEndValue = s[520];
    const std::vector<float> tailDrift = BaselineDrift::of(t.peaks, t.signal);
    EXPECT_EQ(tailDrift[420], drift[420]);
}

TEST(SignalCorrection, OwnDriftOfLonePeaksLeavesExactlyZeroBetweenThem)
{
    const auto s = driftingPeaks();
    ChromatogramData d =
        tableOn(s, {rowOn(s, 200, 300, 400), rowOn(s, 600, 700, 800), rowOn(s, 1000, 1100, 1200)});
    evaluated(d);
    SignalCorrection c;
    ASSERT_EQ(c.subtractOwnDrift(d), SignalCorrection::Result::Subtracted);
    EXPECT_TRUE(c.baselineSubtracted());
    for (int i = 0; i < 2000; ++i) {
        const bool between =
            i <= 200 || (i >= 400 && i <= 600) || (i >= 800 && i <= 1000) || i >= 1200;
        if (between) {
            EXPECT_EQ(d.signal.at(i), 0.0f) << i;
        }
    }
    for (const PeakRecord& p : d.peaks) {
        EXPECT_EQ(p.baselineEndValue, 0.0f);
        EXPECT_EQ(p.apexValue, d.signal.at(p.apexIndex)) << "reduced by the same drift";
    }
    EXPECT_FLOAT_EQ(d.signalMax,
                    *std::max_element(d.signal.values().begin(), d.signal.values().end()));

    // Restoring gives back the signal from before, sample for sample, once.
    ASSERT_EQ(c.restore(d), SignalCorrection::Result::Restored);
    EXPECT_EQ(d.signal.values(), s);
    EXPECT_FALSE(c.baselineSubtracted());
    EXPECT_EQ(c.restore(d), SignalCorrection::Result::NothingToRestore);
    EXPECT_EQ(d.signal.values(), s);
}

TEST(SignalCorrection, OneBackupAcrossTwoSubtractions)
{
    const auto s = driftingPeaks();
    ChromatogramData d = tableOn(s, {rowOn(s, 200, 300, 400)});
    evaluated(d);
    SignalBuffer baseline;
    baseline.assign(std::vector<float>(2000, 5.0f));
    SignalCorrection c;
    ASSERT_EQ(c.subtractOwnDrift(d), SignalCorrection::Result::Subtracted);
    const std::vector<float> once = d.signal.values();
    ASSERT_EQ(c.subtractBaseline(d, baseline), SignalCorrection::Result::Subtracted);
    EXPECT_EQ(d.signal.at(1500), once[1500] - 5.0f) << "the second works on the corrected signal";
    ASSERT_EQ(c.restore(d), SignalCorrection::Result::Restored);
    EXPECT_EQ(d.signal.values(), s) << "back to before the first";

    // With no peaks there is no drift: only the backup is taken.
    ChromatogramData bare = chromatogramOf(s, plainParams());
    SignalCorrection b;
    EXPECT_EQ(b.subtractOwnDrift(bare), SignalCorrection::Result::BackupOnly);
    EXPECT_EQ(bare.signal.values(), s);
    EXPECT_TRUE(b.baselineSubtracted());
    EXPECT_EQ(b.restore(bare), SignalCorrection::Result::Restored);
}

TEST(SignalCorrection, BaselineChromatogramMustBeAtLeastAsLong)
{
    const auto s = driftingPeaks();
    ChromatogramData d = tableOn(s, {rowOn(s, 200, 300, 400)});
    evaluated(d);
    const ChromatogramData untouched = d;
    SignalCorrection c;

    SignalBuffer shorter;
    shorter.assign(std::vector<float>(1999, 1.0f));
    EXPECT_EQ(c.subtractBaseline(d, shorter), SignalCorrection::Result::BaselineTooShort);
    EXPECT_EQ(d.signal, untouched.signal);
    EXPECT_EQ(c.restore(d), SignalCorrection::Result::NothingToRestore);

    std::vector<float> ramp(2500);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = 0.5f * static_cast<float>(i);
    SignalBuffer longer;
    longer.assign(ramp);
    ASSERT_EQ(c.subtractBaseline(d, longer), SignalCorrection::Result::Subtracted);
    ASSERT_EQ(d.signal.count(), 2000);
    EXPECT_EQ(d.signal.at(1999), s[1999] - 999.5f);
    EXPECT_EQ(d.peaks[0].apexValue, untouched.peaks[0].apexValue - 150.0f);
    EXPECT_EQ(d.peaks[0].baselineEndValue, untouched.peaks[0].baselineEndValue - 200.0f);
    EXPECT_FLOAT_EQ(d.signalMin,
                    *std::min_element(d.signal.values().begin(), d.signal.values().end()));
}
