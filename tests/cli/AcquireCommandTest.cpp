// dgaws-cli demo, acquire and recover as a user runs them, including an acquisition that
// is killed or stopped by a signal in the middle of its run.
#include "cli/AcquireCommand.h"
#include "cli/CliTestSupport.h"
#include "cli/EditCommand.h"
#include "cli/ProcessCommand.h"
#include "cli/ToolRunner.h"

#include "acquisition/Autosave.h"
#include "acquisition/CollectorTestSupport.h"
#include "acquisition/PtyPair.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>

namespace dgaws::cli::test {
namespace {

using dgaws::test::expectedMicrovolts;
using dgaws::test::LineFeeder;
using dgaws::test::PtyPair;

template <class F> bool waitFor(F done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class AcquireCommandTest : public TempDirTest {
protected:
    // `dgaws-cli acquire` on channel A of a pseudo-terminal collector that announces itself
    // until the run has begun, then sends frames of `magnitudes` until the run's safety copy
    // holds `points`. The points it then holds are returned.
    int acquire(const std::vector<int32_t>& magnitudes, int points, bool json = false)
    {
        std::vector<std::string> args{"acquire",   "--port", line.path(), "--channel", "A",
                                      "--minutes", "10",     "--out",     path("run")};
        if (json)
            args.push_back("--json");
        tool.emplace(args, dir_.string());
        if (!waitFor([&] { return line.write({0xE0}) && !findAutosaves(copies()).empty(); }))
            return -1;
        copy = findAutosaves(copies()).front();
        std::vector<uint8_t> bytes;
        for (const int32_t m : magnitudes) {
            const auto f = dgaws::test::frame(0, m);
            bytes.insert(bytes.end(), f.begin(), f.end());
        }
        feeder.emplace(line, bytes);
        int seen = 0;
        waitFor([&] {
            try {
                seen = recoverAutosave(copy).signal.count();
            } catch (const std::exception&) {}
            return seen >= points;
        });
        return seen;
    }
    std::string copies() const { return path("run/自动保存"); }

    PtyPair line;
    std::optional<ToolProcess> tool;
    std::optional<LineFeeder> feeder;
    std::string copy;
};

// Through the built tool: the channels are joined unless told otherwise, and without --out
// the runs go to the data folder of the data root, not to the folder the tool runs in.
TEST_F(AcquireCommandTest, DemoJoinsTheChannelsByDefault)
{
    const ToolResult demo =
        runTool("demo --speed 5000 --minutes 0.25 --home " + path("home"), dir_.string());
    ASSERT_EQ(demo.status, 0) << demo.err;
    for (const auto& e : std::filesystem::directory_iterator(dir_))
        EXPECT_NE(e.path().extension(), ".chg") << e.path();
    // A's file holds both channels, B's stays its own.
    std::map<char, int> counts;
    for (const auto& e : std::filesystem::recursive_directory_iterator(path("home/Data")))
        if (e.path().extension() == ".chg")
            counts[e.path().filename().string()[0]] =
                readChromatogramFile(e.path().string()).signal.count();
    EXPECT_EQ(counts, (std::map<char, int>{{'A', 599}, {'B', 300}}));
}

// The demonstration plays the standard gas the shipped curves were fitted to: each channel
// names the gases of its own detector and gives back their standard contents. Its files,
// processed again or edited with edits that cancel out, name and quantify the peaks as saved:
// the file alone carries the table of the curve it was quantified with.
TEST_F(AcquireCommandTest, DemoFindsAndQuantifiesTheNineGasesAndItsFilesKeepThem)
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
    EXPECT_EQ(j["runs"][0]["channel"], "A");
    const double times[] = {0.55, 0.65, 0.95, 1.10, 1.45, 2.10, 3.05, 3.65, 4.60};
    const double standard[] = {500, 100, 10000, 500, 50000, 2000, 100, 100, 50};
    const char* const formulas[] = {"H2", "CH4", "O2", "CO", "N2", "CO2", "C2H4", "C2H6", "C2H2"};
    const bool onA[] = {true, false, true, false, true, false, false, false, false};
    const std::string demo = readWholeFile(DGAWS_SOURCE_DIR "/data/QLCHGDATA.DMD");
    for (const auto& run : j["runs"]) {
        const ChromatogramData d = readChromatogramFile(run["file"].get<std::string>());
        const bool channelA = run["channel"] == "A";
        for (int i = 0; i < d.signal.count(); ++i) {  // the shipped samples as they are
            float v;
            std::memcpy(&v, demo.data() + (static_cast<size_t>(i) * 4) % demo.size(), 4);
            ASSERT_EQ(d.signal.at(i), v) << i;
        }
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
        ProcessOptions again;
        again.path = run["file"].get<std::string>();
        again.json = true;
        EditOptions cancelled;
        cancelled.path = again.path;
        cancelled.steps = {{"negative", "9"}, {"negative", "9"}};
        cancelled.json = true;
        for (const Output& result : {call(runProcess, again), call(runEdit, cancelled)}) {
            ASSERT_EQ(result.status, 0) << result.err;
            const auto peaks = nlohmann::json::parse(result.out)["peaks"];
            ASSERT_EQ(peaks.size(), 9u) << again.path;
            for (size_t i = 0; i < 9; ++i) {
                const PeakRecord& want = d.peaks[static_cast<int>(i)];
                EXPECT_EQ(peaks[i]["componentName"], want.componentName) << again.path << i;
                EXPECT_NEAR(peaks[i]["gasContent"].get<double>(), want.gasContent,
                            1e-6 * (1.0 + want.gasContent))
                    << again.path << i;
            }
        }
    }
    EXPECT_TRUE(findAutosaves(o.outDir + "/自动保存").empty());
}

// A run length of nothing or of more than a day is refused before anything is opened.
TEST_F(AcquireCommandTest, ARunLengthOutsideADayIsRefusedAndNothingIsWritten)
{
    for (const char* minutes : {"0", "-3", "100000", "1440.5"}) {
        for (const char* command : {"acquire --port ", "demo --data "}) {
            const ToolResult r = runTool(std::string(command) + line.path() + " --minutes " +
                                             minutes + " --out " + path("never"),
                                         dir_.string());
            EXPECT_EQ(r.status, 2) << command << minutes;
            EXPECT_NE(r.err.find("--minutes must be more than 0 and at most 1440"),
                      std::string::npos)
                << r.err;
            EXPECT_FALSE(std::filesystem::exists(path("never"))) << command << minutes;
        }
    }
}

TEST_F(AcquireCommandTest, AcquireWithoutAPortOrCollectorFails)
{
    AcquireOptions o;
    o.port = path("no-such-port");
    o.outDir = path("out");
    Output r = call(runAcquire, o);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot open port"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());

    o.port = line.path();
    o.confirmSeconds = 0.2;  // nothing answers on this line
    r = call(runAcquire, o);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no collector answered"), std::string::npos) << r.err;
}

TEST_F(AcquireCommandTest, AKilledAcquisitionIsRecoveredWithEveryPointItHadWritten)
{
    std::vector<int32_t> magnitudes;
    std::vector<float> values;
    for (int i = 0; i < 20000; ++i) {
        magnitudes.push_back(50000 + (i * 131) % 9000);
        values.push_back(expectedMicrovolts(magnitudes.back(), false, false));
    }
    const int seen = acquire(magnitudes, 1000);
    tool->kill(SIGKILL);
    EXPECT_EQ(tool->wait(), -SIGKILL);
    ASSERT_GE(seen, 1000) << tool->err();

    const ChromatogramData recovered = recoverAutosave(copy);
    ASSERT_GE(recovered.signal.count(), seen);
    EXPECT_EQ(recovered.signal.values(),
              dgaws::test::cardPoints(values, static_cast<size_t>(recovered.signal.count()) + 6));
    EXPECT_EQ(recovered.pointsPerSecond, 20);
    EXPECT_EQ(recovered.methodName, "QLDefault");

    // The next start turns the copy into a chromatogram and lets the copy go.
    RecoverOptions r;
    r.dir = copies();
    r.json = true;
    const Output back = call(runRecover, r);
    ASSERT_EQ(back.status, 0) << back.err;
    const auto j = nlohmann::json::parse(back.out);
    ASSERT_EQ(j["runs"].size(), 1u);
    const std::string chg = j["runs"][0]["file"];
    EXPECT_EQ(std::filesystem::path(chg).parent_path(), std::filesystem::path(path("run")));
    EXPECT_EQ(readChromatogramFile(chg).signal.values(), recovered.signal.values());
    EXPECT_TRUE(findAutosaves(copies()).empty());
}

// Ctrl-C or a terminate request ends the run as the stop command does: what was recorded
// is saved, and the exit status tells which signal it was.
class AcquireSignalTest : public AcquireCommandTest, public ::testing::WithParamInterface<int> {};

TEST_P(AcquireSignalTest, ASignalSavesWhatWasRecordedAndExitsWithItsStatus)
{
    const int seen = acquire(std::vector<int32_t>(20000, 40000), 200, true);
    ASSERT_GE(seen, 200) << tool->err();
    tool->kill(GetParam());
    EXPECT_EQ(tool->wait(), 128 + GetParam()) << tool->err();
    const auto j = nlohmann::json::parse(tool->out());
    ASSERT_EQ(j["runs"].size(), 1u) << j.dump();
    const ChromatogramData saved = readChromatogramFile(j["runs"][0]["file"].get<std::string>());
    EXPECT_GE(saved.signal.count(), seen);
    const float v = expectedMicrovolts(40000, false, false);
    EXPECT_EQ(saved.signal.at(seen - 1), (v + v + v) * 0.33333334f);
    EXPECT_TRUE(findAutosaves(copies()).empty());
}

INSTANTIATE_TEST_SUITE_P(IntAndTerm, AcquireSignalTest, ::testing::Values(SIGINT, SIGTERM));

}  // namespace
}  // namespace dgaws::cli::test
