// `calibration show` and `calibration add`, run in-process.
#include "cli/CliTestSupport.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/MethodFile.h"
#include "cli/CalibrationCommand.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace dgaws::cli::test {
namespace {

ComponentEntry gas(const std::string& name, double minutes, std::vector<double> conc)
{
    ComponentEntry c;
    c.name = name;
    c.retentionTime = minutes;
    c.concentrations = std::move(conc);
    return c;
}

class CalibrationCommandTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        MethodLibraryEntry m;
        m.path = path("DGA.she");
        m.method.name = "DGA";
        m.method.calcMethod = 3;
        CalibrationCurve c;
        c.name = "A通道";
        c.components = {gas("H2(氢气)", 0.5, {100, 200}), gas("CH4(甲烷)", 1.0, {10, 20})};
        c.components[0].index = 0;
        c.components[1].index = 1;
        c.levels.assign(2, StandardLevel{});
        CalibrationCurve other;
        other.name = "B通道";
        m.curves = {c, other};
        saveMethodFile(m);
    }

    // A standard with peaks in both windows, areas scaled by `level`.
    std::string standard(const std::string& name, double level)
    {
        ChromatogramData d;
        PeakRecord h2;
        h2.retentionTime = 0.51;
        h2.area = 400 * level;
        PeakRecord ch4;
        ch4.retentionTime = 0.99;
        ch4.area = 30 * level;
        d.peaks.append(h2);
        d.peaks.append(ch4);
        writeChromatogramFile(path(name), d);
        return path(name);
    }

    Output add(const std::string& curve, int level, std::vector<std::string> files,
               bool asJson = false)
    {
        return captured([&](std::ostream& out, std::ostream& err) {
            return runCalibrationAdd({path("DGA.she"), curve, level, files, asJson}, out, err);
        });
    }
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

}  // namespace
}  // namespace dgaws::cli::test
