// Standard runs: appending, replacing, drafts, writing the method back, runs from files.
#include "quant/QuantFixtures.h"

#include "quant/StandardRuns.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/TempDir.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace dgaws::test {
namespace {

class StoreStandardRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        entry.path = dir.path("M.she");
        entry.method.calcMethod = 3;
        CalibrationCurve curve;
        curve.name = "c1";
        curve.components = numbered({component("a", 1.0, {10, 20}), component("b", 2.0, {1, 2})});
        curve.levels.assign(2, StandardLevel{});
        entry.curves = {CalibrationCurve{}, curve};

        standard.sampleType = 1;
        standard.standardLevel = 0;
        standard.peaks.append(identifiedPeak(1.0, 50, 0, "a", 5));
        standard.peaks.append(peakAt(1.5, 999));
        standard.peaks.append(identifiedPeak(2.0, 7, 1, "b", 1));
    }
    const CalibrationCurve& curve() const { return entry.curves[1]; }
    StoreResult store(const std::string& path, int runIndex)
    {
        return storeStandardRun(standard, path, &entry, 1, runIndex, saver);
    }

    TempDir dir;
    MethodLibraryEntry entry;
    ChromatogramData standard;
    int saves = 0;
    MethodSaver saver = [this](const MethodLibraryEntry& e) {
        ++saves;
        saveMethodFile(e);
    };
};

TEST_F(StoreStandardRunTest, AppendRecordsTheRunRefitsAndWritesTheMethod)
{
    const StoreResult r = store("/data/Std_1.chg", -1);
    ASSERT_EQ(r.status, StoreResult::Status::Appended);
    EXPECT_EQ(r.level, 0);
    EXPECT_EQ(r.run, 0);
    EXPECT_EQ(standard.standardRun, 0);
    const StandardRun& run = curve().levels[0].runs.at(0);
    EXPECT_EQ(run.path, "/data/Std_1.chg");
    EXPECT_EQ(run.responses, (std::vector<ComponentResponse>{{1.0, 50, 5}, {2.0, 7, 1}}));
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(loadMethodFile(entry.path), entry);

    // A second level: two points, so the through-origin fit of a is defined.
    standard.standardLevel = 1;
    standard.peaks[0].area = 100;
    EXPECT_EQ(store("/data/Std_2.chg", -1).run, 0);
    EXPECT_NEAR(curve().components[0].factor1, 5.0, 1e-12);

    // A level past the list grows it.
    standard.standardLevel = 3;
    EXPECT_EQ(store("/data/Std_4.chg", -1).status, StoreResult::Status::Appended);
    EXPECT_EQ(curve().levels.size(), 4u);
}

TEST_F(StoreStandardRunTest, DraftsAndMissingLinksAreNeverEntered)
{
    EXPECT_EQ(store("", -1).status, StoreResult::Status::NotStored);
    EXPECT_EQ(store("/data/自动保存/A_1.chg", -1).status, StoreResult::Status::NotStored);
    EXPECT_EQ(store("/data/A_自动保存1.chg", -1).status, StoreResult::Status::NotStored);
    standard.standardLevel = -1;
    EXPECT_EQ(store("/data/A.chg", -1).status, StoreResult::Status::NotStored);
    standard.standardLevel = 0;
    EXPECT_EQ(storeStandardRun(standard, "/data/A.chg", &entry, 2, -1, saver).status,
              StoreResult::Status::NotStored);
    EXPECT_EQ(storeStandardRun(standard, "/data/A.chg", nullptr, 0, -1, saver).status,
              StoreResult::Status::NotStored);
    EXPECT_TRUE(curve().levels[0].runs.empty());
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(standard.standardRun, -1);
}

TEST_F(StoreStandardRunTest, ReplacingMatchesThePathWithoutLetterCase)
{
    ASSERT_TRUE(store("/data/Std_1.chg", -1).stored());
    ASSERT_TRUE(store("/data/Other.chg", -1).stored());
    ASSERT_TRUE(store("/DATA/std_1.CHG", -1).stored());  // a second run of the same file
    ASSERT_EQ(curve().levels[0].runs.size(), 3u);

    // An index past the runs replaces every run of the path.
    standard.peaks[0].area = 60;
    EXPECT_EQ(store("/data/STD_1.chg", 7).status, StoreResult::Status::Replaced);
    EXPECT_EQ(curve().levels[0].runs[0].responses[0].area, 60);
    EXPECT_EQ(curve().levels[0].runs[1].responses[0].area, 50);
    EXPECT_EQ(curve().levels[0].runs[2].responses[0].area, 60);
    EXPECT_EQ(curve().levels[0].runs[2].path, "/data/STD_1.chg");
    EXPECT_EQ(store("/data/unknown.chg", 7).status, StoreResult::Status::NotStored);

    // An index inside replaces that run only, and only when it is the same file.
    standard.peaks[0].area = 70;
    EXPECT_EQ(store("/data/other.chg", 0).status, StoreResult::Status::NotStored);
    EXPECT_EQ(store("/data/other.chg", 1).status, StoreResult::Status::Replaced);
    EXPECT_EQ(curve().levels[0].runs[1].responses[0].area, 70);
    EXPECT_EQ(curve().levels[0].runs[0].responses[0].area, 60);
    EXPECT_EQ(standard.standardRun, 2);  // replacing does not move the recorded run
    standard.peaks[0].area = 80;
    EXPECT_EQ(store("/data/std_1.chg", 0).status, StoreResult::Status::Replaced);
    EXPECT_EQ(curve().levels[0].runs[0].responses[0].area, 80) << "the first run is one too";

    EXPECT_TRUE(samePath("/数据/A.chg", "/数据/a.CHG"));
    EXPECT_FALSE(samePath("/数据/A.chg", "/数据/A.chg "));
}

TEST_F(StoreStandardRunTest, AFailedWriteLeavesTheLibraryEntryAsItWas)
{
    const MethodLibraryEntry before = entry;
    saver = [](const MethodLibraryEntry&) { throw std::runtime_error("disk full"); };
    const StoreResult r = store("/data/Std_1.chg", -1);
    EXPECT_EQ(r.status, StoreResult::Status::SaveFailed);
    EXPECT_NE(r.message.find("disk full"), std::string::npos);
    EXPECT_EQ(entry, before);
    EXPECT_EQ(standard.standardRun, -1);
}

TEST(StandardFiles, RunsAreMatchedByWindowAndUnreadableFilesReported)
{
    TempDir dir;
    CalibrationCurve curve;
    curve.components = numbered({component("a", 1.0, {2, 4}), component("b", 2.0, {1, 1})});
    curve.levels.assign(2, StandardLevel{});

    ChromatogramData s;
    s.peaks.append(peakAt(0.97, 8));   // a, by its window
    s.peaks.append(peakAt(1.5, 999));  // nothing
    s.peaks.append(peakAt(2.04, 3));   // b
    s.peaks.append(peakAt(2.01, 500));
    s.peaks[3].excluded = 1;  // in b's window but excluded
    writeChromatogramFile(dir.path("s1.chg"), s);
    s.peaks[0].area = 16;
    writeChromatogramFile(dir.path("s2.chg"), s);
    writeFileAtomically(dir.path("bad.chg"), "not a chromatogram");

    const FitSettings settings{QuantMethod::ExternalStandard, ResponseKind::Area, false,
                               CurveAxis::ConcentrationX};
    AddedRuns added =
        addStandardFiles(curve, 0, {dir.path("s1.chg"), dir.path("bad.chg")}, settings);
    EXPECT_EQ(added.added, 1);
    ASSERT_EQ(added.failures.size(), 1u);
    EXPECT_EQ(added.failures[0].path, dir.path("bad.chg"));
    added = addStandardFiles(curve, 1, {dir.path("s2.chg")}, settings);
    EXPECT_EQ(added.added, 1);

    const StandardRun& r = curve.levels[0].runs.at(0);
    EXPECT_EQ(r.responses[0].area, 8);
    EXPECT_EQ(r.responses[1].area, 3);
    // Refitted: a has areas 8 and 16 at 2 and 4.
    EXPECT_NEAR(curve.components[0].factor1, 4.0, 1e-12);
    EXPECT_NEAR(curve.components[1].factor1, 3.0, 1e-12);

    EXPECT_EQ(addStandardFiles(curve, 2, {dir.path("s1.chg")}, settings).added, 0);
}

// A curve of an older method file holds areas under the setting's divisor; before a run in
// true areas joins it, its runs are brought to true areas by their own files' rates, and the
// file then says so in its mark. A run whose file is gone keeps its areas.
TEST_F(StoreStandardRunTest, AnOldCurveIsBroughtToTrueAreasBeforeARunJoinsIt)
{
    ChromatogramData at50;
    at50.pointsPerSecond = 50;
    writeChromatogramFile(dir.path("fast.chg"), at50);
    ChromatogramData at20;
    at20.pointsPerSecond = 20;
    writeChromatogramFile(dir.path("usual.chg"), at20);
    CalibrationCurve& c = entry.curves[1];
    c.levels[0].runs = {{dir.path("fast.chg"), {{1.0, 100, 5}, {2.0, 10, 1}}},
                        {dir.path("usual.chg"), {{1.0, 100, 5}, {2.0, 10, 1}}},
                        {dir.path("gone.chg"), {{1.0, 100, 5}, {2.0, 10, 1}}}};
    c.trueAreas = false;
    saveMethodFile(entry);
    entry = loadMethodFile(entry.path);
    ASSERT_FALSE(curve().trueAreas) << "an old curve is known by its mark";
    ASSERT_TRUE(entry.curves[0].trueAreas);

    ASSERT_EQ(store(dir.path("new.chg"), -1).status, StoreResult::Status::Appended);
    const auto& runs = curve().levels[0].runs;
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_DOUBLE_EQ(runs[0].responses[0].area, 40.0) << "100 x 20 / 50";
    EXPECT_EQ(runs[0].responses[0].height, 5.0);
    EXPECT_DOUBLE_EQ(runs[1].responses[1].area, 10.0) << "recorded at the setting's rate";
    EXPECT_DOUBLE_EQ(runs[2].responses[0].area, 100.0) << "no file to say otherwise";
    EXPECT_TRUE(loadMethodFile(entry.path).curves[1].trueAreas);
}

}  // namespace
}  // namespace dgaws::test
