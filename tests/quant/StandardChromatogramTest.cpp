// Entering a chromatogram as a standard: the checks, their texts and the stored run.
#include "quant/QuantFixtures.h"

#include "quant/Identification.h"
#include "quant/StandardChromatogram.h"

#include "chromatogram/FileIO.h"
#include "chromatogram/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace dgaws::test {
namespace {

class AddStandardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MethodLibraryEntry m;
        m.method.name = "DGA";
        m.method.calcMethod = 3;
        m.method.quantOption1 = 1;
        m.method.groups = {{1, "烃类", 1.0, 2.0}};
        CalibrationCurve curve;
        curve.name = "曲线A";
        curve.components = numbered({component("a", 1.0, {10, 20})});
        curve.levels.assign(2, StandardLevel{});
        m.curves = {curve};
        ASSERT_TRUE(library.addNew(m).ok());

        data.peaks.append(identifiedPeak(1.0, 50, 0, "a", 25));
        steps.chooseMethod = [this](const MethodChoice& preset) {
            presetSeen = preset;
            return choice;
        };
        steps.chooseLevel = [this](int levels, int preset) -> std::optional<int> {
            levelsOffered = levels;
            levelPreset = preset;
            return level;
        };
        steps.reprocessWithoutQuantitation = [this] { ++reprocessed; };
        steps.saveDocument = [this] {
            savedWith.push_back(data.standardRun);
            if (path.empty())
                path = dir.path("Std.chg");
            return true;
        };
        steps.showMessage = [this](const std::string& text) { messages.push_back(text); };
    }
    StandardAddStatus add()
    {
        return addStandardChromatogram({data, methodIndex, curveIndex, path}, library, steps);
    }

    TempDir dir;
    MethodLibrary library{dir.root().string()};
    ChromatogramData data;
    int methodIndex = -1;
    int curveIndex = -1;
    std::string path;
    StandardChromatogramSteps steps;
    std::optional<MethodChoice> choice = MethodChoice{0, 0};
    std::optional<int> level = 1;
    MethodChoice presetSeen;
    int levelsOffered = 0, levelPreset = -2, reprocessed = 0;
    std::vector<int> savedWith;
    std::vector<std::string> messages;
};

TEST_F(AddStandardTest, TheRunIsStoredAtTheChosenLevelAndTheDocumentSaved)
{
    data.standardLevel = 0;
    ASSERT_EQ(add(), StandardAddStatus::Added);
    EXPECT_EQ(levelsOffered, 2);
    EXPECT_EQ(levelPreset, 0);
    EXPECT_EQ(reprocessed, 1);
    EXPECT_EQ(messages, (std::vector<std::string>{"谱图已经成功添加到校正表!"}));
    EXPECT_EQ(data.sampleType, 1);
    EXPECT_EQ(data.standardLevel, 1);
    EXPECT_EQ(data.method.quantOption1, 1) << "the calculation settings of the chosen method";
    EXPECT_EQ(data.calibrationName, "曲线A");
    EXPECT_EQ(curveIndex, 0);

    // Saved for a path before the run was stored, and again to keep the run's index.
    EXPECT_EQ(savedWith, (std::vector<int>{-1, 0}));
    const auto& runs = library.at(0).curves[0].levels[1].runs;
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].path, dir.path("Std.chg"));
    EXPECT_EQ(loadMethodFile(library.at(0).path).curves[0].levels[1].runs, runs);
}

// Every refusal says why and leaves the document and the library as they were.
TEST_F(AddStandardTest, RefusalsStopWithTheirTextsAndChangeNothing)
{
    data.method.components = numbered({component("own", 1.0)});
    data.calibrationName = "old";
    const ChromatogramData documentBefore = data;
    const std::string methodFile = readWholeFile(library.at(0).path);
    struct Case {
        std::optional<MethodChoice> choice;
        std::function<void(CalibrationCurve&)> curve;
        std::string path;
        StandardAddStatus status;
        std::string said;
    };
    const auto keep = [](CalibrationCurve&) {};
    const std::vector<Case> cases = {
        {std::nullopt, keep, "", StandardAddStatus::Cancelled, ""},
        {MethodChoice{3, 0}, keep, "", StandardAddStatus::Refused, "没有选择方法。"},
        {MethodChoice{0, -1}, keep, "", StandardAddStatus::Refused, "没有校正曲线，无法设置标样。"},
        {MethodChoice{0, 0}, [](CalibrationCurve& c) { c.components.clear(); }, "",
         StandardAddStatus::Refused, "该方法(校正曲线)没有设置组份表，请先设置组份表!"},
        {MethodChoice{0, 0},
         [](CalibrationCurve& c) { c.components = numbered({component("a", 1.0, {})}); }, "",
         StandardAddStatus::Refused, "该方法(校正曲线)没有设置标样浓度，请先设置标样浓度!"},
        {MethodChoice{0, 0}, keep, dir.path("自动保存/A_1.chg"), StandardAddStatus::Refused,
         kSafetyCopyNotAStandard},
    };
    const CalibrationCurve original = library.at(0).curves[0];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said);
        messages.clear();
        choice = c.choice;
        path = c.path;
        library.entryAt(0)->curves[0] = original;
        c.curve(library.entryAt(0)->curves[0]);
        EXPECT_EQ(add(), c.status);
        EXPECT_EQ(messages,
                  c.said.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.said});
        EXPECT_TRUE(fieldsEqual(data, documentBefore));
        EXPECT_EQ(methodIndex, -1);
        EXPECT_EQ(curveIndex, -1);
    }
    EXPECT_EQ(reprocessed, 0);
    EXPECT_TRUE(savedWith.empty());
    EXPECT_EQ(readWholeFile(library.at(0).path), methodFile);
}

// A new chromatogram saved only into the safety-copy folder is no standard either: the
// document is put back as it was before the method's parts were copied into it.
TEST_F(AddStandardTest, ANewDocumentSavedAsASafetyCopyIsPutBack)
{
    const ChromatogramData documentBefore = data;
    steps.saveDocument = [this] {
        path = dir.path("自动保存/A_1.chg");
        return true;
    };
    EXPECT_EQ(add(), StandardAddStatus::Refused);
    EXPECT_EQ(messages, std::vector<std::string>{kSafetyCopyNotAStandard});
    EXPECT_TRUE(fieldsEqual(data, documentBefore));
    EXPECT_EQ(methodIndex, -1);
    EXPECT_EQ(curveIndex, -1);
    EXPECT_TRUE(library.at(0).curves[0].levels[1].runs.empty());
}

// A document names its curve by method and curve position, the first ones included.
TEST_F(AddStandardTest, TheLinkedCurveIsFoundByItsPositions)
{
    EXPECT_EQ(linkedCurve(library, 0, 0), &library.at(0).curves[0]);
    for (const auto& [method, curve] : {std::pair{-1, 0}, std::pair{1, 0}, std::pair{0, 1}})
        EXPECT_EQ(linkedCurve(library, method, curve), nullptr) << method << " " << curve;
}

// The same file entered twice at a level is one run, not two in the level's mean.
TEST_F(AddStandardTest, TheSameFileAgainReplacesItsRun)
{
    path = dir.path("Std.chg");
    ASSERT_EQ(add(), StandardAddStatus::Added);
    data.peaks[0].area = 70;
    ASSERT_EQ(add(), StandardAddStatus::Added);
    const auto& runs = library.at(0).curves[0].levels[1].runs;
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].responses.at(0).area, 70);
}

}  // namespace
}  // namespace dgaws::test
