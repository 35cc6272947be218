// Line fits, correction factors for every quantitation method, and applying a curve.
#include "quant/QuantFixtures.h"

#include "quant/CalibrationFit.h"
#include "quant/CalibrationTableEditor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace dgaws::test {
namespace {

constexpr double kTol = 1e-12;

// One component per entry of `concentrations`, levels as given (runs of areas per level).
CalibrationCurve curveOf(std::vector<std::vector<double>> concentrations,
                         std::vector<std::vector<std::vector<double>>> levelRunAreas)
{
    CalibrationCurve c;
    for (size_t i = 0; i < concentrations.size(); ++i)
        c.components.push_back(
            component("c" + std::to_string(i), 1.0 + static_cast<double>(i), concentrations[i]));
    c.components = numbered(c.components);
    c.levels.clear();
    int file = 0;
    for (const auto& runs : levelRunAreas) {
        StandardLevel level;
        for (const auto& areas : runs)
            level.runs.push_back(run("std" + std::to_string(++file) + ".chg", areas, areas));
        c.levels.push_back(level);
    }
    return c;
}

void fit(CalibrationCurve& c, QuantMethod method = QuantMethod::ExternalStandard,
         CurveAxis axis = CurveAxis::ConcentrationX, bool groups = false,
         ResponseKind response = ResponseKind::Area)
{
    fitCorrectionFactors(c, method, response, groups, axis);
}

TEST(LineFits, ThroughOriginAndGeneralLineOnTheSamePoints)
{
    const std::vector<double> x = {1, 2, 3}, y = {3, 5, 7};
    const LineFit general = fitGeneralLine(x, y);
    ASSERT_TRUE(general.valid);
    EXPECT_NEAR(general.slope, 2.0, kTol);
    EXPECT_NEAR(general.intercept, 1.0, kTol);
    EXPECT_NEAR(general.r, 1.0, kTol);

    const LineFit origin = fitThroughOrigin(x, y);
    ASSERT_TRUE(origin.valid);
    EXPECT_NEAR(origin.slope, 34.0 / 14.0, kTol);
    EXPECT_EQ(origin.intercept, 0.0);
    EXPECT_NEAR(origin.r, 34.0 / (std::sqrt(14.0) * std::sqrt(83.0)), kTol);
}

TEST(LineFits, PointsThatDefineNoLineGiveNoFit)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(fitGeneralLine(std::vector<double>{2}, std::vector<double>{4}).valid);
    // Equal x that the raw-sum formula would leave a rounding residue for.
    EXPECT_FALSE(
        fitGeneralLine(std::vector<double>{0.1, 0.1, 0.1}, std::vector<double>{1, 2, 3}).valid);
    EXPECT_FALSE(fitThroughOrigin(std::vector<double>{0, 0}, std::vector<double>{1, 2}).valid);
    EXPECT_FALSE(fitThroughOrigin(std::vector<double>{}, std::vector<double>{}).valid);
    EXPECT_FALSE(fitGeneralLine(std::vector<double>{1, nan}, std::vector<double>{1, 2}).valid);
    EXPECT_FALSE(fitGeneralLine(std::vector<double>{1, 2}, std::vector<double>{1, inf}).valid);
    EXPECT_FALSE(fitThroughOrigin(std::vector<double>{1, 2}, std::vector<double>{-inf, 2}).valid);

    // A flat response is a line of slope 0 whose correlation is undefined: 0, not NaN.
    const LineFit flat = fitGeneralLine(std::vector<double>{1, 2}, std::vector<double>{5, 5});
    ASSERT_TRUE(flat.valid);
    EXPECT_EQ(flat.slope, 0.0);
    EXPECT_EQ(flat.r, 0.0);
}

TEST(CorrectionFactors, ExponentialStandardFitsTheLogarithms)
{
    // Mean areas 2, 20, 200: the zero run of level 2 does not count towards the mean.
    CalibrationCurve c = curveOf({{1, 10, 100}}, {{{1}, {3}}, {{20}, {0}}, {{200}}});
    c.components[0].curveType = 1;
    fit(c, QuantMethod::ExponentialExternalStandard);
    EXPECT_NEAR(c.components[0].factor1, 1.0, kTol);
    EXPECT_NEAR(c.components[0].factor2, std::log10(2.0), kTol);
    EXPECT_NEAR(c.components[0].correlation, 1.0, kTol);
}

TEST(CorrectionFactors, BothAxisOrientationsGiveTheSameAmounts)
{
    CalibrationCurve c = curveOf({{10, 20}}, {{{50}}, {{100}}});
    CalibrationCurve concentrationOnX = c, responseOnX = c;
    fit(concentrationOnX);
    fit(responseOnX, QuantMethod::ExternalStandard, CurveAxis::ResponseX);
    EXPECT_NEAR(applyCurve(concentrationOnX.components[0], CurveAxis::ConcentrationX, 75), 15,
                kTol);
    EXPECT_NEAR(applyCurve(responseOnX.components[0], CurveAxis::ResponseX, 75), 15, kTol);

    // The general line through (concentration, area) = (10, 60), (20, 100): y = 4x + 20.
    CalibrationCurve g = curveOf({{10, 20}}, {{{60}}, {{100}}});
    g.components[0].curveType = 1;
    CalibrationCurve gx = g;
    fit(g);
    fit(gx, QuantMethod::ExternalStandard, CurveAxis::ResponseX);
    EXPECT_NEAR(g.components[0].factor2, 20.0, kTol);
    EXPECT_NEAR(gx.components[0].factor2, -5.0, kTol);
    EXPECT_NEAR(applyCurve(g.components[0], CurveAxis::ConcentrationX, 80), 15, kTol);
    EXPECT_NEAR(applyCurve(gx.components[0], CurveAxis::ResponseX, 80), 15, kTol);
}

TEST(CorrectionFactors, HeightsWhenTheResponseIsHeight)
{
    CalibrationCurve c = curveOf({{10}}, {{}});
    c.levels[0].runs.push_back(run("a.chg", {999}, {30}));
    fit(c, QuantMethod::ExternalStandard, CurveAxis::ConcentrationX, false, ResponseKind::Height);
    EXPECT_NEAR(c.components[0].factor1, 3.0, kTol);
}

TEST(CorrectionFactors, ALevelWithoutTheComponentLeavesOnlyItUnfitted)
{
    // c1 is missing from every run of level 2; c0 is fitted all the same.
    CalibrationCurve c = curveOf({{1, 2}, {1, 2}}, {{{10, 7}}, {{20, 0}, {20, 0}}});
    c.components[1].factor3 = 9;
    c.components[1].factor4 = 9;
    fit(c);
    EXPECT_NEAR(c.components[0].factor1, 10.0, kTol);
    EXPECT_EQ(c.components[1].factor1, 0.0);
    EXPECT_EQ(c.components[1].factor3, 0.0) << "no factor of an earlier fit stays";

    // A level with no run at all, and fewer levels than concentrations, likewise.
    CalibrationCurve noRuns = curveOf({{1, 2}}, {{{10}}, {}});
    fit(noRuns);
    EXPECT_EQ(noRuns.components[0].factor1, 0.0);
    CalibrationCurve oneLevel = curveOf({{1, 2}}, {{{10}}});
    fit(oneLevel);
    EXPECT_EQ(oneLevel.components[0].factor1, 0.0);

    // Curve types without a fit stay at zero; area normalisation touches nothing.
    CalibrationCurve quadratic = curveOf({{1}}, {{{10}}});
    quadratic.components[0].curveType = 2;
    quadratic.components[0].factor1 = 7;
    fit(quadratic);
    EXPECT_EQ(quadratic.components[0].factor1, 0.0);
    quadratic.components[0].factor1 = 7;
    fit(quadratic, QuantMethod::AreaNormalisation);
    EXPECT_EQ(quadratic.components[0].factor1, 7.0);
}

TEST(CorrectionFactors, CorrectedNormalisationDividesByTheBaseComponent)
{
    // Slopes 2 and 4 (area per concentration).
    CalibrationCurve c = curveOf({{10}, {10}}, {{{20, 40}}});
    CalibrationCurve none = c;
    c.baseComponentIndex = 1;
    fit(c, QuantMethod::CorrectedNormalisation);
    EXPECT_NEAR(c.components[0].factor1, 0.5, kTol);
    EXPECT_NEAR(c.components[1].factor1, 1.0, kTol);

    fit(none, QuantMethod::CorrectedNormalisation);
    EXPECT_NEAR(none.components[0].factor1, 2.0, kTol);
    EXPECT_NEAR(none.components[1].factor1, 4.0, kTol);

    // A base that cannot be fitted leaves the others as fitted.
    CalibrationCurve zeroBase = curveOf({{10}, {10}}, {{{20, 0}}});
    zeroBase.baseComponentIndex = 1;
    fit(zeroBase, QuantMethod::CorrectedNormalisation);
    EXPECT_NEAR(zeroBase.components[0].factor1, 2.0, kTol);

    // Group calculation does not apply to corrected normalisation: members are fitted alone.
    CalibrationCurve grouped = curveOf({{10}, {10}}, {{{20, 40}}});
    grouped.components[1].groupParentIndex = 0;
    fit(grouped, QuantMethod::CorrectedNormalisation, CurveAxis::ConcentrationX, true);
    EXPECT_NEAR(grouped.components[0].factor1, 2.0, kTol);
    EXPECT_NEAR(grouped.components[1].factor1, 4.0, kTol);
}

TEST(CorrectionFactors, InternalStandardFitsRatios)
{
    // c0 is the internal standard (5 at both levels); c1 refers to it.
    CalibrationCurve c = curveOf({{5, 5}, {10, 20}}, {{{50, 100}, {0, 80}}, {{50, 200}}});
    c.components[0].isInternalStandard = 1;
    c.components[1].internalStandardIndex = 0;
    fit(c, QuantMethod::InternalStandard);
    EXPECT_EQ(c.components[0].factor1, 1.0);
    // Ratios (2, 2) and (4, 4); the run without the standard's peak is passed over.
    EXPECT_NEAR(c.components[1].factor1, 1.0, kTol);
    EXPECT_NEAR(c.components[1].correlation, 1.0, kTol);

    c.components[1].internalStandardIndex = 5;
    fit(c, QuantMethod::InternalStandard);
    EXPECT_EQ(c.components[1].factor1, 0.0);

    // A standard concentration of 0 would divide by zero: no fit.
    c.components[1].internalStandardIndex = 0;
    c.components[0].concentrations[1] = 0;
    fit(c, QuantMethod::InternalStandard);
    EXPECT_EQ(c.components[1].factor1, 0.0);
}

// One file entered twice at a level (older curves can hold that) is one measurement: its
// last run counts, once, in the level's mean and in the curve view.
TEST(CorrectionFactors, AFileEnteredTwiceCountsOnce)
{
    CalibrationCurve c = curveOf({{10}}, {{{50}, {100}, {300}}});
    c.levels[0].runs[2].path = "STD2.CHG";  // the second file again, as typed elsewhere
    fit(c);
    EXPECT_NEAR(c.components[0].factor1, (50.0 + 300.0) / 2.0 / 10.0, kTol);
    const FitSettings external{QuantMethod::ExternalStandard, ResponseKind::Area, false,
                               CurveAxis::ConcentrationX};
    EXPECT_EQ(curvePoints(c, 0, external).size(), 2u);
}

TEST(CorrectionFactors, GroupHeadsAreFittedOnTheirMembersSummedResponses)
{
    // c1 and c2 are members of c0; c0's response is 10 + 20 + 30 = 60 at concentration 12.
    CalibrationCurve c = curveOf({{12}, {1}, {1}}, {{{10, 20, 30}}});
    c.components[1].groupParentIndex = 0;
    c.components[2].groupParentIndex = 0;
    c.components[2].factor1 = 3;
    CalibrationCurve alone = c;
    fit(c, QuantMethod::ExternalStandard, CurveAxis::ConcentrationX, true);
    EXPECT_NEAR(c.components[0].factor1, 5.0, kTol);
    EXPECT_EQ(c.components[2].factor1, 0.0);
    EXPECT_EQ(calibratedFlag(c), 1);  // members need no factor of their own

    // A member listed before its head counts all the same.
    CalibrationCurve memberFirst = curveOf({{1}, {12}}, {{{10, 50}}});
    memberFirst.components[0].groupParentIndex = 1;
    fit(memberFirst, QuantMethod::ExternalStandard, CurveAxis::ConcentrationX, true);
    EXPECT_NEAR(memberFirst.components[1].factor1, 5.0, kTol);

    fit(alone);
    EXPECT_NEAR(alone.components[0].factor1, 10.0 / 12.0, kTol);
    EXPECT_NEAR(alone.components[2].factor1, 30.0, kTol);

    // The curve view plots the points the fit used: the group's summed response.
    FitSettings grouped{QuantMethod::ExternalStandard, ResponseKind::Area, true,
                        CurveAxis::ConcentrationX};
    const std::vector<CurvePoint> points = curvePoints(c, 0, grouped);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].concentration, 12.0);
    EXPECT_EQ(points[0].response, 60.0);

    c.components[0].factor1 = 0;
    EXPECT_EQ(calibratedFlag(c), 0);
    EXPECT_EQ(calibratedFlag(CalibrationCurve{}), 1);
}

TEST(applyCurve, UnusableCurvesGiveZeroOnEitherAxis)
{
    ComponentEntry c;
    c.factor1 = 4;
    c.factor2 = 20;
    c.curveType = 1;
    EXPECT_DOUBLE_EQ(applyCurve(c, CurveAxis::ConcentrationX, 100), 20);
    EXPECT_DOUBLE_EQ(applyCurve(c, CurveAxis::ResponseX, 100), 420);
    c.curveType = 0;  // the intercept does not count on a line through the origin
    EXPECT_DOUBLE_EQ(applyCurve(c, CurveAxis::ConcentrationX, 100), 25);
    EXPECT_DOUBLE_EQ(applyCurve(c, CurveAxis::ResponseX, 100), 400);
    for (int type : {2, 3}) {
        c.curveType = type;
        EXPECT_EQ(applyCurve(c, CurveAxis::ConcentrationX, 100), 0.0);
        EXPECT_EQ(applyCurve(c, CurveAxis::ResponseX, 100), 0.0);
    }
    c.curveType = 1;
    c.factor1 = 0;
    EXPECT_EQ(applyCurve(c, CurveAxis::ConcentrationX, 100), 0.0);
    c.factor1 = 1e-300;
    EXPECT_EQ(applyCurve(c, CurveAxis::ConcentrationX, 1e300), 0.0);  // overflow, not inf

    CalibrationCurve curve;
    curve.impurityFactor1 = 2;
    curve.impurityFactor2 = 1;
    EXPECT_DOUBLE_EQ(applyImpurityFactors(&curve, CurveAxis::ResponseX, 10), 21);
    EXPECT_DOUBLE_EQ(applyImpurityFactors(&curve, CurveAxis::ConcentrationX, 11), 5);
    EXPECT_EQ(applyImpurityFactors(nullptr, CurveAxis::ResponseX, 10), 0.0);
    curve.impurityFactor1 = 0;
    EXPECT_EQ(applyImpurityFactors(&curve, CurveAxis::ConcentrationX, 11), 0.0);
}

}  // namespace
}  // namespace dgaws::test
