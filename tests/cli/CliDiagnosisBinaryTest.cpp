// The built tool's diagnose and db commands as a user runs them: statuses and streams.
#include "cli/CliTestSupport.h"

#include "chromatogram/ChromatogramFile.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

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

class CliDiagnosisBinaryTest : public TempDirTest {
protected:
    // Runs the tool with its data root in this test's folder.
    ToolRun tool(const std::string& args) const
    {
        const std::string errFile = path("stderr.txt");
        const std::string cmd = "DGAWS_HOME=" + quoted(path("home")) + " " +
                                quoted(DGAWS_BINARY_DIR "/dgaws-cli") + " " + args + " 2>" +
                                quoted(errFile);
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

TEST_F(CliDiagnosisBinaryTest, StatusesAndStreams)
{
    ToolRun r = tool("diagnose --gas H2=200 --gas CH4=10 --gas C2H4=20 --gas C2H6=10 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["ratioCodes"], "0,1,1");

    r = tool("db company add " + quoted("O'Brien"));
    EXPECT_EQ(r.status, 0) << r.err;
    r = tool("db company add " + quoted("O'Brien"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "dgaws-cli: 存在同名'送样公司'!\n");
    for (const char* usage : {"db", "db company", "db device add x", "diagnose", "diagnose --gas",
                              "db tests --company c --device d --range fortnight"}) {
        r = tool(usage);
        EXPECT_EQ(r.status, 2) << usage;
        EXPECT_TRUE(r.out.empty()) << usage;
    }
}

// The tool's own collection: gases from the peaks of the test and of its linked
// chromatogram, found beside it under a relative name.
TEST_F(CliDiagnosisBinaryTest, ChromatogramGasesComeFromBothChannels)
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

    const ToolRun r = tool("diagnose " + quoted(path("A.chg")) + " --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["gasInOil"]["H2(氢气)"], 200.0);
    EXPECT_EQ(j["gasInOil"]["CO(一氧化碳)"], 300.0);
    EXPECT_EQ(j["gasInOil"]["C2H2(乙炔)"], 40.0);
    EXPECT_EQ(j["totalHydrocarbons"], 135.0);
    EXPECT_EQ(j["ratioCodes"], "2,0,1");
    EXPECT_EQ(j["conclusion"], "低能放电");
}

}  // namespace
}  // namespace dgaws::cli::test
