// `calibration show` and `calibration add`, in-process and, from the command line only,
// standards entered at two levels, the curve refitted, a sample quantified with it.
#include "cli/CliTestSupport.h"
#include "cli/ToolRunner.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/MethodFile.h"
#include "cli/CalibrationCommand.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>

namespace dgaws::cli::test {
namespace {

using nlohmann::json;

ComponentEntry gas(const std::string& name, double minutes, int index, std::vector<double> conc)
{
    ComponentEntry c;
    c.index = index;
    c.name = name;
    c.retentionTime = minutes;
    c.timeWindow = 0.1;
    c.concentrations = std::move(conc);
    return c;
}

class CalibrationCommandTest : public TempDirTest {
protected:
    // The method DGA of an oscillation run (external standard, then oil contents): the curve
    // "A通道" of H2 at 1.0 and CH4 at 2.0 minutes at two levels.
    void SetUp() override
    {
        TempDirTest::SetUp();
        MethodLibraryEntry m;
        m.path = path("DGA.she");
        m.method.name = "DGA";
        m.method.calcMethod = 5;
        CalibrationCurve c;
        c.name = "A通道";
        c.components = {gas("H2(氢气)", 1.0, 0, {100, 200}), gas("CH4(甲烷)", 2.0, 1, {10, 20})};
        c.levels.assign(2, StandardLevel{});
        m.curves = {c};
        saveMethodFile(m);
    }

    // A processed standard with peaks in both windows, areas scaled by `level`.
    std::string standard(const std::string& name, double level)
    {
        ChromatogramData d;
        PeakRecord h2;
        h2.retentionTime = 1.01;
        h2.area = 400 * level;
        PeakRecord ch4;
        ch4.retentionTime = 1.99;
        ch4.area = 30 * level;
        d.peaks.append(h2);
        d.peaks.append(ch4);
        writeChromatogramFile(path(name), d);
        return path(name);
    }

    Output add(const std::string& curve, int level, std::vector<std::string> files)
    {
        return captured([&](std::ostream& out, std::ostream& err) {
            return runCalibrationAdd({path("DGA.she"), curve, level, files, false}, out, err);
        });
    }
    ToolResult tool(const std::string& args) { return runTool(args, dir_.string()); }
};

TEST_F(CalibrationCommandTest, NothingIsWrittenWhenAnyInputIsWrong)
{
    const std::string before = readWholeFile(path("DGA.she"));
    writeFileAtomically(path("broken.chg"), "755 and nothing else");

    Output r = add("A通道", 1, {standard("ok.chg", 1), path("broken.chg")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("cannot read " + path("broken.chg")), std::string::npos) << r.err;

    r = add("C通道", 1, {standard("ok.chg", 1)});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no curve named \"C通道\""), std::string::npos) << r.err;

    for (int level : {0, 3}) {
        r = add("A通道", level, {standard("ok.chg", 1)});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("(1..2)"), std::string::npos) << r.err;
    }
    EXPECT_EQ(readWholeFile(path("DGA.she")), before);

    std::ostringstream out, err;
    EXPECT_EQ(runCalibrationShow({path("missing.she"), false}, out, err), 1);
    EXPECT_EQ(out.str(), "");
}

// A run is kept under the file's full path however it was typed, so adding the same file
// again, by another spelling, replaces its run instead of counting it twice.
TEST_F(CalibrationCommandTest, AddingTheSameFileAgainReplacesItsRun)
{
    standard("std.chg", 1);
    std::filesystem::create_directories(path("sub"));
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    const Output first = add("A通道", 1, {"std.chg"});
    standard("std.chg", 2);
    const Output second = add("A通道", 1, {"./sub/../std.chg"});
    std::filesystem::current_path(cwd);
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(second.status, 0) << second.err;
    Output third = add("A通道", 1, {path("std.chg")});
    ASSERT_EQ(third.status, 0) << third.err;

    const auto runs = loadMethodFile(path("DGA.she")).curves[0].levels[0].runs;
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].path, path("std.chg"));
    EXPECT_EQ(runs[0].responses[0].area, 800.0) << "the file as it is now";
}

TEST_F(CalibrationCommandTest, TheToolEntersTwoLevelsOfStandardsThenQuantifiesASampleWithThem)
{
    // Unprocessed: Gaussians of one shape at 1.0 and 2.0 minutes, with the oil-test values of
    // an oscillation run; the sample is 1.5 times the first standard.
    for (const auto& [name, scale] : {std::pair{"std1", 1.0}, {"std2", 2.0}, {"sample", 1.5}}) {
        ChromatogramData d;
        d.hasData = 1;
        d.signal.assign(gaussians(3600, {{1200, 800 * scale, 30}, {2400, 400 * scale, 30}}));
        d.method.ambientPressure = 101.3;
        d.method.ambientTemperature = 50;
        d.method.gasVolume = 5;
        d.method.oilVolume = 40;
        writeChromatogramFile(path(std::string(name) + ".chg"), d);
    }
    const std::string she = path("DGA.she");
    ToolResult r;
    for (const std::string level : {"1", "2"}) {
        const std::string processed = path("std" + level + "p.chg");
        r = tool("process " + path("std" + level + ".chg") + " --method " + she + " -o " +
                 processed);
        ASSERT_EQ(r.status, 0) << r.err;
        r = tool("calibration add " + she + " --curve A通道 --level " + level + " " + processed +
                 " --json");
        ASSERT_EQ(r.status, 0) << r.err;
    }
    EXPECT_EQ(json::parse(r.out)["calibrated"], 1);

    const std::string sample = "process " + path("sample.chg");
    r = tool(sample + " --method " + she + " --calibration A通道 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json result = json::parse(r.out);
    EXPECT_EQ(result["calibrationName"], "A通道");
    ASSERT_EQ(result["peaks"].size(), 2u);
    EXPECT_EQ(result["peaks"][1]["componentName"], "CH4(甲烷)");
    EXPECT_NEAR(result["peaks"][0]["gasContent"].get<double>(), 150.0, 0.5);
    EXPECT_NEAR(result["peaks"][1]["gasContent"].get<double>(), 15.0, 0.05);
    EXPECT_GT(result["peaks"][0]["oilContent"].get<double>(), 0.0);

    EXPECT_NE(tool("calibration show " + she).out.find("std2p.chg"), std::string::npos);
    r = tool(sample + " --method " + she + " --calibration C通道");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no curve named \"C通道\""), std::string::npos) << r.err;
    EXPECT_EQ(tool(sample + " --calibration A通道").status, 2) << "--calibration needs --method";
}

}  // namespace
}  // namespace dgaws::cli::test
