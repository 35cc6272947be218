#include "EngineTestSupport.h"

#include "processing/IntegrationProposal.h"
#include "processing/TimeEventType.h"
#include "processing/TimeProgramRows.h"

#include <gtest/gtest.h>

using namespace dgaws;
using namespace dgaws::test;
namespace T = dgaws::TimeEventType;

// At 20 points per second every multiple of 75 samples is a minute value that binary
// floating point holds exactly, so these tests place events at such samples.
namespace {

double minutesAt(int index)
{
    return index / 1200.0;
}

}  // namespace

// Whole tables detected under a time program, each against the same signal detected
// without one where that tells the story.
TEST(TimeProgram, RowsShapeTheTable)
{
    const auto twoFar = gaussians(4000, {{600, 500, 15}, {3000, 500, 15}});
    const auto three = gaussians(3000, {{400, 500, 15}, {1000, 500, 15}, {2000, 500, 15}});
    const auto joined = gaussians(1600, {{1050, 500, 15}, {1120, 300, 15}});
    const auto flat = std::vector<float>(3600, 5.0f);
    const auto four =
        gaussians(3600, {{800, 400, 15}, {1250, 400, 20}, {1800, 600, 20}, {3000, 400, 15}});
    const auto two = gaussians(2000, {{500, 500, 15}, {1200, 300, 15}});
    const struct {
        const char* what;
        const std::vector<float>& samples;
        std::vector<TimeEvent> program;
        double lockTime;
        const char* table;
    } cases[] = {
        {"no peak starts before the lock time", twoFar, {}, 1.0, "2949-3001-3065"},
        {"nor does a row before it keep integration off",
         twoFar,
         {timeEvent(0.25, T::AutoTailingOn)},
         1.0,
         "2949-3000-3049"},
        {"past its rear inflection at 1050 with a row before it, a peak ends at 1049",
         three,
         {timeEvent(minutesAt(1050), T::IntegrationOff),
          timeEvent(minutesAt(1500), T::IntegrationOn)},
         0.0,
         "346-398-466; 946-998-1049; 1948-2000-2049"},
        {"still rising at 975 it is dropped",
         three,
         {timeEvent(minutesAt(975), T::IntegrationOff)},
         0.0,
         "346-398-466"},
        {"the two run together",
         joined,
         {},
         0.0,
         "998-1050-1086 x2 to 1086:1.22841; 1086-1118-1182 x1 from 1086:1.22841"},
        {"dropping the second unmarks the first",
         joined,
         {timeEvent(minutesAt(1125), T::IntegrationOff)},
         0.0,
         "998-1050-1086"},
        {"a manual peak where nothing exceeds the start",
         flat,
         {timeEvent(1.0, T::ManualStart), timeEvent(2.0, T::ManualEnd)},
         0.0,
         "1200-1200-2400"},
        {"four automatic peaks",
         four,
         {},
         0.0,
         "750-798-862; 1182-1250-1330; 1730-1798-1882; 2950-2998-3062"},
        {"rows taken by time; peaks with a baseline point inside the manual one replaced",
         four,
         {timeEvent(2.0, T::ManualEnd), timeEvent(1.0, T::ManualStart)},
         0.0,
         "750-798-862; 1200-1800-2400; 2949-3000-3048"},
        {"two rows at one time are applied at consecutive samples, missing the second's own",
         flat,
         {timeEvent(1.0, T::ManualStart), timeEvent(2.0, T::None), timeEvent(2.0, T::ManualEnd)},
         0.0,
         ""},
        {"without a program", two, {}, 0.0, "446-498-566; 1150-1198-1262"},
        {"rows after the end of the data change nothing",
         two,
         {timeEvent(10.0, T::IntegrationOff, 50, 500.0)},
         0.0,
         "446-498-566; 1150-1198-1262"},
    };
    for (const auto& c : cases) {
        IntegrationParams p = plainParams();
        p.lockTime = c.lockTime;
        ChromatogramData d = withProgram(c.samples, c.program, p);
        d.method.timeProgramEnabled = c.program.empty() ? 0 : 1;
        EXPECT_EQ(outline(detect(d)), c.table) << c.what;
    }
}

TEST(TimeProgram, DoublingDoublesTheBunchAndHalvesTheThresholdEachPeriod)
{
    for (const double doubling : {1.0, 0.0}) {  // every 1200 samples, or never
        IntegrationParams p = plainParams(3, 8.0, 2);
        p.timeDoubling = doubling;
        auto d = chromatogramOf(std::vector<float>(2500, 10.0f), p);
        PeakEngine e(d);
        e.resetPass();
        e.feedSample(10.0f);
        EXPECT_EQ(e.workingBunchSize(), 3.0);
        e.feedSample(10.0f);
        EXPECT_EQ(e.workingBunchSize(), doubling > 0 ? 6.0 : 3.0) << "from the second sample on";
        EXPECT_DOUBLE_EQ(e.workingThreshold(), doubling > 0 ? 0.4 : 0.8);
        while (e.sampleCount() < 1201)
            e.feedSample(10.0f);
        EXPECT_EQ(e.workingBunchSize(), doubling > 0 ? 6.0 : 3.0);
        e.feedSample(10.0f);
        EXPECT_EQ(e.workingBunchSize(), doubling > 0 ? 12.0 : 3.0);
        EXPECT_DOUBLE_EQ(e.workingThreshold(), doubling > 0 ? 0.2 : 0.8);
    }
}

TEST(TimeProgram, HorizontalBaselineFixesTheNextPeaksStartLevel)
{
    // A slow drift the detector does not see; the level is taken when the event comes.
    const auto signal = SyntheticSignal(3000, 100.0f)
                            .drift(0.05)
                            .gaussian(2000, 500, 15)
                            .gaussian(2600, 500, 15)
                            .floats();
    auto d = withProgram(signal,
                         {timeEvent(minutesAt(600), T::HorizontalBaselineOn),
                          timeEvent(minutesAt(2300), T::HorizontalBaselineOff)});
    const PeakTable t = detect(d);
    ASSERT_EQ(t.size(), 2);
    EXPECT_EQ(t[0].typeFlags, PeakFlag::FixedBaselineStart);
    EXPECT_GE(t[0].baselineStartValue, d.signal.at(590));
    EXPECT_LE(t[0].baselineStartValue, d.signal.at(600));
    EXPECT_GT(t[0].startValue, t[0].baselineStartValue + 50.0f);
    EXPECT_EQ(t[1].typeFlags, 0);
    EXPECT_EQ(t[1].baselineStartValue, t[1].startValue);
}

namespace {

// Peaks of one area each, every one half as wide again as the one before, far apart on a
// noisy level: half widths from 14 to 161 samples.
std::vector<float> wideningPeaks(std::vector<double>& centres)
{
    SyntheticSignal s(12000, 50.0f);
    double centre = 600.0;
    double sigma = 6.0;
    for (int k = 0; k < 7; ++k) {
        s.gaussian(centre, 12000.0 / sigma, sigma);
        centres.push_back(centre);
        centre += 14.0 * sigma + 1200.0;
        sigma *= 1.5;
    }
    return s.noise(2.0, 3).floats();
}

}  // namespace

// With event 10 the bunch size follows the peaks as they broaden: a bunch made for the
// first, narrow peak cuts the broad ones short and misses the broadest without it. Event
// 11 gives back the row's own bunch size.
TEST(TimeProgram, AutomaticPeakWidthFollowsPeaksThatBroaden)
{
    std::vector<double> centres;
    const auto signal = wideningPeaks(centres);
    const IntegrationParams narrow = plainParams(2, 60.0, 2);
    const PeakTable fixed = detect(chromatogramOf(signal, narrow));
    EXPECT_LT(fixed.size(), 7);

    const PeakTable t =
        detect(withProgram(signal, {timeEvent(0.0, T::AutoPeakWidthOn, 2, 60.0)}, narrow));
    ASSERT_EQ(t.size(), 7);
    for (int i = 0; i < 7; ++i) {
        const double halfWidth = 2.3548 * 6.0 * std::pow(1.5, i);
        EXPECT_NEAR(t[i].apexIndex, centres[static_cast<size_t>(i)], 0.1 * halfWidth) << i;
        EXPECT_NEAR(t[i].halfWidth * 1200.0, halfWidth, 0.1 * halfWidth) << i;
        EXPECT_EQ(t[i].typeFlags, 0) << i;
    }

    // Four peaks in, the median of the newest three half widths, about 32 samples, makes
    // bunches of 5; the end of the event gives the row's 3 back.
    ChromatogramData d = withProgram(signal,
                                     {timeEvent(0.0, T::AutoPeakWidthOn, 2, 60.0),
                                      timeEvent(minutesAt(5400), T::AutoPeakWidthOff, 3, 60.0)},
                                     narrow);
    PeakEngine e(d);
    e.resetPass();
    for (int i = 0; i < 5400; ++i)
        e.feedSample(signal[static_cast<size_t>(i)]);
    EXPECT_EQ(e.detectedRows().size(), 4);
    EXPECT_EQ(e.followedBunchSize(), 5.0);
    EXPECT_EQ(e.workingBunchSize(), 5.0);
    e.feedSample(signal[5400]);
    EXPECT_EQ(e.followedBunchSize(), 0.0);
    EXPECT_EQ(e.workingBunchSize(), 3.0);
}

// Event 14 makes the next peak to start negative, as the editor's negative peak is; the
// peak open when it comes and the peaks after are not.
TEST(TimeProgram, NextPeakNegativeMarksOnlyThePeakThatStartsNext)
{
    const auto signal = gaussians(4000, {{600, 500, 15}, {1500, 400, 15}, {2500, 300, 15}});
    // A row of no event at the same time: the peaks as they are under a time program.
    const PeakTable plain = detect(withProgram(signal, {timeEvent(minutesAt(600), T::None)}));
    ASSERT_EQ(plain.size(), 3);
    // At sample 600 the first peak is open.
    const PeakTable t =
        detect(withProgram(signal, {timeEvent(minutesAt(600), T::NextPeakNegative)}));
    ASSERT_EQ(t.size(), 3);
    EXPECT_EQ(t[0].typeFlags, 0);
    EXPECT_DOUBLE_EQ(t[0].area, plain[0].area);
    EXPECT_EQ(t[1].typeFlags, PeakFlag::Negative);
    EXPECT_EQ(peakTypeCode(t[1].typeFlags), 11);
    EXPECT_DOUBLE_EQ(t[1].area, -plain[1].area);
    EXPECT_DOUBLE_EQ(t[1].height, -plain[1].height);
    EXPECT_EQ(t[1].apexIndex, plain[1].apexIndex);
    EXPECT_EQ(t[2].typeFlags, 0);
    EXPECT_DOUBLE_EQ(t[2].area, plain[2].area);
    // An event 0 after it takes the wait away.
    EXPECT_EQ(detect(withProgram(signal,
                                 {timeEvent(minutesAt(600), T::NextPeakNegative),
                                  timeEvent(minutesAt(900), T::None)})),
              plain);
}

namespace {

struct Watch {
    ChromatogramData data;
    PeakEngine engine{data};

    explicit Watch(const std::vector<float>& samples)
    {
        data.signal.assign(samples);
        engine.startSignalWatch();
        for (float v : samples)
            engine.feedStartSignal(v);
    }
};

}  // namespace

TEST(StartSignal, DipAndRecoveryAreFoundAndQuietIsNoStart)
{
    const auto samples = SyntheticSignal(1200, 100.0f).gaussian(400, -500, 20).noise(0.5).floats();
    Watch w(samples);
    const StartSignalDetector& s = w.engine.startSignal();
    ASSERT_TRUE(s.found());
    EXPECT_EQ(s.state(), 0);
    EXPECT_LT(s.start().index, 370);
    EXPECT_GT(s.start().index, 300);
    EXPECT_NEAR(s.end().index, 400, 10);
    EXPECT_EQ(s.end().value, samples[static_cast<size_t>(s.end().index)]);
    EXPECT_DOUBLE_EQ(s.end().minutes, s.end().index / 20.0 / 60.0);
    EXPECT_TRUE(w.data.peaks.empty()) << "the watch never touches the table";

    // AutoStartHeight is in millivolts: a dip of about 490 uV passes 0.2, fails 1.0.
    EXPECT_TRUE(w.engine.confirmStartSignal(0.2));
    EXPECT_FALSE(w.engine.confirmStartSignal(1.0));
    EXPECT_FALSE(s.found());
    EXPECT_EQ(s.state(), 1) << "watching again";

    Watch quiet(SyntheticSignal(2000, 100.0f).noise(0.3).floats());
    EXPECT_FALSE(quiet.engine.startSignal().found());
    EXPECT_EQ(quiet.engine.startSignal().state(), 1);
    EXPECT_FALSE(quiet.engine.confirmStartSignal(0.2));
}

TEST(TimeProgram, RowsGoBeforeTheFirstLaterRowAndEqualTimesKeepTheirEntryOrder)
{
    std::vector<TimeEvent> program;
    TimeEvent a = newTimeEvent(2.0);
    a.type = T::IntegrationOff;
    insertTimeEvent(program, a);
    EXPECT_EQ(insertTimeEvent(program, newTimeEvent(1.0)), 0u);
    TimeEvent b = newTimeEvent(2.0);
    b.type = T::IntegrationOn;
    EXPECT_EQ(insertTimeEvent(program, b), 2u);  // after the row of the same time
    EXPECT_EQ(program[1].type, T::IntegrationOff);

    // Editing the first row to a later time moves it behind both rows of 2.0.
    TimeEvent moved = program[0];
    moved.time = 2.0;
    EXPECT_EQ(replaceTimeEvent(program, 0, moved), 2u);
    EXPECT_EQ(program[0].type, T::IntegrationOff);
    EXPECT_EQ(program[1].type, T::IntegrationOn);
    EXPECT_EQ(replaceTimeEvent(program, 7, moved), program.size());
    EXPECT_STREQ(timeEventTypeText(T::None), "无");
    EXPECT_STREQ(timeEventTypeText(T::ManualEnd), "此处设定为峰止点");
    EXPECT_STREQ(timeEventTypeText(-1), "");
    EXPECT_STREQ(timeEventTypeText(T::Count), "");
}
