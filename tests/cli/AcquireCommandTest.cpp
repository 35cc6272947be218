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

class AcquireCommandTest : public TempDirTest {};

// Through the built tool: the channels are joined unless told otherwise.
TEST_F(AcquireCommandTest, DemoJoinsTheChannelsByDefault)
{
    ToolProcess tool({"demo", "--speed", "5000", "--minutes", "0.25", "--out", path("joined")},
                     path("out.txt"), path("err.txt"));
    ASSERT_TRUE(tool.started());
    ASSERT_EQ(tool.wait(), 0) << slurp(path("err.txt"));
    const std::string text = slurp(path("out.txt"));
    EXPECT_NE(text.find("通道A: "), std::string::npos) << text;
    EXPECT_NE(text.find("599 points at 20 per second"), std::string::npos) << text;
    EXPECT_NE(text.find("300 points at 20 per second"), std::string::npos) << text;
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
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    termios t{};
    ::tcgetattr(slave, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slave, TCSANOW, &t);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    std::atomic<bool> stopWriting{false};
    auto write = [&](const std::vector<uint8_t>& bytes) {
        size_t done = 0;
        while (done < bytes.size() && !stopWriting) {
            const ssize_t n = ::write(master, bytes.data() + done, bytes.size() - done);
            if (n > 0)
                done += static_cast<size_t>(n);
            else if (errno == EAGAIN || errno == EINTR)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            else
                return;
        }
    };

    const std::string out = path("run");
    const std::string copies = out + "/自动保存";
    ToolProcess tool({"acquire", "--port", name, "--channel", "A", "--minutes", "10", "--out", out},
                     path("out.txt"), path("err.txt"));
    ASSERT_TRUE(tool.started());
    // The collector announces itself until the run has begun.
    ASSERT_TRUE(waitFor([&] {
        write({0xE0});
        return !findAutosaves(copies).empty();
    })) << slurp(path("err.txt"));
    const std::string copy = findAutosaves(copies).front();

    std::vector<float> values;
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 20000; ++i) {
        const int32_t m = 50000 + (i * 131) % 9000;
        values.push_back(static_cast<float>(m * 0.074505841496));
        bytes.insert(bytes.end(), {0x80, static_cast<uint8_t>((m >> 14) & 0x7F),
                                   static_cast<uint8_t>((m >> 7) & 0x7F),
                                   static_cast<uint8_t>(m & 0x7F)});
    }
    std::thread writer([&] { write(bytes); });
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
    stopWriting = true;
    writer.join();
    ::close(master);
    ::close(slave);
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

}  // namespace
}  // namespace dgaws::cli::test
