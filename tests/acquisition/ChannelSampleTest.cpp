// The channel sample operation: polarity, the ignition indicator, zeroing.
#include "acquisition/CollectorTestSupport.h"

#include <gtest/gtest.h>

using namespace dgaws;
using namespace dgaws::test;

namespace {

TEST(ChannelSample, IgnitionLightsAtTheTwentiethSampleAboveTheThreshold)
{
    CollectorBench bench;
    bench.host.openChannel(0);
    auto& c = *bench.collector;
    const ChannelRun& run = c.run(0);
    for (int i = 0; i < 19; ++i)
        c.channelSample(0, 2000.5f, false);
    EXPECT_FALSE(run.ignited);
    EXPECT_EQ(bench.host.ignitionChanges, 0);
    c.channelSample(0, 2000.5f, false);
    EXPECT_TRUE(run.ignited);
    EXPECT_EQ(bench.host.ignitionChanges, 1);
    for (int i = 0; i < 50; ++i)
        c.channelSample(0, 9000.0f, false);
    EXPECT_EQ(bench.host.ignitionChanges, 1);

    c.channelSample(0, 2000.0f, false);  // at the threshold counts as out
    EXPECT_FALSE(run.ignited);
    EXPECT_EQ(bench.host.ignitionChanges, 2);
    // The count starts again from nothing.
    for (int i = 0; i < 19; ++i)
        c.channelSample(0, 5000.0f, false);
    EXPECT_FALSE(run.ignited);
    // Channel B has its own count.
    bench.host.openChannel(1);
    for (int i = 0; i < 20; ++i)
        c.channelSample(1, 5000.0f, false);
    EXPECT_TRUE(c.run(1).ignited);
    EXPECT_FALSE(run.ignited);
}

TEST(ChannelSample, AnInvertedChannelFlipsItsSign)
{
    CollectorBench bench;
    bench.settings.ConvertB = 1;
    bench.host.runBoth();
    bench.collector->channelSample(0, 12.5f, false);
    bench.collector->channelSample(1, 12.5f, false);
    bench.collector->channelSample(1, -3.0f, false);
    EXPECT_EQ(bench.host.values(0), (std::vector<float>{12.5f}));
    EXPECT_EQ(bench.host.values(1), (std::vector<float>{-12.5f, 3.0f}));
}

TEST(ChannelSample, AutoBaseMakesTheFirstPointOfEachRunZero)
{
    CollectorBench bench;
    bench.settings.AutoBase = 1;
    bench.host.runBoth();
    auto& c = *bench.collector;
    for (float v : {100.0f, 150.0f, 90.0f})
        c.channelSample(0, v, false);
    EXPECT_EQ(bench.host.values(0), (std::vector<float>{0.0f, 50.0f, -10.0f}));

    // A new run takes a new zero.
    c.stopRunning(0);
    c.channelSample(0, 500.0f, false);  // not running: dropped
    bench.host.runStart(0);
    c.channelSample(0, 40.0f, false);
    c.channelSample(0, 45.0f, false);
    EXPECT_EQ(bench.host.values(0), (std::vector<float>{0.0f, 50.0f, -10.0f, 0.0f, 5.0f}));
}

TEST(ChannelSample, AZeroRequestZeroesFromTheNextPointOn)
{
    CollectorBench bench;
    bench.host.runBoth();
    auto& c = *bench.collector;
    ChannelRun& run = c.run(1);
    c.channelSample(1, 300.0f, false);
    run.zeroRequest = true;
    c.channelSample(1, 320.0f, false);
    c.channelSample(1, 330.0f, false);
    EXPECT_FALSE(run.zeroRequest);
    EXPECT_TRUE(c.zeroActive(1));
    EXPECT_EQ(bench.host.values(1), (std::vector<float>{300.0f, 0.0f, 10.0f}));
    c.stopRunning(1);
    EXPECT_FALSE(c.zeroActive(1));
}

TEST(ChannelSample, APointOfAChannelThatIsNotRunningIsDropped)
{
    CollectorBench bench;
    bench.host.openChannel(0);
    bench.collector->channelSample(0, 1.0f, false);
    EXPECT_TRUE(bench.host.points.empty());
    EXPECT_EQ(bench.collector->runPointCount(0), 0);
}

}  // namespace
