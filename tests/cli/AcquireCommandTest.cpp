// dgaws-cli demo, acquire and recover as a user runs them, including an acquisition that
// is killed in the middle of its run.
#include "cli/AcquireCommand.h"
#include "cli/CliTestSupport.h"

#include "acquisition/Autosave.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <optional>
#include <pty.h>
#include <sstream>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace dgaws::cli::test {
namespace {

std::vector<float> shippedDemoValues()
{
    const std::string bytes = readWholeFile(DGAWS_SOURCE_DIR "/data/QLCHGDATA.DMD");
    std::vector<float> v(bytes.size() / 4);
    std::memcpy(v.data(), bytes.data(), v.size() * 4);
    return v;
}

// Runs the tool with its output in files of the test folder.
class ToolProcess {
public:
    ToolProcess(const std::vector<std::string>& args, const std::string& outFile,
                const std::string& errFile)
    {
        pid_ = ::fork();
        if (pid_ == 0) {
            const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(out, 1);
            ::dup2(err, 2);
            std::vector<char*> argv;
            std::string tool = DGAWS_BINARY_DIR "/dgaws-cli";
            argv.push_back(tool.data());
            std::vector<std::string> copy = args;
            for (auto& a : copy)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(tool.c_str(), argv.data());
            ::_exit(127);
        }
    }
    ~ToolProcess()
    {
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    bool started() const { return pid_ > 0; }
    // Exit status, or -signal when it was killed.
    int wait()
    {
        int st = 0;
        ::waitpid(pid_, &st, 0);
        reaped_ = true;
        return WIFEXITED(st) ? WEXITSTATUS(st) : -WTERMSIG(st);
    }
    // The same within `timeout`; nothing when the tool is still running then.
    std::optional<int> waitWithin(std::chrono::seconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        int st = 0;
        while (::waitpid(pid_, &st, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() >= deadline)
                return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        reaped_ = true;
        return WIFEXITED(st) ? WEXITSTATUS(st) : -WTERMSIG(st);
    }
    void kill(int sig) { ::kill(pid_, sig); }

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
};

std::string slurp(const std::string& path)
{
    try {
        return readWholeFile(path);
    } catch (const FileError&) {
        return {};
    }
}

template <class F>
bool waitFor(F done, std::chrono::seconds timeout = std::chrono::seconds(30))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// The collector's end of a pseudo-terminal pair: the tool opens the other end as its port.
class PtyCollector {
public:
    PtyCollector()
    {
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
            return;
        name_ = name;
        termios t{};
        ::tcgetattr(slave_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave_, TCSANOW, &t);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~PtyCollector()
    {
        stopStream();
        ::close(master_);
        ::close(slave_);
    }
    const std::string& port() const { return name_; }

    void write(const std::vector<uint8_t>& bytes)
    {
        size_t done = 0;
        while (done < bytes.size() && !stop_) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0)
                done += static_cast<size_t>(n);
            else if (errno == EAGAIN || errno == EINTR)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            else
                return;
        }
    }
    // Channel A frames of the given magnitudes, sent from a thread of their own.
    void streamChannelA(const std::vector<int32_t>& magnitudes)
    {
        std::vector<uint8_t> bytes;
        for (const int32_t m : magnitudes)
            bytes.insert(bytes.end(), {0x80, static_cast<uint8_t>((m >> 14) & 0x7F),
                                       static_cast<uint8_t>((m >> 7) & 0x7F),
                                       static_cast<uint8_t>(m & 0x7F)});
        writer_ = std::thread([this, bytes] { write(bytes); });
    }
    void stopStream()
    {
        stop_ = true;
        if (writer_.joinable())
            writer_.join();
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string name_;
    std::atomic<bool> stop_{false};
    std::thread writer_;
};

class AcquireCommandTest : public TempDirTest {};

// Through the built tool: the channels are joined unless told otherwise.
TEST_F(AcquireCommandTest, DemoJoinsTheChannelsByDefault)
{
    ToolProcess tool({"demo", "--speed", "5000", "--minutes", "0.25", "--out", path("joined")},
                     path("out.txt"), path("err.txt"));
    ASSERT_TRUE(tool.started());
    ASSERT_EQ(tool.wait(), 0) << slurp(path("err.txt"));
    // A's file holds both channels, B's stays its own.
    std::map<char, int> counts;
    for (const auto& e : std::filesystem::directory_iterator(path("joined")))
        if (e.path().extension() == ".chg")
            counts[e.path().filename().string()[0]] = readChromatogramFile(e.path().string()).signal.count();
    EXPECT_EQ(counts, (std::map<char, int>{{'A', 599}, {'B', 300}}));
}

// The demonstration plays the standard gas the shipped curves were fitted to: each channel
// names the gases of its own detector and gives back their standard contents.
TEST_F(AcquireCommandTest, DemoFindsAndQuantifiesTheNineGasesWhileTheRunIsGoing)
{
    std::ostringstream out, err;
    DemoOptions o;
    o.outDir = path("full");
    o.speed = 100000;
    o.merge = false;
    o.json = true;
    ASSERT_EQ(runDemo(o, out, err), 0) << err.str();
    const auto j = nlohmann::json::parse(out.str());
    ASSERT_EQ(j["runs"].size(), 2u);
    const double times[] = {0.55, 0.65, 0.95, 1.10, 1.45, 2.10, 3.05, 3.65, 4.60};
    const double standard[] = {500, 100, 10000, 500, 50000, 2000, 100, 100, 50};
    const char* const formulas[] = {"H2", "CH4", "O2", "CO", "N2", "CO2", "C2H4", "C2H6", "C2H2"};
    const bool onA[] = {true, false, true, false, true, false, false, false, false};
    const std::vector<float> demo = shippedDemoValues();
    EXPECT_EQ(j["runs"][0]["channel"], "A");
    for (const auto& run : j["runs"]) {
        const ChromatogramData d = readChromatogramFile(run["file"].get<std::string>());
        const bool channelA = run["channel"] == "A";
        for (int i = 0; i < d.signal.count(); ++i)  // the shipped samples as they are
            ASSERT_EQ(d.signal.at(i), demo[static_cast<size_t>(i) % demo.size()]) << i;
        EXPECT_EQ(d.methodName, "QLDefault");
        ASSERT_EQ(d.peaks.size(), 9) << run["file"];
        for (int i = 0; i < 9; ++i) {
            const PeakRecord& p = d.peaks[i];
            EXPECT_NEAR(p.retentionTime, times[i], 0.02) << i;
            if (onA[i] == channelA) {
                EXPECT_EQ(p.componentName.rfind(formulas[i], 0), 0u) << p.componentName;
                EXPECT_NEAR(p.gasContent, standard[i], standard[i] * 0.03) << formulas[i];
                EXPECT_GT(p.oilContent, 0.0) << formulas[i];
            } else {
                EXPECT_TRUE(p.componentName.empty()) << p.componentName;
                EXPECT_EQ(p.gasContent, 0.0) << formulas[i];
            }
        }
    }
    EXPECT_TRUE(findAutosaves(o.outDir + "/自动保存").empty());
}

TEST_F(AcquireCommandTest, AcquireWithoutAPortOrCollectorFails)
{
    std::ostringstream out, err;
    AcquireOptions o;
    o.port = path("no-such-port");
    o.outDir = path("out");
    EXPECT_EQ(runAcquire(o, out, err), 1);
    EXPECT_NE(err.str().find("cannot open port"), std::string::npos) << err.str();
    EXPECT_TRUE(out.str().empty());

    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    o.port = name;
    o.confirmSeconds = 0.2;  // nothing answers on this line
    std::ostringstream err2;
    EXPECT_EQ(runAcquire(o, out, err2), 1);
    EXPECT_NE(err2.str().find("no collector answered"), std::string::npos) << err2.str();
    ::close(master);
    ::close(slave);
}

TEST_F(AcquireCommandTest, AKilledAcquisitionIsRecoveredWithEveryPointItHadWritten)
{
    PtyCollector collector;
    ASSERT_FALSE(collector.port().empty());
    const std::string out = path("run");
    const std::string copies = out + "/自动保存";
    ToolProcess tool({"acquire", "--port", collector.port(), "--channel", "A", "--minutes", "10",
                      "--out", out},
                     path("out.txt"), path("err.txt"));
    ASSERT_TRUE(tool.started());
    // The collector announces itself until the run has begun.
    ASSERT_TRUE(waitFor([&] {
        collector.write({0xE0});
        return !findAutosaves(copies).empty();
    })) << slurp(path("err.txt"));
    const std::string copy = findAutosaves(copies).front();

    std::vector<float> values;
    std::vector<int32_t> magnitudes;
    for (int i = 0; i < 20000; ++i) {
        magnitudes.push_back(50000 + (i * 131) % 9000);
        values.push_back(static_cast<float>(magnitudes.back() * 0.074505841496));
    }
    collector.streamChannelA(magnitudes);
    int seen = 0;
    const bool enough = waitFor([&] {
        try {
            seen = recoverAutosave(copy).signal.count();
        } catch (const std::exception&) {
        }
        return seen >= 1000;
    });
    tool.kill(SIGKILL);
    EXPECT_EQ(tool.wait(), -SIGKILL);
    collector.stopStream();
    ASSERT_TRUE(enough) << slurp(path("err.txt"));

    const ChromatogramData recovered = recoverAutosave(copy);
    ASSERT_GE(recovered.signal.count(), seen);
    for (int i = 0; i < recovered.signal.count(); ++i) {
        const size_t k = static_cast<size_t>(i) + 6;
        const float expected = (values[k - 3] + values[k - 4] + values[k - 5]) * 0.33333334f;
        ASSERT_EQ(recovered.signal.at(i), expected) << "point " << i;
    }
    EXPECT_EQ(recovered.pointsPerSecond, 20);
    EXPECT_EQ(recovered.methodName, "QLDefault");

    // The next start turns the copy into a chromatogram and lets the copy go.
    std::ostringstream rout, rerr;
    RecoverOptions r;
    r.dir = copies;
    r.json = true;
    ASSERT_EQ(runRecover(r, rout, rerr), 0) << rerr.str();
    const auto j = nlohmann::json::parse(rout.str());
    ASSERT_EQ(j["runs"].size(), 1u);
    const std::string chg = j["runs"][0]["file"];
    EXPECT_EQ(std::filesystem::path(chg).parent_path(), std::filesystem::path(out));
    EXPECT_EQ(readChromatogramFile(chg).signal.values(), recovered.signal.values());
    EXPECT_TRUE(findAutosaves(copies).empty());
}

// Ctrl-C or a terminate request ends the run as the stop command does: what was recorded
// is saved, and the exit status tells which signal it was.
TEST_F(AcquireCommandTest, ASignalSavesWhatWasRecordedAndExitsWithItsStatus)
{
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        PtyCollector collector;
        ASSERT_FALSE(collector.port().empty());
        const std::string out = path("run" + std::to_string(signal));
        const std::string copies = out + "/自动保存";
        ToolProcess tool({"acquire", "--port", collector.port(), "--channel", "A", "--minutes",
                          "10", "--out", out, "--json"},
                         path("out.txt"), path("err.txt"));
        ASSERT_TRUE(tool.started());
        ASSERT_TRUE(waitFor([&] {
            collector.write({0xE0});
            return !findAutosaves(copies).empty();
        })) << slurp(path("err.txt"));
        const std::string copy = findAutosaves(copies).front();
        collector.streamChannelA(std::vector<int32_t>(20000, 40000));
        int seen = 0;
        ASSERT_TRUE(waitFor([&] {
            try {
                seen = recoverAutosave(copy).signal.count();
            } catch (const std::exception&) {
            }
            return seen >= 200;
        })) << slurp(path("err.txt"));

        tool.kill(signal);
        EXPECT_EQ(tool.waitWithin(std::chrono::seconds(30)), 128 + signal)
            << slurp(path("err.txt"));
        collector.stopStream();
        const auto j = nlohmann::json::parse(slurp(path("out.txt")));
        ASSERT_EQ(j["runs"].size(), 1u) << j.dump();
        const ChromatogramData saved = readChromatogramFile(j["runs"][0]["file"].get<std::string>());
        EXPECT_GE(saved.signal.count(), seen);
        const float v = static_cast<float>(40000 * 0.074505841496);
        EXPECT_EQ(saved.signal.at(seen - 1), (v + v + v) * 0.33333334f);
        EXPECT_TRUE(findAutosaves(copies).empty());
    }
}

}  // namespace
}  // namespace dgaws::cli::test
