#include "EngineTestSupport.h"

#include <gtest/gtest.h>

using namespace dgaws;
using namespace dgaws::test;

namespace {

struct Watch {
    ChromatogramData data;
    PeakEngine engine{data};

    explicit Watch(const std::vector<float>& samples)
    {
        data.signal.assign(samples);
        engine.StartSignalWatch();
        for (float v : samples)
            engine.FeedStartSignal(v);
    }
};

}  // namespace

TEST(StartSignal, DipAndRecoveryAreFound)
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
}

TEST(StartSignal, QuietSignalIsNotAStart)
{
    Watch w(SyntheticSignal(2000, 100.0f).noise(0.3).floats());
    EXPECT_FALSE(w.engine.startSignal().found());
    EXPECT_EQ(w.engine.startSignal().state(), 1);
    EXPECT_FALSE(w.engine.confirmStartSignal(0.2));
}
