#include "EngineTestSupport.h"

#include "processing/TimeEventType.h"

#include <gtest/gtest.h>

using namespace dgaws;
using namespace dgaws::test;
namespace T = dgaws::TimeEventType;

namespace {

// One bunch per sample over a two-sample average, threshold 1.0 per bunch: a ramp of m
// steps of +4 gives m + 1 rising bunches.
PeakTable detectRamp(std::initializer_list<float> countsAndSteps)
{
    return detect(chromatogramOf(segments(countsAndSteps), plainParams(1, 10.0, 2)));
}

const std::vector<float> kTwoOverlapping = gaussians(600, {{150, 500, 15}, {220, 300, 15}});

}  // namespace

TEST(Detection, FirstPeakNeedsFiveRisingBunches)
{
    const auto triangle = [](int steps) {
        return detectRamp({20, 0, static_cast<float>(steps), 4, steps * 3.0f, -4.0f / 3, 30, 0});
    };
    EXPECT_TRUE(triangle(3).empty()) << "four rising bunches start nothing";
    const PeakTable t = triangle(4);
    ASSERT_EQ(t.size(), 1);
    // The start walks back over the rising bunches to the last flat one.
    EXPECT_EQ(t[0].startIndex, 19);
    EXPECT_EQ(t[0].typeFlags, 0);
}

// The apex of a flat top from sample 27 lies halfway along it, one sample late for the
// averaging; a top longer than the bunches remembered, halfway along what is remembered.
TEST(Detection, ApexOfAFlatTopIsItsMiddle)
{
    for (const auto& [top, apex] : {std::pair{1, 28}, {2, 29}, {3, 29}, {4, 30}, {20, 41}}) {
        const PeakTable t =
            detectRamp({20, 0, 8, 4, static_cast<float>(top), 0, 24, -4.0f / 3, 30, 0});
        ASSERT_EQ(t.size(), 1) << top;
        EXPECT_EQ(t[0].apexIndex, apex) << top;
    }
}

TEST(Detection, PeakOnTheTailOfAnotherNeedsThreeRisingBunches)
{
    // A peak bent over at both ends, a falling tail, a short rise of `steps`, more tail.
    const auto blipOnTail = [](int steps) {
        return detectRamp({20, 0,  6,     4,     2,
                           3,  2,  2,     2,     1,
                           2,  -1, 2,     -2,    2,
                           -3, 4,  -4,    2,     -3,
                           2,  -2, 6,     -1.5f, static_cast<float>(steps),
                           4,  20, -1.5f, 2,     -1,
                           30, 0});
    };
    EXPECT_EQ(blipOnTail(1).size(), 1) << "two rising bunches on a tail are no valley";
    const PeakTable t = blipOnTail(2);
    ASSERT_EQ(t.size(), 2);
    EXPECT_EQ(t[0].typeFlags, PeakFlag::EndsInValley);
    EXPECT_EQ(t[1].typeFlags, PeakFlag::StartsInValley);
    EXPECT_EQ(t[0].endIndex, t[1].startIndex);
}

TEST(Detection, ValleysJoinPeaksIntoOneGroupUnderOneBaseline)
{
    auto d = chromatogramOf(kTwoOverlapping, plainParams());
    PeakEngine e(d);
    e.setSettings({1, 0});
    std::vector<std::pair<DetectionMark, int>> marks;
    e.setMarkObserver([&](DetectionMark m, int index) { marks.emplace_back(m, index); });
    e.runDetection();
    const PeakTable& t = d.peaks;
    ASSERT_EQ(t.size(), 2);
    using M = DetectionMark;
    EXPECT_EQ(marks,
              (std::vector<std::pair<DetectionMark, int>>{{M::Start, t[0].startIndex},
                                                          {M::Apex, t[0].apexIndex},
                                                          {M::Valley, t[1].startIndex},
                                                          {M::Apex, t[1].apexIndex},
                                                          {M::End, t[1].endIndex}}));
    EXPECT_EQ(t[0].typeFlags, PeakFlag::EndsInValley);
    EXPECT_EQ(t[1].typeFlags, PeakFlag::StartsInValley);
    EXPECT_EQ(t[0].detectTag, 2);
    EXPECT_EQ(t[1].detectTag, 0);
    // The valley is a drop under the common baseline, not a baseline point.
    EXPECT_EQ(t[0].endIndex, t[1].startIndex);
    EXPECT_EQ(t[0].baselineEndIndex, t[1].baselineStartIndex);
    EXPECT_EQ(t[0].baselineEndValue, t[1].baselineStartValue);
    EXPECT_LT(t[0].baselineEndValue, t[0].endValue);
    EXPECT_NEAR(t[0].apexIndex, 150, 10);
    EXPECT_NEAR(t[1].apexIndex, 220, 10);
}

TEST(Detection, ForcedIndependentPeaksEndAndStartAtTheValleyWithoutValleyBits)
{
    const PeakTable forced =
        detect(withProgram(kTwoOverlapping, {timeEvent(0.0, T::ForceIndependentOn)}));
    // Once a row has been applied, the bunch size chosen at a peak start lasts; the same
    // program without the switch detects on the same bunches.
    const PeakTable joined =
        detect(withProgram(kTwoOverlapping, {timeEvent(0.0, T::ForceIndependentOff)}));
    ASSERT_EQ(joined.size(), 2);
    ASSERT_EQ(joined[0].typeFlags, PeakFlag::EndsInValley);
    ASSERT_EQ(forced.size(), 2);
    EXPECT_EQ(forced[0].endIndex, joined[0].endIndex) << "ends at the same valley";
    EXPECT_EQ(forced[1].startIndex, forced[0].endIndex);
    for (const PeakRecord& p : forced) {
        EXPECT_EQ(p.typeFlags, 0);
        EXPECT_EQ(p.detectTag, 1);
        EXPECT_EQ(p.baselineStartValue, p.startValue);
        EXPECT_EQ(p.baselineEndValue, p.endValue);
    }
}

TEST(Detection, BaselineAtNextValleyActsOnceOnly)
{
    const PeakTable t =
        detect(withProgram(gaussians(900, {{150, 500, 15}, {220, 400, 15}, {290, 300, 15}}),
                           {timeEvent(0.0, T::BaselineAtNextValley)}));
    ASSERT_EQ(t.size(), 3);
    EXPECT_EQ(t[0].typeFlags, 0) << "the first valley became a baseline point";
    EXPECT_EQ(t[1].typeFlags, PeakFlag::EndsInValley) << "the second is a valley again";
    EXPECT_EQ(t[2].typeFlags, PeakFlag::StartsInValley);
}

TEST(Detection, NextPeakRidesSuppressesStartsUntilCleared)
{
    const PeakTable t = detect(
        withProgram(gaussians(2400, {{400, 500, 15}, {1600, 500, 15}}),
                    {timeEvent(0.0, T::NextPeakRides), timeEvent(1.0, T::None)}));  // sample 1200
    ASSERT_EQ(t.size(), 1);
    EXPECT_GT(t[0].apexIndex, 1500);
}

TEST(Detection, PeakStillRisingWhenTheDataEndIsDropped)
{
    EXPECT_TRUE(detect(chromatogramOf(gaussians(140, {{150, 500, 15}}), plainParams())).empty());
    // Past its rear inflection, a peak is kept when the table already has a row; it ends
    // at the last bunch.
    const PeakTable t =
        detect(chromatogramOf(gaussians(440, {{150, 500, 15}, {400, 500, 15}}), plainParams()));
    ASSERT_EQ(t.size(), 2);
    EXPECT_LT(t[1].endIndex, 440);
    EXPECT_GE(t[1].endIndex, 440 - 8);
    EXPECT_EQ(t[1].typeFlags, 0);
    EXPECT_TRUE(detect(chromatogramOf(gaussians(190, {{150, 500, 15}}), plainParams())).empty())
        << "with an empty table the open peak is dropped";
}

TEST(Detection, RetentionTimesFollowTheChromatogramsOwnRate)
{
    for (int rate : {10, 20, 50}) {
        const PeakTable t =
            detect(chromatogramOf(gaussians(600, {{300, 500, 15}}), plainParams(), rate));
        ASSERT_EQ(t.size(), 1) << rate;
        EXPECT_DOUBLE_EQ(t[0].retentionTime, t[0].apexIndex / static_cast<double>(rate) / 60.0);
        EXPECT_NEAR(t[0].halfWidth, 2.3548 * 15 / rate / 60.0, 1.5 / rate / 60.0);
    }
}

namespace {

struct Case {
    const char* name;
    std::vector<float> samples;
    AnalysisMethod method;
    int pointsPerSecond = 20;
};

AnalysisMethod methodWith(IntegrationParams p, std::vector<TimeEvent> program = {})
{
    AnalysisMethod m;
    m.integration = p;
    m.timeProgramEnabled = program.empty() ? 0 : 1;
    m.timeProgram = std::move(program);
    return m;
}

std::vector<Case> cases()
{
    std::vector<Case> c;
    c.push_back({"defaults with drift and noise",
                 SyntheticSignal(6000, 80.0f)
                     .drift(0.01)
                     .gaussian(900, 800, 25)
                     .gaussian(1010, 500, 25)
                     .gaussian(3000, 300, 40)
                     .gaussian(4500, 50, 30)
                     .noise(1.5)
                     .floats(),
                 methodWith(IntegrationParams{})});
    c.push_back({"solvent peak with riders", solventWithRiders(), methodWith(plainParams())});
    c.push_back({"group split below its line",
                 gaussians(600, {{150, 500, 15}, {220, 300, 15}, {186, -100, 4}}),
                 methodWith(plainParams())});
    c.push_back(
        {"time program of every kind",
         SyntheticSignal(6000)
             .gaussian(400, 500, 15)
             .gaussian(470, 300, 15)
             .gaussian(1300, 500, 15)
             .gaussian(1370, 300, 15)
             .gaussian(2300, 500, 15)
             .gaussian(3100, 400, 20)
             .gaussian(3800, 500, 15)
             .gaussian(4700, 600, 15)
             .noise(0.5)
             .floats(),
         methodWith(plainParams(4, 10.0, 3),
                    {timeEvent(0.0, T::ForceIndependentOn), timeEvent(0.75, T::ForceIndependentOff),
                     timeEvent(0.8, T::BaselineAtNextValley),
                     timeEvent(1.5, T::HorizontalBaselineOn, 5, 12.0),
                     timeEvent(2.25, T::HorizontalBaselineOff), timeEvent(2.5, T::ManualStart),
                     timeEvent(2.75, T::ManualEnd), timeEvent(3.0, T::IntegrationOff),
                     timeEvent(3.125, T::IntegrationOn, 3, 8.0), timeEvent(3.9, T::BaselineNow)})});
    // Bunches of one sample over no smoothing put a bunch's centre on the sample after
    // the newest; neither pass may read it before it exists.
    c.push_back({"centre ahead of the data",
                 gaussians(800, {{200, 500, 6}, {230, 400, 6}, {500, 300, 8}}),
                 methodWith(plainParams(1, 10.0, 1))});
    // The followed width changes the bunch size between the quiet stretches the stored pass
    // takes in one go.
    c.push_back({"peaks followed as they broaden, one negative",
                 SyntheticSignal(8000, 50.0f)
                     .gaussian(600, 2000, 6)
                     .gaussian(1800, 1333, 9)
                     .gaussian(3100, 888, 13.5)
                     .gaussian(4500, 592, 20.25)
                     .gaussian(6200, 395, 30.4)
                     .noise(2.0, 3)
                     .floats(),
                 methodWith(plainParams(2, 60.0, 2),
                            {timeEvent(0.0, T::AutoPeakWidthOn, 2, 60.0),
                             timeEvent(3.0, T::NextPeakNegative, 2, 60.0),
                             timeEvent(4.5, T::AutoPeakWidthOff, 3, 60.0)})});
    IntegrationParams hostile = plainParams(0, 10.0, 0);
    hostile.judgeWidth = 0;
    hostile.timeDoubling = 0.5;
    c.push_back({"widths from a damaged method", gaussians(3000, {{700, 500, 15}, {2000, 500, 25}}),
                 methodWith(hostile), 50});
    return c;
}

}  // namespace

TEST(LiveAndStored, LiveFeedingEvaluatedAfterEachSampleEqualsStoredDetectionAndItsReevaluation)
{
    for (const Case& c : cases()) {
        ChromatogramData stored =
            chromatogramOf(c.samples, c.method.integration, c.pointsPerSecond);
        stored.method = c.method;
        const PeakTable expected = detect(stored);
        EXPECT_FALSE(expected.empty()) << c.name;
        const PeakTable live = detectLive(c.samples, c.method, c.pointsPerSecond,
                                          static_cast<int>(c.samples.size()) + 500);
        EXPECT_EQ(live, expected) << c.name;
        EXPECT_EQ(evaluated(stored), expected) << c.name << ": evaluated twice";
    }
}

// A run whose chromatogram moves to another record before it ends finishes on the new one,
// not on what the old record holds by then.
TEST(LiveAndStored, PassMovedToAnotherChromatogramFinishesOnIt)
{
    const auto samples = gaussians(440, {{150, 500, 15}, {400, 500, 15}});
    const PeakTable expected = detect(chromatogramOf(samples, plainParams()));
    ASSERT_EQ(expected.size(), 2);
    ChromatogramData first = chromatogramOf(samples, plainParams());
    PeakEngine engine(first);
    engine.setSettings({1, 0});
    engine.resetPass();
    for (float v : samples)
        engine.feedSample(v);
    ChromatogramData moved = first;
    engine.attach(moved);
    first.signal.assign(std::vector<float>(samples.size(), 7.0f));
    engine.finishPass();
    engine.evaluate(EvaluateStep::All);
    EXPECT_EQ(moved.peaks, expected);
}
