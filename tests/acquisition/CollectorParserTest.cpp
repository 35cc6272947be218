// The collector's byte stream: frames, the ready byte, warm-up and decimation, range repair,
// the start bit, damaged input and the receive ring; then the channel sample operation:
// polarity, the ignition indicator, zeroing.
#include "acquisition/BaselineLevelling.h"
#include "acquisition/CollectorTestSupport.h"

#include <gtest/gtest.h>

using namespace dgaws;
using namespace dgaws::test;

namespace {

TEST(CollectorFrame, DecodesChannelRangeSignAndMagnitude)
{
    const CollectorFrame b = decodeFrame({0x90, 0x00, 0x00, 0x01});
    EXPECT_EQ(b.channel, 1);
    EXPECT_FALSE(b.coarse || b.negative || b.startSignal);
    EXPECT_NEAR(b.microvolts, 0.0745058432, 1e-10);
    const CollectorFrame a = decodeFrame({0x85, 0x7F, 0x7F, 0x7F});
    EXPECT_EQ(a.channel, 0);
    EXPECT_TRUE(a.coarse && a.negative);
    EXPECT_EQ(a.magnitude, 2097151);
    EXPECT_NEAR(a.microvolts, -2.5e6, 2.0);  // -2.5 V
    // Only bits 4 and 5 select the channel; the groups of seven bits come most significant first.
    for (uint8_t h : {0x80, 0xA0, 0xB0, 0x8F, 0xAF, 0xBF, 0x90, 0x91, 0x9C, 0x9F})
        EXPECT_EQ(decodeFrame({h, 0, 0, 0}).channel, (h & 0x30) == 0x10 ? 1 : 0) << int(h);
    EXPECT_EQ(decodeFrame({0x80, 0x01, 0x02, 0x03}).magnitude, 16384 + 256 + 3);
}

// No point before the first ready byte, which may come inside a frame; the other card type
// gives nothing at all.
TEST(CollectorParser, FramesGivePointsOnlyAfterTheReadyByteOfThisCard)
{
    CollectorBench bench(false);
    bench.host.runBoth();
    std::vector<float> values;
    for (int i = 0; i < 20; ++i) {
        feed(*bench.collector, frame(0, 1000 + i * 10));
        values.push_back(expectedMicrovolts(1000 + i * 10, false, false));
    }
    EXPECT_TRUE(bench.host.points.empty());
    EXPECT_FALSE(bench.collector->confirmEvent().isSet());
    const auto f = frame(0, 5000);
    feed(*bench.collector, std::vector<uint8_t>{f[0], f[1], 0xF3, f[2], f[3]});
    values.push_back(expectedMicrovolts(5000, false, false));
    EXPECT_TRUE(bench.collector->confirmEvent().isSet());
    EXPECT_EQ(bench.host.confirmations, 1);
    EXPECT_EQ(bench.host.values(0), std::vector<float>{cardPoints(values).back()});
    feed(*bench.collector, std::vector<uint8_t>{0xFF});
    EXPECT_EQ(bench.host.confirmations, 1) << "later ready bytes change nothing";

    CollectorBench other(false);
    other.settings.liveCardType = 1;
    other.host.runBoth();
    feed(*other.collector, std::vector<uint8_t>{0xE0});
    for (int i = 0; i < 20; ++i)
        feed(*other.collector, frame(0, 100));
    EXPECT_FALSE(other.collector->confirmed());
    EXPECT_TRUE(other.host.points.empty());
}

class Decimation : public ::testing::TestWithParam<int> {};

TEST_P(Decimation, SixFramesWarmUpThenEveryFrameOrEverySecond)
{
    CollectorBench bench;
    bench.settings.pointsPerSecond = GetParam();
    bench.host.runBoth();
    std::vector<float> a;
    for (int i = 0; i < 30; ++i) {
        feed(*bench.collector, frame(0, 200 * i + 7));
        a.push_back(expectedMicrovolts(200 * i + 7, false, false));
        // Channel B frames in between must not move channel A's counters.
        feed(*bench.collector, frame(1, 3));
    }
    const std::vector<float> all = cardPoints(a);  // one per frame from the 7th
    std::vector<float> expected;
    for (size_t k = 0; k < all.size(); k += GetParam() == 10 ? 2 : 1)
        expected.push_back(all[k]);
    EXPECT_EQ(bench.host.values(0), expected);
    EXPECT_EQ(bench.host.values(1).size(), expected.size());
}

INSTANTIATE_TEST_SUITE_P(PointsPerSecond, Decimation, ::testing::Values(10, 20, 50));

// A switch of range is repaired by a straight line over the card's settling frames; the
// range of a channel's first frame is no switch.
TEST(CollectorParser, ARangeSwitchIsRepairedByAStraightLine)
{
    CollectorBench bench;
    bench.host.runBoth();
    auto& c = *bench.collector;
    const int32_t fine = 1600;  // 119.2 uV
    const std::vector<int32_t> coarse = {500, 20, 300, 110, 111, 112, 113, 114, 115, 116};
    std::vector<float> first;
    for (int i = 0; i < 10; ++i) {
        feed(c, frame(0, fine));
        feed(c, frame(1, coarse[static_cast<size_t>(i)], true));
        first.push_back(expectedMicrovolts(coarse[static_cast<size_t>(i)], true, false));
    }
    for (int32_t m : coarse)
        feed(c, frame(0, m, true));
    const float before = expectedMicrovolts(fine, false, false);
    const float after = expectedMicrovolts(110, true, false);
    const float d = (after - before) * 0.25f;
    const float r3 = after - d, r2 = r3 - d, r1 = r2 - d;
    std::vector<float> repaired(10, before);
    repaired.insert(repaired.end(), {r1, r2, r3});
    for (size_t i = 3; i < coarse.size(); ++i)
        repaired.push_back(expectedMicrovolts(coarse[i], true, false));
    EXPECT_EQ(bench.host.values(0), cardPoints(repaired));
    EXPECT_EQ(bench.host.values(1), cardPoints(first));
}

// A start bit held for many frames starts once, opening both windows (AllStart); one seen
// during the warm-up starts with the first point, and alone without AllStart.
TEST(CollectorParser, AStartBitHeldForManyFramesStartsOnce)
{
    CollectorBench bench;
    bench.host.validMethod = false;  // each start then reports itself
    auto& c = *bench.collector;
    for (int i = 0; i < 60; ++i)
        feed(c, frame(0, 100, false, false, true));
    EXPECT_EQ(bench.host.noMethod, (std::vector<int>{0, 1}));
    EXPECT_TRUE(c.attached(0) && c.attached(1));
    for (int i = 0; i < 10; ++i)
        feed(c, frame(0, 100));
    EXPECT_EQ(bench.host.noMethod.size(), 2u);
    for (int i = 0; i < 10; ++i)
        feed(c, frame(0, 100, false, false, true));
    EXPECT_EQ(bench.host.noMethod, (std::vector<int>{0, 1, 0, 1}));

    CollectorBench warm;
    warm.settings.AllStart = 0;
    for (int i = 0; i < 6; ++i)
        feed(*warm.collector, frame(0, 100, false, false, i < 2));
    EXPECT_TRUE(warm.host.runStarts.empty());
    feed(*warm.collector, frame(0, 100));  // the 7th frame, the first point: it carries the start
    EXPECT_EQ(warm.host.runStarts, (std::vector<int>{0}));
    EXPECT_EQ(warm.host.values(0).size(), 1u);
    EXPECT_FALSE(warm.collector->attached(1));
}

// Damaged input loses only the damaged frames, and however the stream is split into reads,
// the points are the same.
TEST(CollectorParser, DamagedOrSplitInputGivesThePointsOfTheWholeFrames)
{
    std::vector<uint8_t> clean{0xE0}, damaged{0xE0};
    for (int i = 0; i < 300; ++i) {
        const auto f = frame(i % 2, (i * 7919) % 2097152, i % 13 == 0, i % 5 == 0, i % 50 < 3);
        switch (i % 5) {
        case 0: damaged.insert(damaged.end(), {0x05, 0x7F}); break;        // data with no header
        case 1: damaged.insert(damaged.end(), {0xC0, 0xDF, 0xD3}); break;  // ignored bytes
        case 2: damaged.insert(damaged.end(), {0x84, 0x01, 0x02}); break;  // cut-off frame
        case 3: damaged.push_back(0xE7); break;  // ready byte between frames
        default: break;
        }
        for (auto* to : {&clean, &damaged})
            to->insert(to->end(), f.begin(), f.end());
        if (i % 17 == 0)
            clean.push_back(0xC5);
    }
    auto run = [](const std::vector<uint8_t>& bytes, size_t chunk) {
        CollectorBench bench(false);
        bench.host.runBoth();
        for (size_t at = 0; at < bytes.size(); at += chunk) {
            for (size_t i = at; i < std::min(at + chunk, bytes.size()); ++i)
                bench.collector->push(bytes[i]);
            bench.collector->parse();
        }
        return std::array<std::vector<float>, 2>{bench.host.values(0), bench.host.values(1)};
    };
    const auto whole = run(clean, clean.size());
    ASSERT_EQ(whole[0].size() + whole[1].size(), 2u * (150 - 6));
    for (size_t chunk : {1u, 3u, 4u, 7u, 64u, 100000u}) {
        EXPECT_EQ(run(clean, chunk), whole) << chunk;
        EXPECT_EQ(run(damaged, chunk), whole) << chunk;
    }
}

TEST(CollectorParser, AFullRingLosesItsUnreadBytesButNotTheAcquiredPoints)
{
    CollectorBench bench;
    bench.host.runBoth();
    auto& c = *bench.collector;
    for (int i = 0; i < 10; ++i)
        feed(c, frame(0, 4000 + i));
    const auto acquired = bench.host.values(0);
    ASSERT_EQ(acquired.size(), 4u);
    for (size_t i = 0; i < ByteRing::kSize - 1; ++i)
        c.push(frame(0, 9)[i % 4]);
    EXPECT_EQ(c.queued(), ByteRing::kSize - 1);
    c.push(0x80);  // the write meets the read index: everything unread is gone
    EXPECT_EQ(c.queued(), 0u);
    c.parse();
    EXPECT_EQ(bench.host.values(0), acquired);
    feed(c, frame(0, 4100));  // the stream goes on normally after the loss
    EXPECT_EQ(bench.host.values(0).size(), 5u);
    for (uint8_t byte : frame(0, 4200))
        c.push(byte);
    c.reset();  // back to the state after construction, nothing queued
    EXPECT_EQ(c.queued(), 0u);
}

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
    for (int i = 0; i < 19; ++i)  // the count starts again from nothing
        c.channelSample(0, 5000.0f, false);
    EXPECT_FALSE(run.ignited);
    bench.host.openChannel(1);  // channel B has its own count
    for (int i = 0; i < 20; ++i)
        c.channelSample(1, 5000.0f, false);
    EXPECT_TRUE(c.run(1).ignited);
    EXPECT_FALSE(run.ignited);
}

// An inverted channel flips its sign; automatic zero makes each run's first point zero; a
// zero request zeroes from the next point on; a channel that is not running drops points.
TEST(ChannelSample, PolarityAutomaticZeroAndZeroRequests)
{
    CollectorBench bench;
    bench.host.openChannel(0);
    auto& c = *bench.collector;
    c.channelSample(0, 1.0f, false);
    EXPECT_TRUE(bench.host.points.empty());
    EXPECT_EQ(c.runPointCount(0), 0);

    bench.settings.ConvertB = 1;
    bench.settings.AutoBase = 1;
    bench.host.runBoth();
    for (float v : {100.0f, 150.0f, 90.0f})
        c.channelSample(0, v, false);
    c.stopRunning(0);
    c.channelSample(0, 500.0f, false);  // not running: dropped
    bench.host.runStart(0);
    c.channelSample(0, 40.0f, false);
    c.channelSample(0, 45.0f, false);
    EXPECT_EQ(bench.host.values(0), (std::vector<float>{0.0f, 50.0f, -10.0f, 0.0f, 5.0f}));

    bench.settings.AutoBase = 0;
    c.channelSample(1, 12.5f, false);  // inverted
    c.channelSample(1, -3.0f, false);
    ChannelRun& run = c.run(1);
    run.zeroRequest = true;
    c.channelSample(1, 300.0f, false);
    c.channelSample(1, 330.0f, false);
    EXPECT_FALSE(run.zeroRequest);
    EXPECT_TRUE(c.zeroActive(1));
    EXPECT_EQ(bench.host.values(1), (std::vector<float>{-12.5f, 3.0f, 0.0f, -30.0f}));
    c.stopRunning(1);
    EXPECT_FALSE(c.zeroActive(1));
}

// A levelling window acts only when it starts after the run does and ends after it starts.
TEST(BaselineLevelling, WindowsActOnlyWhenStartedAndOrdered)
{
    AcquisitionSettings s;
    s.StartA1 = "0";
    s.StopA1 = "1";
    s.StartA2 = "2";
    s.StopA2 = "1";
    s.StartA3 = "abc";
    s.StopA3 = "3";
    EXPECT_EQ(settingNumber(" +12.5x"), 12.5) << "read as the C library's atof, in any locale";
    EXPECT_EQ(settingNumber("\t-3"), -3.0);
    const BaselineLevelling l = BaselineLevelling::fromSettings(s, 0, 20);
    EXPECT_EQ(l.active, (std::array<bool, 3>{false, false, false}));
    // Windows see the value after the offsets of the windows before them.
    s.StartA1 = "0.05";  // points 60..119
    s.StopA1 = "0.1";
    s.StartA2 = "0.075";  // points 90..149
    s.StopA2 = "0.125";
    BaselineLevelling two = BaselineLevelling::fromSettings(s, 0, 20);
    std::vector<float> out;
    for (int p = 1; p <= 200; ++p)
        out.push_back(two.apply(p, static_cast<float>(p)));
    EXPECT_EQ(out[58], 59.0f);
    EXPECT_EQ(out[89], 60.0f);   // window 2 holds what window 1 let through
    EXPECT_EQ(out[119], 60.0f);  // window 1 ends: its step of 60 is taken off
    EXPECT_EQ(out[149], 60.0f);  // window 2 ends: its own step of 30 is taken off too
    EXPECT_EQ(out[199], 110.0f);
}

}  // namespace
