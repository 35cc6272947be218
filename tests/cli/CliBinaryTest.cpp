// The built tool, run as a user runs it: exit statuses, what lands on stdout and on stderr.
#include "cli/CliTestSupport.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace dgaws::cli::test {
namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class CliBinaryTest : public TempDirTest {
protected:
    ToolRun tool(const std::string& args) const
    {
        const std::string errFile = path("stderr.txt");
        const std::string cmd =
            quoted(DGAWS_BINARY_DIR "/dgaws-cli") + " " + args + " 2>" + quoted(errFile);
        ToolRun r;
        FILE* p = ::popen(cmd.c_str(), "r");
        if (p == nullptr) {
            ADD_FAILURE() << "popen failed for " << cmd;
            return r;
        }
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            r.out.append(buf, n);
        const int st = ::pclose(p);
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        std::ifstream in(errFile);
        std::ostringstream err;
        err << in.rdbuf();
        r.err = err.str();
        return r;
    }
};

TEST_F(CliBinaryTest, InfoJsonOfAWrittenChromatogram)
{
    const std::string file = path("A_1号主变.chg");
    writeChromatogramFile(file, sampleChromatogram());
    const ToolRun r = tool("info " + quoted(file) + " --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    const auto j = nlohmann::json::parse(r.out);  // exactly one document, nothing around it
    EXPECT_EQ(j["pointsPerSecond"], 20);
    EXPECT_EQ(j["peaks"][0]["componentName"], "H2(氢气)");
    EXPECT_EQ(j["conclusion"], "低温过热(低于150℃)");
    EXPECT_FALSE(j["signal"].contains("samples"));

    const ToolRun withSamples = tool("info --json --samples " + quoted(file));
    ASSERT_EQ(withSamples.status, 0) << withSamples.err;
    EXPECT_EQ(nlohmann::json::parse(withSamples.out)["signal"]["samples"].size(), 1200u);
}

TEST_F(CliBinaryTest, ProcessPrintsTheResultTableOfAWrittenChromatogram)
{
    ChromatogramData d = sampleChromatogram();
    std::vector<float> samples(3000, 50.0f);
    for (int i = 0; i < 3000; ++i) {
        const double x = (i - 1500) / 30.0;
        samples[static_cast<size_t>(i)] += static_cast<float>(600.0 * std::exp(-0.5 * x * x));
    }
    d.signal.assign(samples);
    d.peaks.clear();
    d.method.integration = IntegrationParams{};
    const std::string file = path("A_1号主变.chg");
    const std::string out = path("A_out.chg");
    writeChromatogramFile(file, d);

    const ToolRun r = tool("process " + quoted(file) + " -o " + quoted(out));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_NE(r.out.find("理论塔板数"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("独立峰(BB)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("合计"), std::string::npos) << r.out;
    EXPECT_EQ(readChromatogramFile(out).peaks.size(), 1);

    const ToolRun j = tool("process --json " + quoted(file));
    ASSERT_EQ(j.status, 0) << j.err;
    EXPECT_NEAR(nlohmann::json::parse(j.out)["peaks"][0]["retentionTime"].get<double>(),
                1500.0 / 20 / 60, 0.005);

    EXPECT_EQ(tool("process " + quoted(file) + " --points-per-second 0").status, 2);
}

TEST_F(CliBinaryTest, UnreadableFilesExitWithStatusOneAndAMessage)
{
    const std::string bytes = storeChromatogram(sampleChromatogram());
    const std::string cut = path("cut.chg");
    writeFileAtomically(cut, bytes.substr(0, bytes.size() - 7));
    const std::string missing = path("missing.chg");

    for (const std::string& file : {cut, missing}) {
        for (const char* mode : {"", " --json"}) {
            const ToolRun r = tool("info " + quoted(file) + mode);
            EXPECT_EQ(r.status, 1) << file << mode;
            EXPECT_TRUE(r.out.empty()) << r.out;
            EXPECT_EQ(r.err.rfind("dgaws-cli: cannot read " + file + ": ", 0), 0u) << r.err;
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
    }
}

TEST_F(CliBinaryTest, UsageErrorsExitWithStatusTwoAndHelpListsCommands)
{
    const ToolRun help = tool("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("info"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("Subcommands"), std::string::npos) << help.out;

    const std::string she = quoted(DGAWS_SOURCE_DIR "/data/QLDefault.she");
    for (const std::string& args :
         {std::string(""), std::string("info"), std::string("frobnicate"),
          "info " + she + " --samples", "info " + she + " --bogus"}) {
        const ToolRun r = tool(args);
        EXPECT_EQ(r.status, 2) << "args: " << args;
        EXPECT_TRUE(r.out.empty()) << "args: " << args << "\n" << r.out;
        EXPECT_FALSE(r.err.empty()) << "args: " << args;
    }

    const ToolRun ok = tool("info " + she);
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_NE(ok.out.find("QLDefault"), std::string::npos);
}

}  // namespace
}  // namespace dgaws::cli::test
