// The serial port on pseudo-terminal pairs: delivery in order, absent devices, closing in the
// middle of a burst.
#include "acquisition/CCommPort.h"
#include "acquisition/PtyPair.h"

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

}  // namespace
