// Finding and connecting the collector: the automatic search over ports, the manual
// connection, the port list's names, and the simulated connection.
#include "acquisition/CollectorLink.h"
#include "acquisition/CollectorTestSupport.h"
#include "acquisition/PortSearch.h"
#include "acquisition/PtyPair.h"
#include "chromatogram/FileIO.h"

#include "../chromatogram/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace dgaws;
using namespace dgaws::test;

namespace {

PortEntry entryFor(const PtyPair& pty, const std::string& name)
{
    PortEntry e;
    e.devicePath = pty.path();
    e.portName = name;
    completePortEntry(e);
    return e;
}

class ConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureApp();
        bench.settings.searchWaitScale = 0.001;
        link = std::make_unique<CollectorLink>(bench.settings, bench.host);
        QObject::connect(link.get(), &CollectorLink::message,
                         [&](const QString& t) { messages.push_back(t.toStdString()); });
    }

    // Runs an automatic search over the listed ports to its end, answering No to every
    // question; returns whether it found the collector.
    bool search(std::function<std::vector<PortEntry>()> enumerate)
    {
        PortSearch s(*link);
        s.setEnumerator(std::move(enumerate));
        s.setAsk([&](const std::string& q) {
            asked.push_back(q);
            return false;
        });
        s.setLog([&](const std::string& line) { logged.push_back(line); });
        QObject::connect(&s, &PortSearch::progress,
                         [&](const QString& t) { texts.push_back(t.toStdString()); });
        std::vector<bool> finished;
        QObject::connect(&s, &PortSearch::finished, [&](bool found) { finished.push_back(found); });
        s.start();
        EXPECT_TRUE(pumpUntil([&] { return finished.size() == 1; }));
        return !finished.empty() && finished[0];
    }

    LinkBench bench;
    std::unique_ptr<CollectorLink> link;
    std::vector<std::string> asked, texts, messages, logged;
};

TEST_F(ConnectionTest, TheSearchSkipsASilentPortAndFindsTheCollectorOnTheNextAgainAndAgain)
{
    PtyPair silent, collector;
    ASSERT_TRUE(silent.ok() && collector.ok());
    // A confirmation window of 25 ms: long enough for a loaded machine to see the byte.
    bench.settings.searchWaitScale = 0.05;
    LineFeeder announcing(collector, {0xE0}, true);  // a collector announcing itself
    EXPECT_TRUE(search([&] {
        return std::vector<PortEntry>{entryFor(silent, "ttyS7"), entryFor(collector, "ttyUSB3")};
    }));
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(link->connectedPort(), collector.path());

    ASSERT_GE(texts.size(), 40u);
    EXPECT_EQ(texts[0], PortSearch::kWaiting);
    EXPECT_EQ(texts[1], PortSearch::kNotice);
    EXPECT_EQ(texts[2], "采集器预热中，需要时间30秒...");
    EXPECT_EQ(texts[31], "采集器预热中，需要时间1秒...");
    const std::vector<std::string> rest(texts.begin() + 32, texts.end());
    EXPECT_EQ(
        rest,
        (std::vector<std::string>{
            "搜索到端口号ttyS7", "正在打开端口号ttyS7，用于确认是否连接色谱仪",
            "已经打开端口号ttyS7，发送色谱仪确认命令...",
            "无法确认端口号ttyS7连接了色谱仪，开始搜索下一端口。", "搜索到端口号ttyUSB3",
            "正在打开端口号ttyUSB3，用于确认是否连接色谱仪",
            "已经打开端口号ttyUSB3，发送色谱仪确认命令...", "确认端口号ttyUSB3连接了色谱仪!"}));
    // Both channel windows are opened after the search (OpenChannelA/B).
    EXPECT_EQ(bench.host.opened, (std::vector<int>{0, 1}));
    EXPECT_TRUE(link->collector()->attached(0));

    // Searched again while connected, the collector's ready bytes confirm only the port they
    // are read from: the search finds it again, or fails; it never reports the silent port.
    for (const bool listed : {true, false}) {
        std::vector<PortEntry> ports{entryFor(silent, "ttyS7")};
        if (listed)
            ports.push_back(entryFor(collector, "ttyUSB3"));
        EXPECT_EQ(search([&] { return ports; }), listed);
        EXPECT_EQ(link->portOpen(), listed);
        EXPECT_EQ(link->connectedPort(), listed ? collector.path() : std::string());
    }
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "确认端口号ttyS7连接了色谱仪!"), 0);
}

// A search that cannot list the ports, or finds nothing, offers the simulated connection.
TEST_F(ConnectionTest, AFailedSearchOffersTheSimulatedConnection)
{
    EXPECT_FALSE(search([]() -> std::vector<PortEntry> { throw std::runtime_error("busy"); }));
    EXPECT_EQ(texts.back(), PortSearch::kDeviceError);
    EXPECT_EQ(asked.size(), 1u);
    asked.clear();
    PtyPair a, b;
    ASSERT_TRUE(a.ok() && b.ok());
    PortEntry absent;
    absent.devicePath = "/dev/dgaws-none";
    absent.portName = "ttyS9";
    completePortEntry(absent);
    EXPECT_FALSE(search([&] {
        return std::vector<PortEntry>{absent, entryFor(a, "ttyS0"), entryFor(b, "ttyS1")};
    }));
    EXPECT_EQ(texts.back(), "无法确认端口号ttyS1连接了色谱仪，色谱端口搜索失败。");
    // Each port passed over is named in the event log with why.
    ASSERT_EQ(logged.size(), 3u);
    EXPECT_EQ(logged[0].rfind("自动搜索跳过了端口ttyS9：端口无法打开（", 0), 0u) << logged[0];
    EXPECT_EQ(logged[1], "自动搜索跳过了端口ttyS0：没有收到色谱仪的应答");
    EXPECT_EQ(logged[2], "自动搜索跳过了端口ttyS1：没有收到色谱仪的应答");
    EXPECT_FALSE(link->portOpen());
    EXPECT_EQ(asked, (std::vector<std::string>{PortSearch::kSimulationQuestion}));
    EXPECT_FALSE(link->simulationMode());
}

// Every manual connection attempt ends the wait window, whatever its outcome: a port that
// does not open, a cancelled choice, a port that stays silent, and each collector that
// answers (the second connection of a program run as well as the first). A default port is
// used after one question, without the list.
TEST_F(ConnectionTest, EveryManualAttemptEndsTheWaitWithItsOutcome)
{
    int over = 0;
    QObject::connect(link.get(), &CollectorLink::connectionWaitOver, [&] { ++over; });
    QObject::connect(link.get(), &CollectorLink::waitText,
                     [&](const QString& t) { texts.push_back(t.toStdString()); });
    EXPECT_FALSE(
        link->connectManually([](const std::string&) { return false; },
                              [](const std::vector<PortEntry>&) {
                                  return CollectorLink::PortChoice{"/dev/dgaws-none", true};
                              }));
    EXPECT_EQ(bench.settings.ComPort, "/dev/dgaws-none");
    EXPECT_EQ(bench.settings.UseDefaultCom, 1);
    EXPECT_TRUE(link->simulationMode());
    EXPECT_EQ(messages,
              std::vector<std::string>{
                  "[串口/dev/dgaws-none]打开失败,请重新选择端口或检查当前端口是否被占用"});
    EXPECT_TRUE(texts.empty());
    EXPECT_EQ(over, 1);

    link->setSimulationMode(false);
    EXPECT_FALSE(link->connectManually(nullptr, [](const std::vector<PortEntry>&) {
        return std::optional<CollectorLink::PortChoice>{};
    }));
    EXPECT_TRUE(link->simulationMode());  // the dialog was cancelled
    EXPECT_EQ(over, 2);
    link->setSimulationMode(false);
    EXPECT_FALSE(link->connectManually(nullptr, [](const std::vector<PortEntry>&) {
        return CollectorLink::PortChoice{"", true};
    }));
    EXPECT_TRUE(link->simulationMode());  // no port chosen
    EXPECT_EQ(over, 3);

    PtyPair silent, collector;
    ASSERT_TRUE(silent.ok() && collector.ok());
    const auto yes = [&](const std::string& q) {
        asked.push_back(q);
        return true;
    };
    const auto list = [](const std::vector<PortEntry>&) {
        ADD_FAILURE() << "a default port needs no list";
        return std::optional<CollectorLink::PortChoice>{};
    };
    bench.settings.ComPort = silent.path();
    ASSERT_TRUE(link->connectManually(yes, list));
    EXPECT_EQ(
        asked,
        (std::vector<std::string>{"软件配置了默认连接[通讯口" + silent.path() + "],是否要采用"}));
    EXPECT_TRUE(pumpUntil([&] { return over == 4; }));
    EXPECT_EQ(messages.back(),
              "[串口" + silent.path() + "]没有收到校验数据,请检查采集器是否连接并已打开电源");

    bench.settings.ComPort = collector.path();
    for (int attempt = 5; attempt <= 6; ++attempt) {
        const size_t told = messages.size();
        ASSERT_TRUE(link->connectManually(yes, list));
        EXPECT_TRUE(link->portOpen());
        EXPECT_EQ(texts.back(), "已经打开[串口" + collector.path() + "],正在等待校验数据...");
        collector.write({0xE5});
        EXPECT_TRUE(pumpUntil([&] { return over == attempt; })) << attempt;
        EXPECT_EQ(messages.size(), told);
    }
}

TEST(PortNames, TheNumberOfAFriendlyName)
{
    EXPECT_EQ(portNumberFromFriendlyName("USB-SERIAL CH340 (COM12)"), 12);
    EXPECT_EQ(portNumberFromFriendlyName("USB Serial (COM1"), 1);
    EXPECT_EQ(portNumberFromFriendlyName("FT232R USB UART (ttyUSB0)"), 0);
    EXPECT_EQ(portNameFromFriendlyName("USB-SERIAL CH340 (COM12)"), "COM12");
    EXPECT_EQ(portNameFromFriendlyName("FT232R USB UART (ttyUSB0)"), "ttyUSB0");

    PortEntry e;
    e.portName = "ttyS0";
    completePortEntry(e);
    EXPECT_EQ(e.description, "ttyS0");
    PortEntry f;
    f.friendlyName = "FT232R USB UART (ttyUSB0)";
    completePortEntry(f);
    EXPECT_EQ(f.description, "FT232R USB UART");
}

// Without its file the simulation is refused with the text of how it was asked for; with
// it, the demonstration data plays into both channels and starts again; an empty file
// plays -1.0.
TEST_F(ConnectionTest, TheDemonstrationDataPlaysIntoBothChannelsAndStartsAgain)
{
    TempDir dir;
    bench.settings.SimDataPath = dir.path("nothing-here.DMD");
    int settingsAsked = 0;
    QObject::connect(link.get(), &CollectorLink::openSettingsRequested, [&] { ++settingsAsked; });
    EXPECT_FALSE(link->startSimulation());
    EXPECT_FALSE(link->startSimulation(CollectorLink::SimulationEntry::DialogButton));
    EXPECT_EQ(messages,
              (std::vector<std::string>{CollectorLink::kNoDemoData, CollectorLink::kNoDemoFile}));
    EXPECT_EQ(settingsAsked, 2);
    EXPECT_FALSE(link->simulationMode());
    messages.clear();

    std::vector<float> values;
    for (int i = 0; i < 1000; ++i)
        values.push_back(static_cast<float>(i) * 0.25f + 3.0f);
    bench.settings.SimDataPath = dir.path("QLCHGDATA.DMD");
    // 4003 bytes: the 3 left over are ignored.
    writeFileAtomically(bench.settings.SimDataPath,
                        std::string(reinterpret_cast<const char*>(values.data()), 4000) +
                            "\x7f\x7f\x7f");
    link->newCollector();
    link->setSimulationSpeed(1000.0);
    ASSERT_TRUE(link->startSimulation());
    EXPECT_TRUE(link->simulationMode());
    EXPECT_EQ(messages, (std::vector<std::string>{CollectorLink::kSimulationStarted}));
    bench.host.runBoth();
    ASSERT_TRUE(pumpUntil([&] { return bench.host.values(1).size() >= 1200; }));
    link->shutdown();
    EXPECT_FALSE(link->simulationMode());
    for (int c = 0; c < 2; ++c) {
        const std::vector<float> got = bench.host.values(c);
        ASSERT_GE(got.size(), 1200u);
        for (size_t i = 0; i < 1200; ++i)
            ASSERT_EQ(got[i], values[i % 1000]) << c << " " << i;
    }
    EXPECT_EQ(bench.host.values(0).size(), bench.host.values(1).size());

    CollectorBench empty;
    empty.host.runBoth();
    writeFileAtomically(dir.path("empty.DMD"), "");
    ASSERT_TRUE(empty.collector->loadDemoData(dir.path("empty.DMD")));
    empty.collector->simulationTick();
    EXPECT_EQ(empty.host.values(0), (std::vector<float>{-1.0f}));
    EXPECT_EQ(empty.host.values(1), (std::vector<float>{-1.0f}));
    EXPECT_FALSE(empty.collector->loadDemoData(dir.path("absent.DMD")));
    link.reset();  // the host is never left holding a collector that is gone
    EXPECT_EQ(bench.host.collector(), nullptr);
}

}  // namespace
