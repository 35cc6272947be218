#include "EngineTestSupport.h"

#include "processing/TimeEventType.h"

#include <gtest/gtest.h>

using namespace dgaws;
using namespace dgaws::test;
namespace T = dgaws::TimeEventType;

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
    c.push_back({"solvent peak with riders",
                 SyntheticSignal(4000).tailing(200, 20000, 10, 3000).gaussian(700, 150, 8).gaussian(1100, 120, 8).floats(),
                 methodWith(plainParams())});
    c.push_back({"group split below its line",
                 SyntheticSignal(600).gaussian(150, 500, 15).gaussian(220, 300, 15).gaussian(186, -100, 4).floats(),
                 methodWith(plainParams())});
    c.push_back({"time program of every kind",
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
                             timeEvent(0.8, T::BaselineAtNextValley), timeEvent(1.5, T::HorizontalBaselineOn, 5, 12.0),
                             timeEvent(2.25, T::HorizontalBaselineOff), timeEvent(2.5, T::ManualStart),
                             timeEvent(2.75, T::ManualEnd), timeEvent(3.0, T::IntegrationOff),
                             timeEvent(3.125, T::IntegrationOn, 3, 8.0), timeEvent(3.9, T::BaselineNow)})});
    // Bunches of one sample over no smoothing put a bunch's centre on the sample after
    // the newest; neither pass may read it before it exists.
    c.push_back({"centre ahead of the data",
                 SyntheticSignal(800).gaussian(200, 500, 6).gaussian(230, 400, 6).gaussian(500, 300, 8).floats(),
                 methodWith(plainParams(1, 10.0, 1))});
    IntegrationParams hostile = plainParams(0, 10.0, 0);
    hostile.judgeWidth = 0;
    hostile.timeDoubling = 0.5;
    c.push_back({"widths from a damaged method",
                 SyntheticSignal(3000).gaussian(700, 500, 15).gaussian(2000, 500, 25).floats(),
                 methodWith(hostile), 50});
    return c;
}

}  // namespace

TEST(LiveAndStored, LiveFeedingWithEvaluationAfterEachSampleEqualsStoredDetection)
{
    for (const Case& c : cases()) {
        ChromatogramData stored = chromatogramOf(c.samples, c.method.integration, c.pointsPerSecond);
        stored.method = c.method;
        const PeakTable expected = detect(stored);
        EXPECT_FALSE(expected.empty()) << c.name;
        const PeakTable live = detectLive(c.samples, c.method, c.pointsPerSecond,
                                          static_cast<int>(c.samples.size()) + 500);
        EXPECT_EQ(live, expected) << c.name;
    }
}

TEST(LiveAndStored, LiveTableShowsEveryFinishedPeakMeasured)
{
    const auto samples = SyntheticSignal(2000).gaussian(400, 500, 15).gaussian(1400, 300, 15).floats();
    ChromatogramData live;
    live.method.integration = plainParams();
    live.resetForRun(3000, 20);
    PeakEngine engine(live);
    engine.ResetPass();
    for (int i = 0; i < 1000; ++i) {
        live.signal.set(i, samples[static_cast<size_t>(i)]);
        engine.FeedSample(samples[static_cast<size_t>(i)]);
        engine.Evaluate(EvaluateStep::All);
    }
    ASSERT_EQ(live.peaks.size(), 1);
    EXPECT_EQ(live.peaks[0].number, 1);
    EXPECT_GT(live.peaks[0].area, 0.0);
    EXPECT_DOUBLE_EQ(live.peaks[0].areaPercent, 100.0);
    EXPECT_EQ(live.evaluated, 1);
    EXPECT_TRUE(engine.passOpen());
}
