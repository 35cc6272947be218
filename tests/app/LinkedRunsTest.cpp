// Runs through the collector link: bytes on the wire to the channel documents and their
// saved chromatograms, and a run that a new collector takes over.
#include "RunsTestSupport.h"
#include "acquisition/CollectorLink.h"
#include "acquisition/CollectorTestSupport.h"
#include "acquisition/PtyPair.h"

#include "chromatogram/ChromatogramFile.h"

#include <gtest/gtest.h>

#include <thread>

using namespace dgaws;
using namespace dgaws::test;

namespace {

// A run from bytes written into a pseudo-terminal to the saved chromatogram, checked against
// the values the frames were built from.
TEST(LinkedRuns, ARunFromTheWireIsSavedSampleForSample)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    RunsBench b(1.0);  // 1200 points
    CollectorLink link(b.settings, *b.runs);
    link.newCollector();
    b.openBoth();
    ASSERT_TRUE(link.OpenCollectorPort(pty.path()));
    ASSERT_TRUE(pty.write({0xE0}));
    ASSERT_TRUE(pumpUntil([&] { return link.collector()->confirmed(); }));
    ASSERT_TRUE(b.runs->run(b.doc(0)));  // both channels (AllStart)

    // Channel A a slow ramp with a peak, channel B negative values on the coarse range, with
    // the line's usual dirt in between.
    const int frames = 1206;
    std::vector<uint8_t> bytes;
    std::vector<float> va, vb;
    for (int i = 0; i < frames; ++i) {
        const int32_t ma = 20000 + 15 * i + (i > 500 && i < 560 ? 40000 : 0);
        const int32_t mb = 3000 + (i % 97) * 11;
        const auto fa = frame(0, ma), fb = frame(1, mb, true, true);
        va.push_back(expectedMicrovolts(ma, false, false));
        vb.push_back(expectedMicrovolts(mb, true, true));
        bytes.insert(bytes.end(), fa.begin(), fa.end());
        if (i % 50 == 7)
            bytes.insert(bytes.end(), {0xC3, 0x12});  // ignored, then a stray data byte
        bytes.insert(bytes.end(), {fb[0], fb[1]});
        if (i % 64 == 3)
            bytes.push_back(0xE1);  // a ready byte inside a frame
        bytes.insert(bytes.end(), {fb[2], fb[3]});
    }
    std::thread writer([&] { pty.write(bytes); });
    const bool ended = pumpUntil([&] { return !b.doc(0).acquiring() && !b.doc(1).acquiring(); });
    writer.join();
    ASSERT_TRUE(ended);
    ASSERT_EQ(b.saved.size(), 2u);

    for (const auto& [channel, path] : b.saved) {
        const ChromatogramData d = readChromatogramFile(path);
        EXPECT_EQ(d.signal.values(), cardPoints(channel == 0 ? va : vb)) << path;
        EXPECT_EQ(d.pointsPerSecond, 20);
    }
    EXPECT_TRUE(b.autosaves().empty());
}

// The instrument's start key, held for many frames, opens both channel windows and starts
// both runs once, with the frame that carries it.
TEST(LinkedRuns, TheStartSignalOnTheWireStartsBothChannelsOnce)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    RunsBench b(0.5);  // 600 points
    CollectorLink link(b.settings, *b.runs);
    link.newCollector();
    ASSERT_TRUE(link.OpenCollectorPort(pty.path()));
    std::vector<uint8_t> bytes{0xE0};
    std::vector<float> va, vb;
    for (int i = 0; i < 700; ++i) {
        const bool key = i < 40 || (i > 300 && i < 320);  // pressed again during the run
        const int32_t ma = 7000 + 3 * i, mb = 9000 - 2 * i;
        for (const auto& f : {frame(0, ma, false, false, key), frame(1, mb)})
            bytes.insert(bytes.end(), f.begin(), f.end());
        va.push_back(expectedMicrovolts(ma, false, false));
        vb.push_back(expectedMicrovolts(mb, false, false));
    }
    std::thread writer([&] { pty.write(bytes); });
    const bool saved = pumpUntil([&] { return b.saved.size() == 2; });
    writer.join();
    ASSERT_TRUE(saved);
    ASSERT_NE(b.docs[0], nullptr);
    ASSERT_NE(b.docs[1], nullptr);
    // Frame 7 of A carries the start; B's next point is its first.
    for (const auto& [channel, path] : b.saved)
        EXPECT_EQ(readChromatogramFile(path).signal.values(), cardPoints(channel == 0 ? va : vb, 606))
            << path;
}

// The connect command during a run: the channels move over to the new collector and the
// run goes on into the same documents, the ignition indicator with it.
TEST(LinkedRuns, ANewCollectorTakesTheRunOver)
{
    RunsBench b(1.0);
    b.settings.AllStart = 0;
    CollectorLink link(b.settings, *b.runs);
    link.newCollector();
    b.openBoth();
    ASSERT_TRUE(b.runs->run(b.doc(0)));
    for (int i = 0; i < 30; ++i)
        link.collector()->channelSample(0, 5000.0f, false);
    ASSERT_TRUE(b.doc(0).ignited());

    link.newCollector();
    CCollector& fresh = *link.collector();
    EXPECT_TRUE(fresh.attached(0));
    EXPECT_TRUE(fresh.attached(1));
    EXPECT_TRUE(b.doc(0).acquiring());
    EXPECT_TRUE(b.doc(0).ignited());
    EXPECT_FALSE(b.doc(1).acquiring());
    EXPECT_TRUE(fresh.running(0));
    EXPECT_FALSE(fresh.running(1));
    EXPECT_EQ(fresh.runPointCount(0), 30);
    fresh.channelSample(0, 7.0f, false);
    fresh.channelSample(1, 7.0f, false);
    EXPECT_EQ(b.doc(0).acquiredCount, 31);
    EXPECT_EQ(b.doc(0).data.signal.at(30), 7.0f);
    EXPECT_FALSE(b.doc(0).ignited());
    EXPECT_EQ(b.doc(1).acquiredCount, 0);
    b.runs->stop(b.doc(0));
    ASSERT_EQ(b.saved.size(), 1u);
    EXPECT_EQ(readChromatogramFile(b.saved[0].second).signal.count(), 31);
}

}  // namespace
