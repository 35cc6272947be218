// From the command line only: standards entered at two levels, the curve refitted, a sample
// quantified with it, gas and oil contents read back.
#include "cli/CliTestSupport.h"
#include "cli/ToolRunner.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/MethodFile.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>

namespace dgaws::cli::test {
namespace {

using nlohmann::json;

const std::string kH2 = "H2(氢气)";
const std::string kCH4 = "CH4(甲烷)";

ComponentEntry gas(const std::string& name, double minutes, int index,
                   std::vector<double> concentrations)
{
    ComponentEntry c;
    c.index = index;
    c.name = name;
    c.retentionTime = minutes;
    c.timeWindow = 0.1;
    c.concentrations = std::move(concentrations);
    return c;
}

// Unprocessed: Gaussians of one shape at 1.0 and 2.0 minutes on a level of 100 uV, the
// oil-test values of an oscillation run in the sample information.
ChromatogramData chromatogram(double h2Height, double ch4Height)
{
    ChromatogramData d;
    d.pointsPerSecond = 20;
    d.hasData = 1;
    d.signal.assign(gaussians(3600, {{1200, h2Height, 30}, {2400, ch4Height, 30}}));
    d.method.ambientPressure = 101.3;
    d.method.ambientTemperature = 50;
    d.method.gasVolume = 5;
    d.method.oilVolume = 40;
    return d;
}

class CalibrationEndToEndTest : public TempDirTest {
protected:
    ToolResult tool(const std::string& args) { return runTool(args, path("stderr.txt")); }
    std::string q(const std::string& name) { return shellQuoted(path(name)); }
};

TEST_F(CalibrationEndToEndTest, TwoLevelStandardsThenASampleQuantifiedWithTheCurve)
{
    MethodLibraryEntry m;
    m.path = path("DGA.she");
    m.method.name = "DGA";
    m.method.calcMethod = 5;  // oscillation: external standard, then oil contents
    m.method.impurityCalc = 1;  // group results: one row per identified peak
    CalibrationCurve curve;
    curve.name = "A通道";
    curve.components = {gas(kH2, 1.0, 0, {100, 200}), gas(kCH4, 2.0, 1, {10, 20})};
    curve.levels.assign(2, StandardLevel{});
    m.curves = {curve};
    saveMethodFile(m);

    writeChromatogramFile(path("std1.chg"), chromatogram(800, 400));
    writeChromatogramFile(path("std2.chg"), chromatogram(1600, 800));
    writeChromatogramFile(path("sample.chg"), chromatogram(1200, 600));

    for (const char* name : {"std1", "std2"}) {
        const ToolResult r = tool("process " + q(std::string(name) + ".chg") + " --method " +
                                  q("DGA.she") + " -o " + q(std::string(name) + "p.chg"));
        ASSERT_EQ(r.status, 0) << r.err;
    }
    ToolResult r = tool("calibration add " + q("DGA.she") + " --curve A通道 --level 1 " +
                        q("std1p.chg"));
    ASSERT_EQ(r.status, 0) << r.err;
    r = tool("calibration add " + q("DGA.she") + " --curve A通道 --level 2 " + q("std2p.chg") +
             " --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json fitted = json::parse(r.out);
    EXPECT_EQ(fitted["calibrated"], 1);
    for (const auto& c : fitted["components"]) {
        EXPECT_GT(c["factor1"].get<double>(), 0.0) << c["name"];
        EXPECT_NEAR(c["correlation"].get<double>(), 1.0, 1e-6) << c["name"];
    }

    r = tool("process " + q("sample.chg") + " --method " + q("DGA.she") +
             " --calibration A通道 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json result = json::parse(r.out);
    EXPECT_EQ(result["calibrationName"], "A通道");
    ASSERT_EQ(result["peaks"].size(), 2u);
    const json& h2 = result["peaks"][0];
    const json& ch4 = result["peaks"][1];
    EXPECT_EQ(h2["componentName"], kH2);
    EXPECT_EQ(ch4["componentName"], kCH4);
    // 1.5 times the first standard: 150 and 15 uL/L in the gas.
    EXPECT_NEAR(h2["gasContent"].get<double>(), 150.0, 0.5);
    EXPECT_NEAR(ch4["gasContent"].get<double>(), 15.0, 0.05);
    EXPECT_GT(h2["oilContent"].get<double>(), 0.0);
    ASSERT_EQ(result["groupResults"].size(), 2u);

    // The readable form names the curve and lists both levels' runs.
    r = tool("calibration show " + q("DGA.she"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("std1p.chg"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("std2p.chg"), std::string::npos) << r.out;
    r = tool("process " + q("sample.chg") + " --method " + q("DGA.she") + " --calibration B通道");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no curve named \"B通道\""), std::string::npos) << r.err;
    r = tool("process " + q("sample.chg") + " --calibration A通道");
    EXPECT_EQ(r.status, 2) << "--calibration needs --method";
}

}  // namespace
}  // namespace dgaws::cli::test
