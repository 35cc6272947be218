#include "cli/CliTestSupport.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/MethodFile.h"
#include "cli/ProcessCommand.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>

namespace dgaws::cli::test {
namespace {

using nlohmann::json;

Output process(ProcessOptions options)
{
    return call(runProcess, options);
}

std::string fixed(const char* format, double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

class ProcessCommandTest : public TempDirTest {};

TEST_F(ProcessCommandTest, JsonAndTextShowTheSameResults)
{
    const std::string file = path("A.chg");
    writeChromatogramFile(file, threePeaksToDetect());
    ProcessOptions o;
    o.path = file;
    o.json = true;
    const Output r = process(o);
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    ASSERT_EQ(j["peaks"].size(), 3u);
    const double apexes[] = {1200, 2400, 4200};
    double area = 0.0;
    for (int i = 0; i < 3; ++i) {
        const json& p = j["peaks"][static_cast<size_t>(i)];
        EXPECT_EQ(p["row"], i + 1);
        EXPECT_NEAR(p["retentionTime"].get<double>(), apexes[i] / 20 / 60, 0.01);
        area += p["area"].get<double>();
    }
    EXPECT_DOUBLE_EQ(j["totals"]["area"].get<double>(), area);
    EXPECT_NEAR(j["totals"]["areaPercent"].get<double>(), 100.0, 1e-9);
    // 900 x 30 x sqrt(2 pi) / 20 for the first.
    EXPECT_NEAR(j["peaks"][0]["area"].get<double>(), 3383.8, 3383.8 * 0.01);

    o.json = false;
    const std::string text = process(o).out;
    const std::string totals = text.substr(text.find("合计"));
    EXPECT_NE(totals.find(fixed("%lf", area)), std::string::npos) << totals;
    EXPECT_NE(text.find(fixed("%1.3lf", j["peaks"][1]["retentionTime"].get<double>())),
              std::string::npos);
    EXPECT_NE(text.find(fixed("%1.0lf", j["peaks"][2]["plates"].get<double>())), std::string::npos);
}

TEST_F(ProcessCommandTest, SampleFileIsTakenAtTheGivenRateWithTheMethodsParameters)
{
    const std::string dat = path("A.dat");
    writeBinaryChromatogram(dat, threePeaksToDetect());

    // A method that locks out the first peak.
    MethodLibraryEntry entry;
    entry.method.name = "锁定方法";
    entry.method.integration.lockTime = 0.5;
    entry.path = path("lock.she");
    saveMethodFile(entry);

    ProcessOptions o;
    o.path = dat;
    o.json = true;
    o.pointsPerSecond = 50;
    EXPECT_NEAR(json::parse(process(o).out)["peaks"][0]["retentionTime"].get<double>(),
                1200.0 / 50 / 60, 0.004);
    o.methodPath = entry.path;
    const Output r = process(o);
    ASSERT_EQ(r.status, 0) << r.err;
    const json locked = json::parse(r.out);
    EXPECT_EQ(locked["methodName"], "锁定方法");
    ASSERT_EQ(locked["peaks"].size(), 2u) << "lock time 0.5 min is sample 1500 at 50 per second";
    EXPECT_NEAR(locked["peaks"][0]["retentionTime"].get<double>(), 2400.0 / 50 / 60, 0.004);
}

TEST_F(ProcessCommandTest, AreasFollowTheFilesRateNotTheSettingAndDeletionFollowsTheSetting)
{
    ChromatogramData d = threePeaksToDetect();
    const std::string file = path("A.chg");
    writeChromatogramFile(file, d);
    ProcessOptions o;
    o.path = file;
    o.json = true;
    const json twenty = json::parse(process(o).out);
    o.cacuFrequence = 0;
    const json ten = json::parse(process(o).out);
    EXPECT_DOUBLE_EQ(ten["peaks"][0]["area"].get<double>(),
                     twenty["peaks"][0]["area"].get<double>());

    // The smallest peak below the minimum height: deleted by default, kept (and not
    // listed) with --keep-excluded.
    d.method.integration.minHeight = 400.0;
    writeChromatogramFile(file, d);
    o.cacuFrequence = 1;
    o.outputPath = path("kept.chg");
    EXPECT_EQ(json::parse(process(o).out)["peaks"].size(), 2u);
    EXPECT_EQ(readChromatogramFile(o.outputPath).peaks.size(), 2);
    o.keepExcluded = true;
    EXPECT_EQ(json::parse(process(o).out)["peaks"].size(), 2u);
    const ChromatogramData kept = readChromatogramFile(o.outputPath);
    ASSERT_EQ(kept.peaks.size(), 3);
    EXPECT_EQ(kept.peaks[2].excluded, 1);
}

TEST_F(ProcessCommandTest, FailuresPrintOneLineAndNothingElse)
{
    const std::string file = path("A.chg");
    writeChromatogramFile(file, threePeaksToDetect());
    MethodLibraryEntry entry;
    entry.path = path("m.she");
    saveMethodFile(entry);

    const auto fails = [](const std::string& in, const std::string& method, const std::string& out,
                          const std::string& prefix) {
        ProcessOptions o;
        o.path = in;
        o.methodPath = method;
        o.outputPath = out;
        const Output r = process(o);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_EQ(r.err.rfind(prefix, 0), 0u) << r.err;
    };
    fails(path("none.chg"), "", "", "dgaws-cli: cannot read " + path("none.chg") + ": ");
    fails(entry.path, "", "", "dgaws-cli: cannot read " + entry.path + ": not a chromatogram");
    fails(file, file, "", "dgaws-cli: cannot read " + file + ": ");
    fails(file, "", path("no/out.chg"), "dgaws-cli: cannot write " + path("no/out.chg") + ": ");
}

TEST_F(ProcessCommandTest, AContentThatCouldNotBeFormedIsNullNotZeroAndStaysOutOfTheTotals)
{
    ChromatogramData d = threePeaksToDetect();
    d.method.calcMethod = 3;  // external standard
    d.sampleAmount = 100;
    ComponentEntry fitted;
    fitted.index = 0;
    fitted.name = "CH4";
    fitted.retentionTime = 1.0;
    fitted.timeWindow = 0.1;
    fitted.factor1 = 10;
    ComponentEntry unfitted = fitted;
    unfitted.index = 1;
    unfitted.name = "C2H2";
    unfitted.retentionTime = 2.0;
    unfitted.factor1 = 0;
    d.method.components = {fitted, unfitted};
    const std::string file = path("A.chg");
    writeChromatogramFile(file, d);

    ProcessOptions o;
    o.path = file;
    o.json = true;
    const Output r = process(o);
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    ASSERT_EQ(j["peaks"].size(), 3u);
    EXPECT_GT(j["peaks"][0]["gasContent"].get<double>(), 0.0);
    EXPECT_TRUE(j["peaks"][1]["gasContent"].is_null());
    EXPECT_TRUE(j["peaks"][1]["oilContent"].is_null());
    EXPECT_NE(j["peaks"][1]["contentNote"].get<std::string>().find("C2H2"), std::string::npos);
    EXPECT_EQ(j["peaks"][2]["gasContent"].get<double>(), 0.0);  // unidentified: no gas named
    EXPECT_FALSE(j["peaks"][2].contains("contentNote"));
    EXPECT_EQ(j["totals"]["gasContent"].get<double>(), j["peaks"][0]["gasContent"].get<double>());
    EXPECT_EQ(j["totals"]["notCalibrated"], json::array({"C2H2"}));

    o.json = false;
    const std::string text = process(o).out;
    EXPECT_NE(text.find("未校正"), std::string::npos) << text;
    EXPECT_NE(text.substr(text.find("合计")).find("不含未校正组份"), std::string::npos) << text;
}

}  // namespace
}  // namespace dgaws::cli::test
