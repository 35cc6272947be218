#include "cli/CliTestSupport.h"
#include "cli/ToolRunner.h"

#include "app/CChrEDoc.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/MethodFile.h"
#include "cli/EditCommand.h"
#include "cli/ProcessCommand.h"
#include "cli/SignalCommand.h"
#include "processing/ManualEventKind.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <sstream>

namespace dgaws::cli::test {
namespace {

using nlohmann::json;
namespace Kind = dgaws::ManualEventKind;

// Gaussians at 1.0, 2.0 and 3.5 minutes and, at 2.75 minutes, one too low to be detected.
ChromatogramData detected()
{
    CChrEDoc doc;
    doc.data.signal.assign(
        gaussians(6000, {{1200, 900, 30}, {2400, 500, 40}, {3300, 5, 40}, {4200, 300, 50}}));
    doc.data.hasData = 1;
    doc.detectPeaks();
    return doc.data;
}

class EditCommandTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        input_ = path("A.chg");
        writeChromatogramFile(input_, detected());
    }

    Output edit(std::vector<EditStep> steps, const std::string& output = "", bool asJson = false)
    {
        EditOptions o;
        o.path = input_;
        o.steps = std::move(steps);
        o.outputPath = output;
        o.json = asJson;
        return call(runEdit, o);
    }

    static std::vector<int> kinds(const ChromatogramData& d)
    {
        std::vector<int> k;
        for (const ManualEvent& e : d.method.manualEvents)
            k.push_back(e.kind);
        return k;
    }
    static std::string type(const PeakRecord& p) { return peakTypeName(peakTypeCode(p.typeFlags)); }

    std::string input_;
};

TEST_F(EditCommandTest, EditsApplyInTheOrderGiven)
{
    const std::string out = path("B.chg");
    const Output r = edit({{"negative", "1"}, {"negative", "1"}, {"vertical-cut", "1,2.5"}}, out);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("纵切基线"), std::string::npos) << "the manual events are listed";
    const ChromatogramData d = readChromatogramFile(out);
    EXPECT_EQ(type(d.peaks[0]), "重叠首峰(BV)");
    EXPECT_EQ(type(d.peaks[2]), "独立峰(BB)");
    EXPECT_EQ(kinds(d),
              (std::vector<int>{Kind::NegativePeak, Kind::NegativePeak, Kind::VerticalCut,
                                Kind::VerticalCut, Kind::VerticalCut}));

    const Output reversed = edit({{"vertical-cut", "1,2.5"}, {"negative", "1"}}, out);
    ASSERT_EQ(reversed.status, 0) << reversed.err;
    EXPECT_EQ(readChromatogramFile(out).peaks[0].typeFlags, PeakFlag::Negative);

    const Output undone = edit({{"delete", "2"}, {"undo", ""}, {"redo", ""}, {"undo", ""}}, out);
    ASSERT_EQ(undone.status, 0) << undone.err;
    EXPECT_EQ(readChromatogramFile(out).peaks.size(), 3);
}

TEST_F(EditCommandTest, AnEditBreakingALimitEndsTheCommandWithNothingWritten)
{
    const std::string out = path("B.chg");
    struct Case {
        std::vector<EditStep> steps;
        std::string said;
    };
    const std::vector<Case> cases = {
        {{{"delete", "3"}, {"move-start", "1,1.5"}},
         "--move-start 1,1.5: the new position lies beyond what the peak and its neighbours "
         "allow: it may lie from "},
        {{{"add", "1.0,1.1,1.2"}},
         "the start: the start of a new peak lies inside an existing peak"},
        {{{"add", "2.6,2.75"}}, "expected START,APEX,END"},
        {{{"delete", "x"}}, "expected a number N"},
        {{{"delete-event", "1"}}, "the manual event table has no row 1"},
    };
    for (const Case& c : cases) {
        const Output r = edit(c.steps, out);
        EXPECT_EQ(r.status, 1) << c.said;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(std::filesystem::exists(out)) << c.said;
    }
}

TEST_F(EditCommandTest, ProcessReplaysTheEditsWhenTheMethodAsks)
{
    const std::string edited = path("B.chg");
    const Output r = edit({{"add", "2.6,2.75,2.9"}, {"move-end", "2,2.3"}}, edited);
    ASSERT_EQ(r.status, 0) << r.err;
    ChromatogramData d = readChromatogramFile(edited);
    ASSERT_EQ(d.peaks.size(), 4);
    EXPECT_EQ(d.peaks[1].endIndex, 2760);
    d.method.useManualEvents = 1;
    const std::string asked = path("C.chg");
    writeChromatogramFile(asked, d);

    ProcessOptions p;
    p.path = asked;
    p.json = true;
    std::ostringstream out, err;
    ASSERT_EQ(runProcess(p, out, err), 0) << err.str();
    const json j = json::parse(out.str());
    ASSERT_EQ(j["peaks"].size(), 4u);
    for (int i = 0; i < 4; ++i)
        for (const auto& [key, value] : {std::pair{"startIndex", d.peaks[i].startIndex},
                                         {"apexIndex", d.peaks[i].apexIndex},
                                         {"endIndex", d.peaks[i].endIndex},
                                         {"typeFlags", d.peaks[i].typeFlags}})
            EXPECT_EQ(j["peaks"][i][key], value) << i << " " << key;

    // The manual event table's own rows, edited headless.
    const Output cleared =
        edit({{"add", "2.6,2.75,2.9"}, {"delete-event", "1"}}, path("D.chg"), true);
    ASSERT_EQ(cleared.status, 0) << cleared.err;
    EXPECT_TRUE(json::parse(cleared.out)["manualEvents"].empty());
    EXPECT_EQ(readChromatogramFile(path("D.chg")).peaks.size(), 4) << "the peak stays";
}

// The built tool: repeated options keep the order in which they were typed.
TEST_F(EditCommandTest, TheToolKeepsTheOrderOfRepeatedOptions)
{
    const std::string edit = "edit " + input_ + " ";
    const ToolResult r =
        runTool(edit + "--negative 1 --vertical-cut 1,2.5 --negative 1 --json", dir_.string());
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    std::vector<int> k;
    for (const json& e : j["manualEvents"])
        k.push_back(e["kind"]);
    EXPECT_EQ(k,
              (std::vector<int>{Kind::NegativePeak, Kind::VerticalCut, Kind::VerticalCut,
                                Kind::VerticalCut, Kind::NegativePeak}));

    const ToolResult undone =
        runTool(edit + "--negative 1 --undo --undo -o " + path("B.chg"), dir_.string());
    EXPECT_EQ(undone.status, 1);
    EXPECT_EQ(undone.err, "dgaws-cli: --undo: there is nothing to undo\n");
    EXPECT_FALSE(std::filesystem::exists(path("B.chg")));
}

// Two detected Gaussians on a level drifting too slowly to be taken for a peak, with a
// ripple.
ChromatogramData drifting()
{
    std::vector<float> s(4000);
    for (int i = 0; i < 4000; ++i) {
        double v = 100.0 + 0.05 * i + 2.0 * std::sin(i * 0.9);
        for (auto [c, h] : {std::pair{1000.0, 800.0}, {2500.0, 500.0}}) {
            const double x = (i - c) / 35.0;
            v += h * std::exp(-0.5 * x * x);
        }
        s[static_cast<size_t>(i)] = static_cast<float>(v);
    }
    CChrEDoc doc;
    doc.data.signal.assign(s);
    doc.data.hasData = 1;
    doc.detectPeaks();
    return doc.data;
}

class SignalCommandTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        input_ = path("A.chg");
        source_ = drifting();
        writeChromatogramFile(input_, source_);
    }

    Output signal(std::vector<std::string> operations, const std::string& output = "")
    {
        SignalOptions o;
        o.path = input_;
        o.operations = std::move(operations);
        o.outputPath = output;
        o.json = true;
        return call(runSignal, o);
    }

    std::string input_;
    ChromatogramData source_;
};

TEST_F(SignalCommandTest, OperationsApplyInOrder)
{
    const std::vector<float>& x = source_.signal.values();
    const std::string out = path("B.chg");

    Output r = signal({"smooth", "4"}, out);
    ASSERT_EQ(r.status, 0) << r.err;
    const ChromatogramData smoothed = readChromatogramFile(out);
    EXPECT_EQ(smoothed.signal.at(1), x[1]);
    EXPECT_FLOAT_EQ(smoothed.signal.at(2), (x[0] + x[1] + x[2] + x[3]) / 4.0f);
    EXPECT_EQ(smoothed.peaks, readChromatogramFile(input_).peaks)
        << "smoothing detects nothing again";

    r = signal({"subtract-drift", "smooth", "5", "restore"}, out);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(json::parse(r.out)["baselineSubtracted"]);
    EXPECT_EQ(readChromatogramFile(out).signal, source_.signal) << "restored sample for sample";

    r = signal({"separate"}, out);
    ASSERT_EQ(r.status, 0) << r.err;
    for (const PeakRecord& p : readChromatogramFile(out).peaks)
        EXPECT_EQ(p.typeFlags, 0);
}

TEST_F(SignalCommandTest, RefusedOperationsWriteNothing)
{
    ChromatogramData shorter;
    shorter.signal.assign(std::vector<float>(3999, 1.0f));
    writeChromatogramFile(path("short.chg"), shorter);
    const std::string out = path("B.chg");
    struct Case {
        std::vector<std::string> operations;
        std::string said;
    };
    const std::vector<Case> cases = {
        {{"subtract-baseline", path("short.chg")}, "基线谱图长度小与当前谱图，不能处理。"},
        {{"subtract-drift", "restore", "restore"}, "restore: no baseline subtraction is in effect"},
        {{"smooth", "1"}, "leaves nothing to smooth"},
        {{"sharpen"}, "unknown operation sharpen"},
    };
    for (const Case& c : cases) {
        const Output r = signal(c.operations, out);
        EXPECT_EQ(r.status, 1) << c.said;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.said;
    }
}

// A standard linked to its curve in the library: commands that only look at it or change
// the chromatogram leave the library's file as it was; --update-library enters the run.
class LibraryUntouchedTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        std::filesystem::create_directories(path("methods"));
        standard_ = path("std.chg");
        ChromatogramData d = detected();
        d.sampleType = 1;
        d.standardLevel = 0;
        d.methodName = d.method.name = "DGA";
        d.calibrationName = "A通道";
        writeChromatogramFile(standard_, d);

        MethodLibraryEntry m;
        m.path = path("methods/DGA.she");
        m.method.name = "DGA";
        CalibrationCurve c;
        c.name = "A通道";
        ComponentEntry h2;
        h2.name = "H2(氢气)";
        h2.retentionTime = 1.0;
        h2.timeWindow = 0.1;
        h2.concentrations = {100};
        c.components = {h2};
        c.levels.assign(1, StandardLevel{});
        // The standard already has a run in the curve, under its own path.
        StandardRun run;
        run.path = standard_;
        run.responses = {{1.0, 1.0, 1.0}};
        c.levels[0].runs = {run};
        m.curves = {c};
        saveMethodFile(m);
    }
    std::string folder() const { return path("methods"); }

    std::string standard_;
};

TEST_F(LibraryUntouchedTest, EditSignalAndProcessLeaveTheMethodFileAsItWas)
{
    const std::string she = path("methods/DGA.she");
    const std::string before = readWholeFile(she);
    const auto run = [&](auto command, auto options) {
        return captured(
            [&](std::ostream& out, std::ostream& err) { return command(options, out, err); });
    };
    EditOptions e;
    e.path = standard_;
    e.steps = {{"delete", "3"}};
    e.methodFolder = folder();
    Output r = run(runEdit, e);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readWholeFile(she), before) << "edit";

    SignalOptions s;
    s.path = standard_;
    s.operations = {"smooth", "4"};
    s.methodFolder = folder();
    r = run(runSignal, s);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readWholeFile(she), before) << "signal";

    ProcessOptions p;
    p.path = standard_;
    p.methodFolder = folder();
    r = run(runProcess, p);
    ASSERT_EQ(r.status, 0) << r.err;
    p.methodPath = she;
    r = run(runProcess, p);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readWholeFile(she), before) << "process";

    e.updateLibrary = true;
    r = run(runEdit, e);
    ASSERT_EQ(r.status, 0) << r.err;
    const MethodLibraryEntry updated = loadMethodFile(she);
    ASSERT_EQ(updated.curves.at(0).levels.at(0).runs.size(), 1u);
    EXPECT_NE(updated.curves[0].levels[0].runs[0].responses.at(0).area, 1.0)
        << "asked for, the edited run replaces the stored one";
}

}  // namespace
}  // namespace dgaws::cli::test
