// `calibration show` and `calibration add`, in-process and, from the command line only,
// standards entered at two levels, the curve refitted, a sample quantified with it.
#include "cli/CliTestSupport.h"
#include "cli/ToolRunner.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/FileLock.h"
#include "chromatogram/MethodFile.h"
#include "cli/CalibrationCommand.h"
#include "cli/CalibrationEditCommand.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

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

TEST_F(CalibrationCommandTest, BadNamesAndValuesExitOneNamingThemAndChangeNothing)
{
    add("A通道", 1, {standard("s1.chg", 1)});
    writeFileAtomically(path("broken.chg"), "755 and nothing else");
    const std::string she = path("DGA.she");
    const std::string before = readWholeFile(she);
    const auto set = [&](std::vector<std::string> conc, int type = -1, std::string is = {}) {
        return captured([&](std::ostream& out, std::ostream& err) {
            return runCalibrationSet({she, "A通道", type, is, conc, false}, out, err);
        });
    };
    const std::vector<std::pair<Output, std::string>> refused = {
        // One unreadable standard and none of them is entered.
        {add("A通道", 1, {standard("ok.chg", 1), path("broken.chg")}),
         "cannot read " + path("broken.chg")},
        {add("C通道", 1, {standard("ok.chg", 1)}), "no curve named \"C通道\""},
        {add("A通道", 0, {standard("ok.chg", 1)}), "(1..2)"},
        {add("A通道", 3, {standard("ok.chg", 1)}), "(1..2)"},
        {call(runCalibrationShow, CalibrationShowOptions{path("missing.she"), false}),
         "missing.she"},
        // A good value before a bad one is not applied either.
        {set({"H2(氢气)=1:150", "N2=1:5"}), "no component named \"N2\""},
        {set({"H2(氢气)=4:5"}), "(1..3)"},
        {set({"H2(氢气)=1:-5"}), "\"H2(氢气)=1:-5\""},
        {set({"H2(氢气)1:5"}), "not GAS=LEVEL:VALUE"},
        {set({}, 7), "type 7"},
        {set({}, -1, "O2"), "no component named \"O2\""},
        {set({}), "nothing to set"},
        {captured([&](std::ostream& out, std::ostream& err) {
             return runCalibrationRemoveRun({she, "A通道", "2:1", false}, out, err);
         }),
         "run 2:1"},
        {captured([&](std::ostream& out, std::ostream& err) {
             return runCalibrationNew({she, "A通道", "", false}, out, err);
         }),
         "already"},
        {captured([&](std::ostream& out, std::ostream& err) {
             return runCalibrationNew({she, "B", "C通道", false}, out, err);
         }),
         "no curve named \"C通道\""},
        {captured([&](std::ostream& out, std::ostream& err) {
             return runCalibrationPlot({she, "A通道", "", path("a.png"), path("a.pdf")}, out, err);
         }),
         "--png"},
    };
    for (const auto& [r, named] : refused) {
        EXPECT_EQ(r.status, 1) << named;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
    }
    EXPECT_EQ(readWholeFile(she), before);
}

// Another workstation saves the method while a command that has read it waits to write:
// every command that writes the curve fails and leaves the other's file as it saved it.
TEST_F(CalibrationCommandTest, ASaveAfterAnotherWorkstationsSaveFailsAndLeavesTheirFile)
{
    const std::string she = path("DGA.she");
    ASSERT_EQ(add("A通道", 1, {standard("s1.chg", 1)}).status, 0);
    const std::function<Output()> writes[] = {
        [&] { return add("A通道", 1, {standard("s2.chg", 2)}); },
        [&] {
            return call(runCalibrationNew, CalibrationNewOptions{she, "B", "", false});
        },
        [&] {
            return call(runCalibrationSet, CalibrationSetOptions{she, "A通道", 1, "", {}, false});
        },
        [&] {
            return call(runCalibrationRemoveRun,
                        CalibrationRemoveRunOptions{she, "A通道", "1", false});
        },
    };
    int n = 0;
    for (const auto& write : writes) {
        SCOPED_TRACE(++n);
        MethodLibraryEntry theirs = loadMethodFile(she);
        theirs.method.tester = "another workstation " + std::to_string(n);
        const int watch = ::inotify_init1(IN_CLOEXEC);
        ASSERT_GE(::inotify_add_watch(watch, she.c_str(), IN_CLOSE_NOWRITE), 0);
        Output result;
        auto saving = std::make_optional<FileLock>(she);  // their save is under way
        std::thread command([&] { result = write(); });
        pollfd read{watch, POLLIN, 0};
        const bool commandHasRead = ::poll(&read, 1, 30000) == 1;
        writeFileAtomically(she, storeMethodFile(theirs));
        saving.reset();
        command.join();
        ::close(watch);
        ASSERT_TRUE(commandHasRead);
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find("已被另一工作站修改"), std::string::npos) << result.err;
        EXPECT_TRUE(readWholeFile(she) == storeMethodFile(theirs)) << "their file changed";
    }
}

TEST_F(CalibrationCommandTest, TheToolMakesACurveEditsItAndDrawsIt)
{
    const std::string she = path("DGA.she");
    standard("s1.chg", 1);
    standard("s2.chg", 2);
    standard("bad.chg", 3);
    ASSERT_EQ(add("A通道", 1, {path("s1.chg")}).status, 0);
    ASSERT_EQ(add("A通道", 2, {path("s2.chg"), path("bad.chg")}).status, 0);

    ToolResult r = tool("calibration new " + she + " --curve B --from A通道");
    ASSERT_EQ(r.status, 0) << r.err;
    // Doubled concentrations at both levels: the factors halve against the copied curve's.
    r = tool("calibration set " + she +
             " --curve B --concentration H2(氢气)=1:200 --concentration H2(氢气)=2:400");
    ASSERT_EQ(r.status, 0) << r.err;
    r = tool("calibration remove-run " + she + " --curve A通道 --run 3");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("bad.chg"), std::string::npos) << r.out;

    const MethodLibraryEntry m = loadMethodFile(she);
    ASSERT_EQ(m.curves.size(), 2u);
    const CalibrationCurve& a = m.curves[0];
    const CalibrationCurve& b = m.curves[1];
    EXPECT_EQ(b.name, "B");
    EXPECT_EQ(b.levels.size(), 2u);
    EXPECT_TRUE(b.levels[0].runs.empty()) << "a new curve starts without runs";
    EXPECT_EQ(b.components[1].concentrations, a.components[1].concentrations);
    ASSERT_EQ(a.levels[1].runs.size(), 1u);
    EXPECT_NEAR(a.components[0].factor1, 4.0, 1e-9) << "400 per 100 without the bad run";
    EXPECT_EQ(a.calibrated, 1);

    const std::string png = path("h2.png");
    r = tool("calibration plot " + she + " --curve A通道 --component H2(氢气) --png " + png);
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage picture(QString::fromStdString(png));
    ASSERT_FALSE(picture.isNull());
    int line = 0;
    int points = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            line += c.red() > 200 && c.green() < 80 && c.blue() < 80 ? 1 : 0;
            points += c.blue() > 200 && c.red() < 80 ? 1 : 0;
        }
    EXPECT_GT(line, 300) << "the fitted line";
    EXPECT_GT(points, 10) << "the standard points";

    r = tool("calibration plot " + she + " --curve A通道 --pdf " + path("all.pdf"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string pdf = readWholeFile(path("all.pdf"));
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_NE(r.out.find("2 pages"), std::string::npos) << r.out;
    r = tool("calibration plot " + she + " --curve B --png " + path("b.png"));
    EXPECT_EQ(r.status, 1) << "B has no runs, so nothing is fitted";
    EXPECT_NE(r.err.find("no fitted component"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace dgaws::cli::test
