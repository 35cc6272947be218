// The built tool, run as a user runs it: argument parsing, exit statuses, what lands on
// stdout and on stderr. What the commands print is in the golden outputs; what they
// compute is proved in-process and in the layers below.
#include "cli/CliTestSupport.h"
#include "cli/ToolRunner.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>

namespace dgaws::cli::test {
namespace {

using nlohmann::json;

class CliBinaryTest : public TempDirTest {
protected:
    // The data root lies in this test's folder.
    ToolResult tool(const std::string& args) const
    {
        return runTool(args, path("stderr.txt"), path("home"));
    }
    std::string q(const std::string& name) const { return shellQuoted(path(name)); }
};

TEST_F(CliBinaryTest, ProcessWritesTheOutput)
{
    ChromatogramData d = sampleChromatogram();
    d.signal.assign(gaussians(3000, {{1500, 600, 30}}, 50.0f));
    d.peaks.clear();
    d.method.integration = IntegrationParams{};
    writeChromatogramFile(path("A.chg"), d);

    const ToolResult r = tool("process " + q("A.chg") + " -o " + q("out.chg"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_EQ(readChromatogramFile(path("out.chg")).peaks.size(), 1);
    EXPECT_EQ(tool("process " + q("A.chg") + " --points-per-second 0").status, 2);
}

TEST_F(CliBinaryTest, ConvertAndCompare)
{
    writeChromatogramFile(path("run.chg"), sampleChromatogram());
    ToolResult r = tool("convert " + q("run.chg") + " " + q("t.csv") + " --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(json::parse(r.out)["to"], "csv");
    EXPECT_EQ(tool("convert " + q("run.chg") + " " + q("t.cdf") + " --to bogus").status, 2);
    EXPECT_EQ(tool("convert " + q("run.chg") + " " + q("t.chg") + " --rate 0").status, 2);
    r = tool("compare invert " + q("t.csv") + " -o " + q("inv.chg"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readChromatogramFile(path("inv.chg")).signal.at(300), -812.25f);
    EXPECT_EQ(tool("compare frobnicate " + q("run.chg") + " -o " + q("x.chg")).status, 2);
}

TEST_F(CliBinaryTest, DatabaseRefusalsGoToStderr)
{
    EXPECT_EQ(tool("db company add " + shellQuoted("O'Brien")).status, 0);
    const ToolResult r = tool("db company add " + shellQuoted("O'Brien"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "dgaws-cli: 存在同名'送样公司'!\n");
}

// The tool's own gas collection (the in-process tests stand in for it): the peaks of the
// test and of its linked chromatogram, found beside it under a relative name.
TEST_F(CliBinaryTest, DiagnosedGasesComeFromBothChannels)
{
    const auto peak = [](const char* name, double oil) {
        PeakRecord p;
        p.componentName = name;
        p.oilContent = oil;
        return p;
    };
    ChromatogramData a;
    a.peaks.append(peak("H2(氢气)", 200.0));
    a.peaks.append(peak("CO(一氧化碳)", 300.0));
    a.linkedFile = "B.chg";
    ChromatogramData b;
    b.peaks.append(peak("CH4(甲烷)", 80.0));
    b.peaks.append(peak("C2H2(乙炔)", 40.0));
    b.peaks.append(peak("C2H4(乙烯)", 10.0));
    b.peaks.append(peak("C2H6(乙烷)", 5.0));
    writeChromatogramFile(path("A.chg"), a);
    writeChromatogramFile(path("B.chg"), b);

    const ToolResult r = tool("diagnose " + q("A.chg") + " --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = json::parse(r.out);
    EXPECT_EQ(j["gasInOil"]["H2(氢气)"], 200.0);
    EXPECT_EQ(j["gasInOil"]["C2H2(乙炔)"], 40.0);
    EXPECT_EQ(j["totalHydrocarbons"], 135.0);
    EXPECT_EQ(j["conclusion"], "低能放电");
}

TEST_F(CliBinaryTest, UnreadableFilesExitWithStatusOneAndOneLine)
{
    const std::string bytes = storeChromatogram(sampleChromatogram());
    writeFileAtomically(path("cut.chg"), bytes.substr(0, bytes.size() - 7));
    for (const std::string& file : {path("cut.chg"), path("missing.chg")}) {
        for (const char* mode : {"", " --json"}) {
            const ToolResult r = tool("info " + shellQuoted(file) + mode);
            EXPECT_EQ(r.status, 1) << file << mode;
            EXPECT_TRUE(r.out.empty()) << r.out;
            EXPECT_EQ(r.err.rfind("dgaws-cli: cannot read " + file + ": ", 0), 0u) << r.err;
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
    }
}

TEST_F(CliBinaryTest, UsageErrorsExitWithStatusTwoAndHelpListsCommands)
{
    const ToolResult help = tool("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"info", "convert", "compare", "Subcommands"})
        EXPECT_NE(help.out.find(command), std::string::npos) << help.out;

    const std::string she = shellQuoted(DGAWS_SOURCE_DIR "/data/QLDefault.she");
    for (const std::string& args :
         {std::string(""), std::string("info"), std::string("frobnicate"),
          "info " + she + " --samples", "info " + she + " --bogus", std::string("db"),
          std::string("db company"), std::string("db device add x"), std::string("diagnose"),
          std::string("diagnose --gas"),
          std::string("db tests --company c --device d --range fortnight")}) {
        const ToolResult r = tool(args);
        EXPECT_EQ(r.status, 2) << "args: " << args;
        EXPECT_TRUE(r.out.empty()) << "args: " << args << "\n" << r.out;
        EXPECT_FALSE(r.err.empty()) << "args: " << args;
    }
}

}  // namespace
}  // namespace dgaws::cli::test
