// The document's evaluation with identification and quantitation wired in, and the
// standard entry from a document.
#include "Gaussians.h"

#include "app/MethodSelection.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/MethodFile.h"
#include "chromatogram/TempDir.h"
#include "quant/GasSet.h"

#include <gtest/gtest.h>

using namespace dgaws;

namespace {

// Gaussians of equal shape at 1.0 and 2.0 minutes (20 points per second), heights given.
void loadSignal(CChrEDoc& doc, double h2Height, double ch4Height)
{
    test::loadTwoPeaks(doc, {{1200, h2Height, 30}, {2400, ch4Height, 30}}, 3600);
    doc.setQuestionSink([](const std::string&) { return true; });
}

ComponentEntry gas(std::string_view name, double minutes, int index)
{
    ComponentEntry c;
    c.index = index;
    c.name = std::string(name);
    c.retentionTime = minutes;
    c.timeWindow = 0.1;
    c.concentrations = {100, 200};
    return c;
}

class DocumentQuantitationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MethodLibraryEntry m;
        m.method.name = "DGA";
        m.method.calcMethod = 5;  // oscillation: external standard, then oil contents
        CalibrationCurve curve;
        curve.name = "A";
        curve.components = {gas(GasSet::H2, 1.0, 0), gas(GasSet::CH4, 2.0, 1)};
        curve.levels.assign(2, StandardLevel{});
        m.curves = {curve};
        ASSERT_TRUE(library.addNew(m).ok());
        doc.setMethodLibrary(&library);
    }

    // Enters a standard chromatogram at each level as the operator does from its window,
    // the second at twice the first.
    void enterStandards()
    {
        for (int level : {0, 1}) {
            CChrEDoc standard;
            standard.setMethodLibrary(&library);
            loadSignal(standard, 800 * (level + 1), 400 * (level + 1));
            standard.detectPeaks();
            standard.pathName = dir.path("std" + std::to_string(level) + ".chg");
            const auto status = standard.addStandardChromatogram(
                [](const MethodChoice&) {
                    return MethodChoice{0, 0};
                },
                [level](int, int) { return std::optional<int>(level); },
                systemProposalEnvironment());
            ASSERT_EQ(status, StandardAddStatus::Added);
            EXPECT_EQ(standard.data.standardRun, 0);
        }
    }
    // The level-0 standard integrated anew at twice its height, from `path`.
    void reprocessStandard(CChrEDoc& standard, const std::string& path)
    {
        standard.setMethodLibrary(&library);
        loadSignal(standard, 1600, 800);
        standard.pathName = path;
        standard.data.sampleType = 1;
        standard.data.standardLevel = 0;
        standard.data.standardRun = 0;
        standard.libraryMethodIndex = 0;
        standard.libraryCalibrationIndex = 0;
        standard.detectPeaks();
    }
    // The sample: 1.5 times the first standard, so 150 and 150 uL/L in the gas.
    void loadSample(CChrEDoc& d)
    {
        loadSignal(d, 1200, 600);
        d.libraryMethodIndex = 0;
        d.libraryCalibrationIndex = 0;
        d.data.method.calcMethod = 5;
    }

    test::TempDir dir;
    MethodLibrary library{dir.root().string()};
    CChrEDoc doc;
};

TEST_F(DocumentQuantitationTest, StandardsAtTwoLevelsThenASampleQuantifiedWithTheCurve)
{
    enterStandards();
    const CalibrationCurve& curve = library.at(0).curves[0];
    ASSERT_EQ(curve.levels[1].runs.size(), 1u);
    EXPECT_NEAR(curve.components[0].correlation, 1.0, 1e-6);
    EXPECT_EQ(loadMethodFile(library.at(0).path).curves[0], curve);

    loadSample(doc);
    doc.data.method.ambientPressure = 101.3;
    doc.data.method.ambientTemperature = 50;
    doc.data.method.gasVolume = 5;
    doc.data.method.oilVolume = 40;
    doc.detectPeaks();
    ASSERT_EQ(doc.data.peaks.size(), 2);
    EXPECT_EQ(doc.data.peaks[0].componentName, GasSet::H2);
    EXPECT_NEAR(doc.data.peaks[0].gasContent, 150.0, 0.5);
    EXPECT_NEAR(doc.data.peaks[1].gasContent, 150.0, 0.5);
    EXPECT_NEAR(doc.data.peaks[0].oilContent, (0.125 + 0.06) * doc.data.peaks[0].gasContent * 0.929,
                1e-9);
}

// Reprocessing a standard replaces its run and refits; but where another workstation saved
// the method into the shared folder after this one read it, the file is left and that is said.
TEST_F(DocumentQuantitationTest, ReprocessingAStandardRefitsUnlessAnotherWorkstationSavedTheMethod)
{
    enterStandards();
    const double before = library.at(0).curves[0].components[0].factor1;
    CChrEDoc standard;
    reprocessStandard(standard, dir.path("STD0.chg"));  // the same file, on a case-blind disk
    const CalibrationCurve& curve = library.at(0).curves[0];
    ASSERT_EQ(curve.levels[0].runs.size(), 1u);
    EXPECT_EQ(curve.levels[0].runs[0].path, dir.path("STD0.chg"));
    EXPECT_NEAR(curve.levels[0].runs[0].responses[0].area,
                curve.levels[1].runs[0].responses[0].area, 1e-6);
    EXPECT_NE(curve.components[0].factor1, before);
    for (const PeakRecord& p : standard.data.peaks)
        EXPECT_EQ(p.gasContent, 0.0) << "a standard is not quantified";

    MethodLibraryEntry theirs = loadMethodFile(library.at(0).path);
    theirs.method.tester = "another workstation";
    saveMethodFile(theirs);
    const std::string saved = readWholeFile(theirs.path);
    CChrEDoc again;
    std::vector<std::string> messages;
    again.setMessageSink([&messages](const std::string& text) { messages.push_back(text); });
    reprocessStandard(again, dir.path("std0.chg"));
    EXPECT_TRUE(readWholeFile(theirs.path) == saved) << "the other workstation's file changed";
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("已被另一工作站修改"), std::string::npos) << messages[0];
}

// A chromatogram opened from its file is linked again to the method and curve it names, so
// detecting it anew identifies and quantifies it as before, whatever table the file holds.
TEST_F(DocumentQuantitationTest, AnOpenedChromatogramDetectedAgainKeepsItsIdentification)
{
    enterStandards();
    loadSample(doc);
    doc.data.methodName = "DGA";
    doc.data.calibrationName = "A";
    doc.data.method.components = {gas(GasSet::O2, 1.0, 0)};
    doc.detectPeaks();
    ASSERT_TRUE(doc.saveToFile(dir.path("sample.chg")));

    CChrEDoc opened;
    opened.setMethodLibrary(&library);
    opened.setQuestionSink([](const std::string&) { return true; });
    ASSERT_TRUE(opened.loadFromFile(dir.path("sample.chg")));
    opened.detectPeaks();
    ASSERT_EQ(opened.data.peaks.size(), 2);
    EXPECT_EQ(opened.data.peaks[0].componentName, GasSet::H2) << "not the file's own table";
    for (int i = 0; i < 2; ++i)
        EXPECT_DOUBLE_EQ(opened.data.peaks[i].gasContent, doc.data.peaks[i].gasContent) << i;
}

// Applying a library method, from the tree or the choice dialog, changes how the sample is
// processed, never which sample it is.
TEST_F(DocumentQuantitationTest, AnAppliedMethodKeepsTheSample)
{
    MethodLibraryEntry other = library.at(0);
    other.method.name = "Other";
    other.method.deviceNo = "library device";
    other.method.serialNo = "0000000000";
    other.method.sendingCompany = "library company";
    other.method.tester = "library tester";
    other.method.gasVolume = 9.0;
    other.method.integration.slope = 77.0;
    other.method.calcMethod = 0;  // area percent of the identified peaks
    ASSERT_TRUE(library.addNew(other).ok());
    const int index = library.indexOf("Other");
    ASSERT_GE(index, 0);

    using Apply = bool (*)(CChrEDoc&, const MethodChoice&);
    for (const Apply apply : {Apply(&MethodSelection::use), Apply(&MethodSelection::choose)}) {
        CChrEDoc sample;
        sample.setMethodLibrary(&library);
        loadSignal(sample, 1200, 600);
        AnalysisMethod& m = sample.data.method;
        m.deviceNo = "1号主变";
        m.serialNo = "2024051701";
        m.sendingCompany = "某供电公司";
        m.tester = "张工";
        sample.data.injectionTime = OleDateTime::fromCivil(2024, 5, 17, 9, 30, 15);
        sample.data.linkedFile = dir.path("B.chg");
        sample.detectPeaks();
        ASSERT_EQ(sample.data.peaks.size(), 2);
        sample.setModifiedFlag(false);
        const ChromatogramData before = sample.data;

        EXPECT_FALSE(apply(sample, {index + 5, 0}));
        ASSERT_TRUE(apply(sample, {index, 0}));
        EXPECT_TRUE(sample.isModified());
        // Processed anew with the applied method: its table names the peaks.
        EXPECT_EQ(sample.data.peaks[0].componentName, GasSet::H2);
        EXPECT_NEAR(sample.data.peaks[0].gasContent + sample.data.peaks[1].gasContent, 100.0, 1e-6);
        EXPECT_EQ(sample.data.methodName, "Other");
        EXPECT_EQ(m.deviceNo, before.method.deviceNo);
        EXPECT_EQ(m.serialNo, before.method.serialNo);
        EXPECT_EQ(m.sendingCompany, before.method.sendingCompany);
        EXPECT_EQ(m.tester, before.method.tester);
        EXPECT_EQ(sample.data.injectionTime, before.injectionTime);
        EXPECT_EQ(sample.data.linkedFile, before.linkedFile);
    }
}

// Without a library the document's own table identifies; a hand-made assignment is
// quantified and survives the evaluation.
TEST_F(DocumentQuantitationTest, WithoutALibraryTheOwnTableAndHandMadeAssignmentsAreUsed)
{
    CChrEDoc alone;
    loadSignal(alone, 800, 400);
    alone.data.method.calcMethod = 0;
    alone.data.method.components = {gas(GasSet::CH4, 2.0, 0)};
    alone.detectPeaks();
    ASSERT_EQ(alone.data.peaks.size(), 2);
    EXPECT_EQ(alone.data.peaks[0].componentName, "");
    EXPECT_EQ(alone.data.peaks[1].componentName, GasSet::CH4);
    EXPECT_NEAR(alone.data.peaks[0].gasContent + alone.data.peaks[1].gasContent, 100.0, 1e-9);
    EXPECT_NEAR(alone.data.peaks[0].gasContent, 200.0 / 3.0, 0.1);

    alone.data.method.calcMethod = 3;
    alone.data.method.quantOption2 = 1;  // amount = area x factor1
    alone.data.method.components = {gas(GasSet::H2, 1.0, 0)};
    alone.data.method.components[0].factor1 = 0.5;
    alone.detectPeaks();
    ASSERT_EQ(alone.data.peaks[1].componentName, "");
    PeakInfoEditor editor(alone.peakInfoContext(), 1);  // the unidentified peak at 2.0
    RetentionTimePrompt keep{0, 0};
    alone.finishPeakInfo(editor.accept(std::string(GasSet::H2), 2.0, 0.1, keep, {}, {}));
    EXPECT_EQ(alone.data.peaks[0].componentName, "");
    EXPECT_EQ(alone.data.peaks[0].gasContent, 0.0);
    EXPECT_EQ(alone.data.peaks[1].componentName, GasSet::H2);
    EXPECT_DOUBLE_EQ(alone.data.peaks[1].gasContent, alone.data.peaks[1].area * 0.5);
}

}  // namespace
