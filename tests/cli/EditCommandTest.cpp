#include "cli/CliTestSupport.h"
#include "cli/ToolRunner.h"

#include "app/CChrEDoc.h"
#include "chromatogram/ChromatogramFile.h"
#include "cli/EditCommand.h"
#include "cli/ProcessCommand.h"
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
        return captured([&](std::ostream& out, std::ostream& err) { return runEdit(o, out, err); });
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
    ASSERT_EQ(readChromatogramFile(input_).peaks.size(), 3);
    const std::string out = path("B.chg");
    const Output r = edit({{"negative", "1"}, {"negative", "1"}, {"vertical-cut", "1,2.5"}}, out);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("纵切基线"), std::string::npos) << "the manual events are listed";
    const ChromatogramData d = readChromatogramFile(out);
    EXPECT_EQ(type(d.peaks[0]), "重叠首峰(BV)");
    EXPECT_EQ(type(d.peaks[1]), "重叠尾峰(VB)");
    EXPECT_EQ(type(d.peaks[2]), "独立峰(BB)");
    EXPECT_EQ(kinds(d), (std::vector<int>{Kind::NegativePeak, Kind::VerticalCut, Kind::VerticalCut,
                                          Kind::VerticalCut}));

    const Output reversed = edit({{"vertical-cut", "1,2.5"}, {"negative", "1"}}, out);
    ASSERT_EQ(reversed.status, 0) << reversed.err;
    const ChromatogramData e = readChromatogramFile(out);
    EXPECT_EQ(type(e.peaks[0]), "负  峰(N)");
    EXPECT_EQ(e.peaks[0].typeFlags, PeakFlag::Negative);

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
        {{{"add", "1.0,1.1,1.2"}}, "the start: the start of a new peak lies inside an existing peak"},
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
    EXPECT_EQ(d.peaks[2].apexIndex, 3300);
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
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(j["peaks"][i]["startIndex"], d.peaks[i].startIndex) << i;
        EXPECT_EQ(j["peaks"][i]["apexIndex"], d.peaks[i].apexIndex) << i;
        EXPECT_EQ(j["peaks"][i]["endIndex"], d.peaks[i].endIndex) << i;
        EXPECT_EQ(j["peaks"][i]["typeFlags"], d.peaks[i].typeFlags) << i;
    }

    // The manual event table's own rows, edited headless.
    const Output cleared = edit({{"add", "2.6,2.75,2.9"}, {"delete-event", "1"}}, path("D.chg"), true);
    ASSERT_EQ(cleared.status, 0) << cleared.err;
    EXPECT_TRUE(json::parse(cleared.out)["manualEvents"].empty());
    EXPECT_EQ(readChromatogramFile(path("D.chg")).peaks.size(), 4) << "the peak stays";
}

// The built tool: repeated options keep the order in which they were typed.
TEST_F(EditCommandTest, TheToolKeepsTheOrderOfRepeatedOptions)
{
    const std::string edit = "edit " + shellQuoted(input_) + " ";
    const ToolResult r = runTool(edit + "--negative 1 --vertical-cut 1,2.5 --negative 1 --json",
                                 path("stderr.txt"));
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    std::vector<int> k;
    for (const json& e : j["manualEvents"])
        k.push_back(e["kind"]);
    EXPECT_EQ(k, (std::vector<int>{Kind::NegativePeak, Kind::VerticalCut, Kind::VerticalCut,
                                   Kind::VerticalCut, Kind::NegativePeak}));

    const ToolResult undone = runTool(edit + "--negative 1 --undo --undo -o " + shellQuoted(path("B.chg")),
                                      path("stderr.txt"));
    EXPECT_EQ(undone.status, 1);
    EXPECT_EQ(undone.err, "dgaws-cli: --undo: there is nothing to undo\n");
    EXPECT_FALSE(std::filesystem::exists(path("B.chg")));
}

}  // namespace
}  // namespace dgaws::cli::test
