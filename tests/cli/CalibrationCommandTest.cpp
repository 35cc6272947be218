// `calibration show` and `calibration add`, run in-process.
#include "cli/CliTestSupport.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/MethodFile.h"
#include "cli/CalibrationCommand.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace dgaws::cli::test {
namespace {

using nlohmann::json;

struct Output {
    int status = -1;
    std::string out;
    std::string err;
};

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

    Output show(bool asJson)
    {
        std::ostringstream out, err;
        Output r;
        r.status = runCalibrationShow({path("DGA.she"), asJson}, out, err);
        r.out = out.str();
        r.err = err.str();
        return r;
    }
    Output add(const std::string& curve, int level, std::vector<std::string> files,
               bool asJson = false)
    {
        std::ostringstream out, err;
        Output r;
        r.status = runCalibrationAdd({path("DGA.she"), curve, level, std::move(files), asJson},
                                     out, err);
        r.out = out.str();
        r.err = err.str();
        return r;
    }
};

TEST_F(CalibrationCommandTest, AddWritesOnlyItsCurveAndShowListsEveryCurve)
{
    Output r = add("A通道", 1, {standard("s1a.chg", 1), standard("s1b.chg", 1)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Added 2 runs to level 1"), std::string::npos) << r.out;
    r = add("A通道", 2, {standard("s2.chg", 2)}, true);
    ASSERT_EQ(r.status, 0) << r.err;
    // Through the origin: areas 400 and 800 at 100 and 200, 30 and 60 at 10 and 20.
    const json curve = json::parse(r.out);
    EXPECT_DOUBLE_EQ(curve["components"][0]["factor1"].get<double>(), 4.0);
    EXPECT_DOUBLE_EQ(curve["components"][1]["factor1"].get<double>(), 3.0);

    const MethodLibraryEntry stored = loadMethodFile(path("DGA.she"));
    EXPECT_EQ(stored.curves[0].levels[0].runs.size(), 2u);
    EXPECT_EQ(stored.curves[0].levels[1].runs.at(0).responses.at(1).area, 60);
    EXPECT_TRUE(stored.curves[1].levels[0].runs.empty());

    const json shown = json::parse(show(true).out);
    EXPECT_EQ(shown["name"], "DGA");
    EXPECT_EQ(shown["curves"].size(), 2u);
    const Output text = show(false);
    for (const char* expected : {"Curve 1: A通道", "浓度2", "过原点的直线", "Curve 2: B通道",
                                 "(no components)"})
        EXPECT_NE(text.out.find(expected), std::string::npos) << expected << "\n" << text.out;
}

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

}  // namespace
}  // namespace dgaws::cli::test
