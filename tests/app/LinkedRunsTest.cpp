// Runs through the collector link: bytes on the wire to the channel documents and their
// saved chromatograms, and a run that a new collector takes over.
#include "RunsTestSupport.h"
#include "acquisition/CollectorLink.h"
#include "acquisition/CollectorTestSupport.h"
#include "acquisition/PtyPair.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"

#include <gtest/gtest.h>

using namespace dgaws;
using namespace dgaws::test;

namespace {

// Frames of both channels from the magnitudes `a` and `b` gives for each frame, A's on the
// fine range with the start key held while `key` says so, B's negative on the coarse one;
// the values the card makes of them are added to `va` and `vb`.
template <class A, class B, class Key>
std::vector<uint8_t> frames(int n, A a, B b, Key key, std::vector<float>& va,
                            std::vector<float>& vb)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < n; ++i) {
        for (const auto& f : {frame(0, a(i), false, false, key(i)), frame(1, b(i), true, true)})
            bytes.insert(bytes.end(), f.begin(), f.end());
        va.push_back(expectedMicrovolts(a(i), false, false));
        vb.push_back(expectedMicrovolts(b(i), true, true));
    }
    return bytes;
}

// The instrument's start key, held for many frames and pressed again later, opens both
// channel windows and starts both runs once, with the frame that carries it; the runs are
// saved sample for sample as the frames were built.
TEST(LinkedRuns, TheStartKeyOnTheWireStartsBothChannelsOnceAndTheRunsAreSavedAsSent)
{
    PtyPair pty;
    RunsBench b(0.5);  // 600 points
    CollectorLink link(b.settings, *b.runs);
    link.newCollector();
    ASSERT_TRUE(link.openCollectorPort(pty.path()));
    std::vector<float> va, vb;
    std::vector<uint8_t> bytes{0xE0};
    const auto run = frames(
        700, [](int i) { return 20000 + 15 * i + (i > 500 && i < 560 ? 40000 : 0); },
        [](int i) { return 3000 + (i % 97) * 11; },
        [](int i) { return i < 40 || (i > 300 && i < 320); }, va, vb);
    bytes.insert(bytes.end(), run.begin(), run.end());
    LineFeeder feeder(pty, bytes);
    ASSERT_TRUE(pumpUntil([&] { return b.saved.size() == 2; }));
    ASSERT_NE(b.docs[0], nullptr);
    ASSERT_NE(b.docs[1], nullptr);
    // Frame 7 of A carries the start; B's next point is its first.
    for (const auto& [channel, path] : b.saved) {
        const ChromatogramData d = readChromatogramFile(path);
        EXPECT_EQ(d.signal.values(), cardPoints(channel == 0 ? va : vb, 606)) << path;
        EXPECT_EQ(d.pointsPerSecond, 20);
    }
    EXPECT_TRUE(b.autosaves().empty());
}

// The connect command during a run: a simulation going on ends first (the new collector has
// no demonstration values, it would put -1.0 uV points into the channel), and the channels
// move over to the new collector, the run going on into the same documents, the ignition
// indicator with it.
TEST(LinkedRuns, ANewCollectorEndsTheSimulationAndTakesTheRunOver)
{
    RunsBench b(1.0);
    b.settings.AllStart = 0;
    const std::vector<float> values(400, 5000.0f);
    b.settings.SimDataPath = b.dir.path("QLCHGDATA.DMD");
    writeFileAtomically(
        b.settings.SimDataPath,
        std::string(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(float)));
    CollectorLink link(b.settings, *b.runs);
    link.setSimulationSpeed(1000.0);
    ASSERT_TRUE(link.startSimulation());
    b.openBoth();
    ASSERT_TRUE(b.runs->run(b.doc(0)));
    ASSERT_TRUE(pumpUntil([&] { return b.doc(0).acquiredCount >= 50; }));
    ASSERT_TRUE(b.doc(0).ignited());

    link.newCollector();
    EXPECT_FALSE(link.simulationMode());
    const int n = b.doc(0).acquiredCount;
    QCoreApplication::processEvents();  // a tick that was due plays nothing now
    EXPECT_EQ(b.doc(0).acquiredCount, n);
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(b.doc(0).data.signal.at(i), 5000.0f) << i;
    CCollector& fresh = *link.collector();
    EXPECT_TRUE(fresh.attached(0) && fresh.attached(1));
    EXPECT_TRUE(b.doc(0).ignited());
    EXPECT_TRUE(fresh.running(0));
    EXPECT_FALSE(fresh.running(1));
    EXPECT_EQ(fresh.runPointCount(0), n);
    fresh.channelSample(0, 7.0f, false);
    fresh.channelSample(1, 7.0f, false);
    EXPECT_EQ(b.doc(0).acquiredCount, n + 1);
    EXPECT_EQ(b.doc(0).data.signal.at(n), 7.0f);
    EXPECT_FALSE(b.doc(0).ignited());
    EXPECT_EQ(b.doc(1).acquiredCount, 0);
    b.runs->stop(b.doc(0));
    ASSERT_EQ(b.saved.size(), 1u);
    EXPECT_EQ(readChromatogramFile(b.saved[0].second).signal.count(), n + 1);
}

}  // namespace
