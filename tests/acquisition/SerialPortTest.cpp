// The serial port on pseudo-terminal pairs: delivery in order, absent devices, closing in the
// middle of a burst, and a whole run from the wire to the saved chromatogram.
#include "acquisition/CCommPort.h"
#include "acquisition/CollectorLink.h"
#include "acquisition/CollectorTestSupport.h"
#include "acquisition/PtyPair.h"
#include "acquisition/RunsTestSupport.h"

#include "chromatogram/ChromatogramFile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace dgaws;
using namespace dgaws::test;

namespace {

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override { ensureApp(); }
};

TEST_F(SerialPortTest, EveryByteArrivesOnceAndInOrder)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    CCommPort port;
    std::vector<std::string> errors;
    port.setErrorSink([&](const std::string& e) { errors.push_back(e); });
    std::vector<uint8_t> got;
    ASSERT_TRUE(port.Open([&](uint8_t b) { got.push_back(b); }, pty.path()));
    EXPECT_TRUE(port.isOpen());
    std::vector<uint8_t> sent;
    for (int i = 0; i < 3000; ++i)
        sent.push_back(static_cast<uint8_t>((i * 37) & 0xFF));
    std::thread writer([&] { pty.write(sent); });
    EXPECT_TRUE(pumpUntil([&] { return got.size() >= sent.size(); }));
    writer.join();
    EXPECT_EQ(got, sent);
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(SerialPortTest, AnAbsentDeviceFailsQuietlyAndTheNextOpenWorks)
{
    CCommPort port;
    int reports = 0;
    port.setErrorSink([&](const std::string&) { ++reports; });
    EXPECT_FALSE(port.Open([](uint8_t) {}, "/dev/dgaws-no-such-port"));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(reports, 0);
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    EXPECT_TRUE(port.Open([](uint8_t) {}, pty.path()));
}

TEST_F(SerialPortTest, CloseInTheMiddleOfABurstStopsAtOnceAndFreesTheDevice)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    CCommPort port;
    size_t got = 0;
    ASSERT_TRUE(port.Open(
        [&](uint8_t) {
            if (++got == 100)
                port.Close();  // from inside a delivery, as a stop can do
        },
        pty.path()));
    ASSERT_TRUE(pty.write(std::vector<uint8_t>(1000, 0x41)));
    EXPECT_TRUE(pumpUntil([&] { return got >= 100; }));
    // Whatever else is still queued in the port is never delivered.
    pty.write(std::vector<uint8_t>(50, 0x42));
    pumpUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(got, 100u);
    EXPECT_FALSE(port.isOpen());

    // The device can be opened again at once.
    std::vector<uint8_t> again;
    ASSERT_TRUE(port.Open([&](uint8_t b) { again.push_back(b); }, pty.path()));
    ASSERT_TRUE(pty.write({0x01, 0x02, 0x03}));
    EXPECT_TRUE(pumpUntil([&] { return again.size() >= 3; }));
    EXPECT_EQ(std::vector<uint8_t>(again.end() - 3, again.end()),
              (std::vector<uint8_t>{0x01, 0x02, 0x03}));
}

TEST_F(SerialPortTest, TheFailureTextNamesTheCallAndThePort)
{
    EXPECT_EQ(CCommPort::failureText("setBaudRate()", "Invalid argument", "/dev/ttyUSB0"),
              "WARNING:  setBaudRate() Failed with the following error: \nInvalid argument\n"
              "Port: /dev/ttyUSB0\n");
}

// A run from bytes written into a pseudo-terminal to the saved chromatogram, checked against
// the values the frames were built from.
TEST_F(SerialPortTest, ARunFromTheWireIsSavedSampleForSample)
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
    const bool ended = pumpUntil([&] { return !b.doc(0).acquiring && !b.doc(1).acquiring; });
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
TEST_F(SerialPortTest, TheStartSignalOnTheWireStartsBothChannelsOnce)
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

}  // namespace
