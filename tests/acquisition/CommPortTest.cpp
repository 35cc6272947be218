// The serial port on a pseudo-terminal and on a scripted device: the line settings, delivery
// in order, and the failure paths a real device seldom shows on demand (a refused open, a
// setter failing, a read error that keeps coming).
#include "acquisition/CCommPort.h"
#include "acquisition/CollectorLink.h"
#include "acquisition/CollectorTestSupport.h"
#include "acquisition/PtyPair.h"
#include "acquisition/ScriptedSerialPort.h"

#include <QCoreApplication>
#include <QEvent>

#include <gtest/gtest.h>

using namespace dgaws;
using namespace dgaws::test;

namespace {

const std::string kDevice = "/dev/ttyUSB0";

TEST(SerialPort, OnARealLineEveryByteArrivesOnceAndInOrder)
{
    ensureApp();
    CCommPort port;
    std::vector<std::string> errors;
    port.setErrorSink([&](const std::string& e) { errors.push_back(e); });
    EXPECT_FALSE(port.open([](uint8_t) {}, "/dev/dgaws-no-such-port"));
    EXPECT_TRUE(errors.empty()) << "an absent device is the caller's to report";
    PtyPair pty;
    std::vector<uint8_t> got, sent;
    ASSERT_TRUE(port.open([&](uint8_t b) { got.push_back(b); }, pty.path()));
    for (int i = 0; i < 3000; ++i)
        sent.push_back(static_cast<uint8_t>((i * 37) & 0xFF));
    LineFeeder feeder(pty, sent);
    EXPECT_TRUE(pumpUntil([&] { return got.size() >= sent.size(); }));
    EXPECT_EQ(got, sent);
    EXPECT_TRUE(errors.empty()) << errors.front();
}

class CommPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureApp();
        ports.install(port);
        port.setErrorSink([this](const std::string& text) { reports.push_back(text); });
    }
    CCommPort::ByteSink collect()
    {
        return [this](uint8_t b) { got.push_back(b); };
    }

    ScriptedPorts ports;  // outlives the port that uses it
    CCommPort port;
    std::vector<std::string> reports;
    std::vector<uint8_t> got;
};

// The first setter that fails is reported once, naming it; the rest are skipped and the
// port still counts as open and still delivers.
TEST_F(CommPortTest, TheLineIsSetAsAskedAndEachFailingSetterIsReportedOnce)
{
    ASSERT_TRUE(port.open(collect(), kDevice, 4800, 'e', 7, 2));
    const ScriptedSerialPort& line = *ports.last();
    EXPECT_EQ(line.devicePath, kDevice);
    EXPECT_EQ(line.baud, 4800);
    EXPECT_EQ(line.dataBits, QSerialPort::Data7);
    EXPECT_EQ(line.parity, QSerialPort::EvenParity);
    EXPECT_EQ(line.stopBits, QSerialPort::TwoStop);
    EXPECT_EQ(line.flowControl, QSerialPort::NoFlowControl);
    EXPECT_TRUE(line.requestToSend);
    EXPECT_TRUE(reports.empty());
    const std::vector<std::string> setters{"setBaudRate()", "setDataBits()", "setParity()",
                                           "setStopBits()", "setFlowControl()"};
    for (size_t i = 0; i < setters.size(); ++i) {
        SCOPED_TRACE(setters[i]);
        reports.clear();
        got.clear();
        ports.next.failingSetter = setters[i];
        ASSERT_TRUE(port.open(collect(), kDevice));
        EXPECT_TRUE(port.isOpen());
        EXPECT_EQ(
            reports,
            (std::vector<std::string>{"WARNING:  " + setters[i] +
                                      " Failed with the following error: \n"
                                      "Inappropriate ioctl for device\nPort: /dev/ttyUSB0\n"}));
        ScriptedSerialPort& dev = *ports.last();
        EXPECT_EQ(dev.attempted,
                  std::vector<std::string>(setters.begin(), setters.begin() + i + 1));
        EXPECT_TRUE(dev.requestToSend);
        dev.feed({0x41});
        EXPECT_EQ(got, std::vector<uint8_t>{0x41});
    }
}

// A pulled plug fails on every read: one report per open, none from a port already closed.
TEST_F(CommPortTest, AReadErrorIsReportedOncePerOpen)
{
    const std::string readFailure =
        "WARNING:  read() Failed with the following error: \nInput/output error\n"
        "Port: /dev/ttyUSB0\n";
    ASSERT_TRUE(port.open(collect(), kDevice));
    QPointer<ScriptedSerialPort> first = ports.last();
    first->failRead();
    first->failRead();
    EXPECT_EQ(reports, std::vector<std::string>{readFailure});

    port.close();
    ASSERT_TRUE(port.open(collect(), kDevice));
    ASSERT_FALSE(first.isNull());  // deleted later, so it can still fail after the close
    first->failRead();
    EXPECT_EQ(reports.size(), 1u);
    ports.last()->failRead();
    ports.last()->failRead();
    EXPECT_EQ(reports, (std::vector<std::string>{readFailure, readFailure}));
}

// An adapter pulled out during a run is told once, tried again while it is away, and the run
// goes on with the points that come once it is plugged back in. A busy or absent device
// picked later: the port says nothing, the link tells the operator and falls back to the
// simulated connection; the next pick opens at the collector's line.
TEST_F(CommPortTest, ARefusedOrUnpluggedPortIsToldByTheLinkAndTakenBackWhenItReturns)
{
    LinkBench bench;
    bench.settings.searchWaitScale = 0.005;
    CollectorLink link(bench.settings, bench.host);
    ports.install(link.port());
    std::vector<std::string> told, messages;
    std::vector<QString> back;
    QObject::connect(&link, &CollectorLink::portError,
                     [&](const QString& t) { told.push_back(t.toStdString()); });
    QObject::connect(&link, &CollectorLink::message,
                     [&](const QString& t) { messages.push_back(t.toStdString()); });
    QObject::connect(&link, &CollectorLink::portBack, [&](const QString& p) { back.push_back(p); });
    const auto pick = [](const std::vector<PortEntry>&) {
        return CollectorLink::PortChoice{kDevice, false};
    };
    ASSERT_TRUE(link.openCollectorPort(kDevice));
    bench.host.runBoth();
    ports.last()->feed({0xE0});
    const auto oneFrame = [&] {
        const auto f = frame(0, 1000);
        ports.last()->feed(std::vector<uint8_t>(f.begin(), f.end()));
    };
    for (int i = 0; i < 8; ++i)
        oneFrame();
    ASSERT_EQ(bench.host.values(0).size(), 2u);

    ports.next.refuseOpen = true;  // still unplugged for the first attempts
    ports.last()->failRead(QStringLiteral("No such device"), QSerialPort::ResourceError);
    ports.last()->failRead(QStringLiteral("No such device"), QSerialPort::ResourceError);
    EXPECT_EQ(told.size(), 1u);
    EXPECT_FALSE(link.portOpen());
    const size_t made = ports.made.size();
    ASSERT_TRUE(pumpUntil([&] { return ports.made.size() >= made + 2; }));
    EXPECT_TRUE(back.empty());

    ports.next.refuseOpen = false;  // plugged back in
    ASSERT_TRUE(pumpUntil([&] { return link.portOpen(); }));
    EXPECT_EQ(back, std::vector<QString>{QString::fromStdString(kDevice)});
    EXPECT_EQ(link.connectedPort(), kDevice);
    for (int i = 0; i < 2; ++i)
        oneFrame();
    EXPECT_EQ(bench.host.values(0).size(), 4u);
    EXPECT_EQ(told.size(), 1u);
    EXPECT_TRUE(messages.empty());

    ports.next.refuseOpen = true;
    EXPECT_FALSE(link.connectManually(nullptr, pick));
    EXPECT_FALSE(link.portOpen());
    EXPECT_TRUE(link.simulationMode());
    EXPECT_EQ(messages.size(), 1u);
    ports.next.refuseOpen = false;
    EXPECT_TRUE(link.connectManually(nullptr, pick));
    EXPECT_TRUE(link.portOpen());
    const ScriptedSerialPort& dev = *ports.last();
    EXPECT_EQ(dev.baud, 9600);
    EXPECT_EQ(dev.parity, QSerialPort::NoParity);
    EXPECT_EQ(dev.dataBits, QSerialPort::Data8);
    EXPECT_EQ(dev.stopBits, QSerialPort::OneStop);
    EXPECT_EQ(told.size(), 1u);
}

// Closing from inside a delivery, as a stop does, and opening again at once: the rest of the
// burst reaches nobody and the new port starts clean.
TEST_F(CommPortTest, ACloseInsideABurstDropsTheRestAndAReopenStartsClean)
{
    std::vector<uint8_t> after;
    ASSERT_TRUE(port.open(
        [&](uint8_t b) {
            got.push_back(b);
            if (got.size() == 3) {
                port.close();
                port.open([&](uint8_t c) { after.push_back(c); }, kDevice);
            }
        },
        kDevice));
    QPointer<ScriptedSerialPort> first = ports.last();
    first->feed({1, 2, 3, 4, 5, 6});
    EXPECT_EQ(got, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(after.empty());
    EXPECT_FALSE(first->isOpen());

    ASSERT_EQ(ports.made.size(), 2u);
    ports.last()->feed({7, 8});
    EXPECT_EQ(after, (std::vector<uint8_t>{7, 8}));

    // The closed device is freed once the delivery has unwound.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
}

}  // namespace
