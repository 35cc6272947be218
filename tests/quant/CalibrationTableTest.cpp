// The curve's table rules and the calibration table dialog's commands and texts.
#include "quant/QuantFixtures.h"

#include "quant/CalibrationTable.h"
#include "quant/CalibrationTableEditor.h"
#include "quant/GasSet.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/TempDir.h"

#include <gtest/gtest.h>

#include <utility>

#include <algorithm>

namespace dgaws::test {
namespace {

// Components a(1.0) b(2.0) c(3.0), two levels, one run per level whose areas name the
// component (10, 20, 30 and 11, 21, 31); a is the internal standard of c, b the base.
CalibrationCurve threeComponents()
{
    CalibrationCurve curve;
    curve.components = numbered(
        {component("a", 1.0, {1, 2}), component("b", 2.0, {3, 4}), component("c", 3.0, {5, 6})});
    curve.components[2].internalStandardIndex = 0;
    curve.baseComponentIndex = 1;
    curve.levels = {StandardLevel{{run("l1.chg", {10, 20, 30})}},
                    StandardLevel{{run("l2.chg", {11, 21, 31})}}};
    return curve;
}

// The area of `name` in every run, in run order.
std::vector<double> areasOf(const CalibrationCurve& c, const std::string& name)
{
    const int i = componentNamed(c.components, name);
    std::vector<double> v;
    for (const StandardLevel& l : c.levels)
        for (const StandardRun& r : l.runs)
            v.push_back(i >= 0 && static_cast<size_t>(i) < r.responses.size()
                            ? r.responses[static_cast<size_t>(i)].area
                            : -1.0);
    return v;
}

TEST(CurveTable, InsertionGivesTheNewComponentZeroResponsesAndKeepsReferences)
{
    CalibrationCurve c = threeComponents();
    const int at = insertComponent(c, component("n", 1.5, {9}));
    EXPECT_EQ(at, 1);
    EXPECT_EQ(names(c.components), (std::vector<std::string>{"a", "n", "b", "c"}));
    EXPECT_EQ(c.components[1].concentrations, (std::vector<double>{9, 0}));
    EXPECT_EQ(areasOf(c, "n"), (std::vector<double>{0, 0}));
    EXPECT_EQ(areasOf(c, "b"), (std::vector<double>{20, 21}));
    EXPECT_EQ(areasOf(c, "c"), (std::vector<double>{30, 31}));
    EXPECT_EQ(c.components[3].internalStandardIndex, 0);
    EXPECT_EQ(c.baseComponentIndex, 2);  // still b

    // In front of the internal standard: the reference moves up with it.
    insertComponent(c, component("first", 0.5));
    EXPECT_EQ(c.components[4].internalStandardIndex, 1);
    EXPECT_EQ(c.components[1].name, "a");
    EXPECT_EQ(c.baseComponentIndex, 3);
}

TEST(CurveTable, DeletionTakesTheResponsesAndTheReferencesAlong)
{
    CalibrationCurve c = threeComponents();
    ASSERT_TRUE(deleteComponentNamed(c, "a"));
    EXPECT_EQ(names(c.components), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(c.components[1].internalStandardIndex, -1);
    EXPECT_EQ(c.baseComponentIndex, 0);
    EXPECT_EQ(areasOf(c, "c"), (std::vector<double>{30, 31}));
    for (const StandardLevel& l : c.levels)
        EXPECT_EQ(l.runs[0].responses.size(), 2u);

    ASSERT_TRUE(deleteComponent(c, 0));
    EXPECT_EQ(c.baseComponentIndex, -1);
    EXPECT_FALSE(deleteComponentNamed(c, "b"));
    EXPECT_FALSE(deleteComponent(c, 3));
}

TEST(CurveTable, MovingAComponentCarriesItsResponses)
{
    CalibrationCurve c = threeComponents();
    EXPECT_EQ(moveComponent(c, 0, 2.5), 1);
    EXPECT_EQ(names(c.components), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(areasOf(c, "a"), (std::vector<double>{10, 11}));
    EXPECT_EQ(areasOf(c, "b"), (std::vector<double>{20, 21}));
    EXPECT_EQ(c.components[2].internalStandardIndex, 1);
    EXPECT_EQ(c.baseComponentIndex, 0);
    EXPECT_EQ(c.components[1].retentionTime, 2.5);

    // A run stored with fewer responses than components is padded, not overrun.
    c.levels[0].runs[0].responses.resize(1);
    EXPECT_EQ(moveComponent(c, 2, 0.1), 0);
    EXPECT_EQ(c.levels[0].runs[0].responses.size(), 3u);
}

TEST(CurveTable, ConcentrationColumnsAndLevelsChangeTogether)
{
    CalibrationCurve c = threeComponents();
    appendConcentration(c);
    EXPECT_EQ(c.levels.size(), 3u);
    for (const ComponentEntry& e : c.components)
        EXPECT_EQ(e.concentrations.size(), 3u);

    ASSERT_TRUE(deleteConcentration(c, 0));
    EXPECT_EQ(c.levels.size(), 2u);
    EXPECT_EQ(c.components[1].concentrations, (std::vector<double>{4, 0}));
    EXPECT_EQ(areasOf(c, "a"), (std::vector<double>{11}));
    EXPECT_FALSE(deleteConcentration(c, 2));

    ASSERT_TRUE(setConcentration(c, 2, 4, 7.5));
    EXPECT_EQ(c.levels.size(), 5u);
    EXPECT_EQ(c.components[0].concentrations.size(), 5u);
    EXPECT_EQ(c.components[2].concentrations[4], 7.5);

    EXPECT_TRUE(deleteRun(c, 0, 0));
    EXPECT_FALSE(deleteRun(c, 0, 0));

    CalibrationCurve three = threeComponents();
    appendConcentration(three);
    three.components[1].concentrations[2] = 6;
    ASSERT_TRUE(deleteConcentration(three, 1));  // a middle level takes its own column
    EXPECT_EQ(three.components[1].concentrations, (std::vector<double>{3, 6}));
    EXPECT_EQ(areasOf(three, "a"), (std::vector<double>{10}));
}

TEST(CurveTable, ComponentsFromAChromatogramAndClearingTheUnknown)
{
    CalibrationCurve c = threeComponents();
    PeakTable peaks;
    peaks.append(peakAt(0.4, 1));
    peaks.append(identifiedPeak(0.8, 1, 0, std::string(GasSet::H2)));
    peaks.append(peakAt(1.6, 1));
    peaks.append(identifiedPeak(2.0, 1, 0, std::string(GasSet::H2)));  // a split peak
    componentsFromPeaks(c, peaks);
    EXPECT_EQ(
        names(c.components),
        (std::vector<std::string>{"未知组份1", std::string(GasSet::H2), "未知组份2", "未知组份3"}));
    EXPECT_TRUE(c.levels[0].runs.empty());
    EXPECT_EQ(c.baseComponentIndex, -1);

    EXPECT_EQ(clearUnknownComponents(c), 3);
    EXPECT_EQ(names(c.components), (std::vector<std::string>{std::string(GasSet::H2)}));
    EXPECT_EQ(c.components[0].index, 0);
}

class EditorTest : public ::testing::Test {
protected:
    FitSettings external{QuantMethod::ExternalStandard, ResponseKind::Area, false,
                         CurveAxis::ConcentrationX};
};

TEST_F(EditorTest, EditsThatChangeWhatAFitReadsRefit)
{
    CalibrationTableEditor e(threeComponents(), external);
    // Concentration 1 at area 10 and 2 at area 11 give a through-origin slope of 32/5.
    EXPECT_TRUE(e.setConcentration(0, 1, 2).changed);
    EXPECT_NEAR(e.curve().components[0].factor1, 32.0 / 5.0, 1e-12);
    EXPECT_FALSE(e.setConcentration(0, 1, -1).changed);
    EXPECT_EQ(e.curve().components[0].concentrations[1], 2);

    // Typed factors are kept as typed.
    EXPECT_TRUE(e.setFactor(0, 1, 99).changed);
    EXPECT_EQ(e.curve().components[0].factor1, 99);

    const int runsBefore = static_cast<int>(e.curve().levels[1].runs.size());
    EXPECT_FALSE(e.deleteRun(1, 0, [](const std::string&) { return false; }).changed);
    std::string asked;
    EXPECT_TRUE(e.deleteRun(1, 0, [&](const std::string& q) {
                     asked = q;
                     return true;
                 }).changed);
    EXPECT_EQ(asked, "从标样表中删除该标样吗?");
    EXPECT_EQ(static_cast<int>(e.curve().levels[1].runs.size()), runsBefore - 1);
    EXPECT_EQ(e.curve().components[0].factor1, 0);  // level 2 has no run left

    // Runs and fields that do not exist are refused, never reached for.
    const AskYesNo yes = [](const std::string&) { return true; };
    for (const auto& [level, run] :
         {std::pair{-1, 0}, std::pair{9, 0}, std::pair{0, -1}, std::pair{0, 99}})
        EXPECT_FALSE(e.deleteRun(level, run, yes).changed) << level << " " << run;
    EXPECT_TRUE(e.setFormula(0, "H2").changed);
    EXPECT_EQ(e.curve().components[0].formula, "H2");
    EXPECT_TRUE(e.setCurveType(0, 0).changed);
    EXPECT_FALSE(e.setCurveType(0, 4).changed);

    EXPECT_FALSE(e.setRetentionTime(1, 0).changed);
    EXPECT_FALSE(e.setTimeWindow(1, -0.1).changed);
    EXPECT_TRUE(e.setGroupParent(1, 1).changed);
    EXPECT_EQ(e.curve().components[1].groupParentIndex, -1);
    EXPECT_TRUE(e.setGroupParent(1, 2).changed);
    EXPECT_EQ(e.curve().components[1].groupParentIndex, 2);
}

TEST_F(EditorTest, NamesAreUniqueInTheTableAndCurveNamesInTheMethod)
{
    CalibrationTableEditor e(threeComponents(), external);
    EXPECT_EQ(e.setName(0, "b").message, "存在同名组份，请重新选择");
    EXPECT_EQ(e.curve().components[0].name, "a");
    EXPECT_TRUE(e.setName(0, std::string(GasSet::H2)).changed);
    EXPECT_FALSE(e.setName(0, std::string(GasSet::H2)).changed);

    // A new curve and a renamed one alike: the method's curves are chosen by name.
    const EditResult taken = e.confirm("校正曲线1", 1, 0, -1, {"校正曲线1"});
    EXPECT_EQ(taken.message, "校正曲线名已经存在，请选择另外的名称。");
    EXPECT_NE(e.curve().name, "校正曲线1");

    EXPECT_TRUE(e.confirm("校正曲线2", 2, 0.5, 7, {"校正曲线1"}).changed);
    EXPECT_EQ(e.curve().name, "校正曲线2");
    EXPECT_EQ(e.curve().baseComponentIndex, -1);  // 7 is no component

    // The nine gases go in once each, beside the H2 the table already has.
    EXPECT_TRUE(e.insertGasSet().changed);
    const auto all = names(e.curve().components);
    EXPECT_EQ(all.size(), 11u);
    EXPECT_EQ(std::count(all.begin(), all.end(), std::string(GasSet::H2)), 1);
}

TEST_F(EditorTest, TableCommands)
{
    CalibrationTableEditor e(threeComponents(), external);
    e.addGasSet();
    ASSERT_EQ(e.curve().components.size(), 9u);
    EXPECT_EQ(e.curve().components[8].name, GasSet::names[8]);
    EXPECT_EQ(e.curve().levels.size(), 1u) << "one concentration, one level, no run";
    EXPECT_TRUE(e.curve().levels[0].runs.empty());

    for (int i = 0; i < 9; ++i)
        e.deleteComponent(0);
    EXPECT_TRUE(e.curve().components.empty());
    EXPECT_TRUE(e.curve().levels.empty());

    TempDir dir;
    EXPECT_EQ(e.loadComponentsFrom(dir.path("missing.chg")).message, "谱图文件载入失败。");
    ChromatogramData d;
    d.peaks.append(identifiedPeak(0.7, 1, 0, std::string(GasSet::CH4)));
    writeChromatogramFile(dir.path("s.chg"), d);
    EXPECT_TRUE(e.loadComponentsFrom(dir.path("s.chg")).changed);
    EXPECT_EQ(names(e.curve().components), (std::vector<std::string>{std::string(GasSet::CH4)}));
}

TEST_F(EditorTest, CurveViewChecksInTheirOrder)
{
    // Each curve is broken in one more way than the next; the first failing check speaks.
    CalibrationCurve c = threeComponents();
    c.components[0].concentrations[1] = 0;
    c.levels[1].runs.clear();
    EXPECT_EQ(CalibrationTableEditor(c, external).curveViewCheck(0).message,
              "当前选择的组份标样浓度不正确,请核对");
    c = threeComponents();
    c.levels[1].runs.clear();
    EXPECT_EQ(CalibrationTableEditor(c, external).curveViewCheck(0).message,
              "缺少足够的标样图谱,请检查");
    c = threeComponents();
    EXPECT_EQ(CalibrationTableEditor(c, external).curveViewCheck(0).message,
              "当前组份的校正因子未被计算");
    c.components[0].factor1 = 1;
    EXPECT_TRUE(CalibrationTableEditor(c, external).curveViewCheck(0).ok);

    // Under the internal standard method a table of standards only has nothing to show.
    FitSettings internal = external;
    internal.method = QuantMethod::InternalStandard;
    for (ComponentEntry& x : c.components)
        x.isInternalStandard = 1;
    EXPECT_FALSE(CalibrationTableEditor(c, internal).curveViewCheck(0).ok);
    c.components[2].isInternalStandard = 0;
    EXPECT_TRUE(CalibrationTableEditor(c, internal).curveViewCheck(0).ok);
}

TEST(NewCurve, RefusalsAndTheStartingCurve)
{
    EXPECT_EQ(newCalibrationCurve(nullptr).message, "您先选择方法");
    MethodLibraryEntry m;
    EXPECT_EQ(newCalibrationCurve(&m).message, "归一法不需要建校正曲线");
    EXPECT_FALSE(newCalibrationCurve(&m).curve);

    m.method.calcMethod = 3;
    m.defaultComponents = numbered({component("a", 1, {1, 2}), component("b", 2, {1, 2, 3})});
    m.defaultComponents[0].factor1 = 5;
    m.defaultComponents[0].correlation = 0.9;
    m.curves.resize(1);
    const NewCurve made = newCalibrationCurve(&m);
    ASSERT_TRUE(made.curve);
    EXPECT_EQ(made.curve->name, "校正曲线2");
    EXPECT_EQ(made.curve->levels.size(), 3u);  // as many as the last component's
    EXPECT_EQ(made.curve->components[0].factor1, 0) << "nothing fitted is carried over";
    EXPECT_EQ(made.curve->calibrated, 0);
}

}  // namespace
}  // namespace dgaws::test
