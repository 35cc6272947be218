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
#include <cstdlib>
#include <filesystem>

namespace dgaws::cli::test {
namespace {

using nlohmann::json;

class CliBinaryTest : public TempDirTest {
protected:
    // The data root lies in this test's folder.
    ToolResult tool(const std::string& args) const
    {
        return runTool(args, dir_.string(), path("home"));
    }
    std::string q(const std::string& name) const { return path(name); }
};

TEST_F(CliBinaryTest, ConvertAndCompare)
{
    writeChromatogramFile(path("run.chg"), sampleChromatogram());
    ToolResult r = tool("convert " + q("run.chg") + " " + q("t.csv") + " --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(json::parse(r.out)["to"], "csv");
    r = tool("compare invert " + q("t.csv") + " -o " + q("inv.chg"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readChromatogramFile(path("inv.chg")).signal.at(300), -812.25f);
}

// The tool's own gas collection (the in-process tests stand in for it): the peaks of the
// test and of its linked chromatogram, found beside it under a relative name.
TEST_F(CliBinaryTest, DiagnosedGasesComeFromBothChannels)
{
    ChromatogramData a, b;
    for (auto [name, oil] : {std::pair{"H2(氢气)", 200.0},
                             {"CH4(甲烷)", 80.0},
                             {"C2H2(乙炔)", 40.0},
                             {"C2H4(乙烯)", 10.0},
                             {"C2H6(乙烷)", 5.0}}) {
        PeakRecord p;
        p.componentName = name;
        p.oilContent = oil;
        (a.peaks.size() == 0 ? a : b).peaks.append(p);
    }
    a.linkedFile = "B.chg";
    writeChromatogramFile(path("A.chg"), a);
    writeChromatogramFile(path("B.chg"), b);

    const ToolResult r = tool("diagnose " + q("A.chg") + " --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = json::parse(r.out);
    EXPECT_EQ(j["gasInOil"]["H2(氢气)"], 200.0);
    EXPECT_EQ(j["totalHydrocarbons"], 135.0);
    EXPECT_EQ(j["conclusion"], "低能放电");
}

TEST_F(CliBinaryTest, UnreadableFilesExitWithStatusOneAndOneLine)
{
    const std::string bytes = storeChromatogram(sampleChromatogram());
    writeFileAtomically(path("cut.chg"), bytes.substr(0, bytes.size() - 7));
    for (const std::string& file : {path("cut.chg"), path("missing.chg")}) {
        for (const char* mode : {"", " --json"}) {
            const ToolResult r = tool("info " + file + mode);
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

    const std::string she = DGAWS_SOURCE_DIR "/data/QLDefault.she";
    for (const std::string& args :
         {std::string(""), std::string("info"), std::string("frobnicate"),
          "info " + she + " --samples", "info " + she + " --bogus", std::string("db"),
          std::string("db company"), std::string("db device add x"), std::string("diagnose"),
          std::string("diagnose --gas"), "process " + she + " --points-per-second 0",
          "convert " + she + " x.cdf --to bogus", "convert " + she + " x.chg --rate 0",
          "compare frobnicate " + she + " -o x.chg",
          std::string("db tests --company c --device d --range fortnight")}) {
        const ToolResult r = tool(args);
        EXPECT_EQ(r.status, 2) << "args: " << args;
        EXPECT_TRUE(r.out.empty()) << "args: " << args << "\n" << r.out;
        EXPECT_FALSE(r.err.empty()) << "args: " << args;
    }
}

// A new user's first calls on a fresh data root, from a service or `su` where the session's
// runtime folder is not set: the tool says which build it is, sets the root up as the
// window does (so the shipped method is there to list and to copy), and prints nothing on
// stderr, whether a command opens a database, draws a report or neither.
TEST_F(CliBinaryTest, FirstCallsOnAFreshDataRootAreQuietAndFindTheShippedMethod)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string keep = runtime ? runtime : "";
    ::unsetenv("XDG_RUNTIME_DIR");

    const ToolResult version = tool("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("dgaws-cli 0.", 0), 0u) << version.out;
    EXPECT_NE(version.out.find("(commit "), std::string::npos) << version.out;

    writeChromatogramFile(path("run.chg"), sampleChromatogram());
    const struct {
        std::string args;
        const char* printed;
    } calls[] = {
        {"method list", "QLDefault"},
        {"method new M2 --from QLDefault", ""},
        {"method list --json", "\"M2\""},
        {"db company list", ""},
        {"diagnose --gas H2=160 --gas C2H2=40", "H2"},
        {"report " + q("run.chg") + " --kind analysis --pdf " + q("run.pdf"), ""},
    };
    for (const auto& c : calls) {
        const ToolResult r = tool(c.args);
        EXPECT_EQ(r.status, 0) << c.args << "\n" << r.err;
        EXPECT_EQ(r.err, "") << c.args;
        EXPECT_NE(r.out.find(c.printed), std::string::npos) << c.args << "\n" << r.out;
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(path("home/方法库/template1.xlsx")));

    if (runtime)
        ::setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
}

}  // namespace
}  // namespace dgaws::cli::test
