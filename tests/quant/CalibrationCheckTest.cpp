#include "QuantFixtures.h"

#include "quant/CalibrationCheck.h"
#include "quant/CalibrationFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using namespace dgaws;
using namespace dgaws::test;

namespace {

// Two levels; the last run of level 2 is a bad injection (area 20 % high), which pulls the
// level's mean and so the line.
CalibrationCurve externalCurve()
{
    CalibrationCurve c;
    c.components = numbered({component("H2", 1.0, {10.0, 20.0})});
    c.components[0].curveType = 1;
    c.levels.resize(2);
    c.levels[0].runs = {run("a.chg", {100.0}), run("b.chg", {100.0})};
    c.levels[1].runs = {run("c.chg", {200.0}), run("d.chg", {200.0}), run("e.chg", {200.0}),
                        run("f.chg", {240.0})};
    return c;
}

FitSettings settings(QuantMethod m, CurveAxis axis = CurveAxis::ConcentrationX)
{
    FitSettings s;
    s.method = m;
    s.axis = axis;
    return s;
}

}  // namespace

TEST(RunChecks, BackCalculationFindsTheBadInjectionOnEitherAxis)
{
    for (const CurveAxis axis : {CurveAxis::ConcentrationX, CurveAxis::ResponseX}) {
        CalibrationCurve c = externalCurve();
        const FitSettings s = settings(QuantMethod::ExternalStandard, axis);
        fitCorrectionFactors(c, s);
        const auto checks = runChecks(c, 0, s);
        ASSERT_EQ(checks.size(), 6u);
        EXPECT_EQ(checks[5].level, 1);
        EXPECT_EQ(checks[5].run, 3);
        for (const RunCheck& k : checks) {
            ASSERT_TRUE(k.valid);
            // Each back-calculated amount is what the curve gives for that run's area.
            const double expected = applyCurve(c.components[0], axis, k.response);
            EXPECT_NEAR(k.backCalculated, expected, 1e-9);
            EXPECT_NEAR(k.deviationPercent, (expected - k.concentration) / k.concentration * 100,
                        1e-9);
        }
        EXPECT_FALSE(beyondTolerance(checks[0], 5.0));
        EXPECT_FALSE(beyondTolerance(checks[2], 5.0));
        EXPECT_TRUE(beyondTolerance(checks[5], 5.0));
        EXPECT_GT(checks[5].deviationPercent, 5.0);
        EXPECT_FALSE(beyondTolerance(checks[5], 50.0));
    }
}

TEST(RunChecks, RunsWithoutAPointOrACurveAreNotJudged)
{
    CalibrationCurve c = externalCurve();
    c.levels[0].runs[1].responses[0].area = 0.0;  // the peak was missed
    const FitSettings s = settings(QuantMethod::ExternalStandard);
    // Not fitted yet: nothing to compare with.
    for (const RunCheck& k : runChecks(c, 0, s))
        EXPECT_FALSE(k.valid);
    fitCorrectionFactors(c, s);
    const auto checks = runChecks(c, 0, s);
    EXPECT_TRUE(checks[0].valid);
    EXPECT_FALSE(checks[1].valid);
    EXPECT_FALSE(beyondTolerance(checks[1], 0.0));
    // A position outside the table still lists the runs, none judged.
    const auto outside = runChecks(c, 3, s);
    ASSERT_EQ(outside.size(), 6u);
    EXPECT_FALSE(outside[0].valid);
}

TEST(RunChecks, ExponentialAndInternalStandardCompareOnTheFittedScale)
{
    // Power law area = 2 * conc: a perfect fit through the logarithms gives back each level.
    CalibrationCurve e;
    e.components = numbered({component("CO", 3.0, {1.0, 10.0, 100.0})});
    e.levels.resize(3);
    e.levels[0].runs = {run("1.chg", {2.0})};
    e.levels[1].runs = {run("2.chg", {20.0})};
    e.levels[2].runs = {run("3.chg", {200.0})};
    for (auto& entry : e.components)
        entry.curveType = 1;
    const FitSettings es = settings(QuantMethod::ExponentialExternalStandard);
    fitCorrectionFactors(e, es);
    for (const RunCheck& k : runChecks(e, 0, es)) {
        ASSERT_TRUE(k.valid);
        EXPECT_NEAR(k.backCalculated, k.concentration, 1e-9 * k.concentration);
    }

    // The internal standard's own row is not judged; the analyte's ratios are.
    CalibrationCurve is;
    is.components = numbered({component("IS", 1.0, {5.0, 5.0}), component("A", 2.0, {5.0, 10.0})});
    is.components[0].isInternalStandard = 1;
    is.components[1].internalStandardIndex = 0;
    is.levels.resize(2);
    is.levels[0].runs = {run("1.chg", {100.0, 100.0})};
    is.levels[1].runs = {run("2.chg", {50.0, 100.0})};  // half the IS: ratio 2 as expected
    const FitSettings ss = settings(QuantMethod::InternalStandard);
    fitCorrectionFactors(is, ss);
    EXPECT_FALSE(runChecks(is, 0, ss)[0].valid);
    const auto checks = runChecks(is, 1, ss);
    ASSERT_TRUE(checks[1].valid);
    EXPECT_DOUBLE_EQ(checks[1].concentration, 2.0);
    EXPECT_NEAR(checks[1].deviationPercent, 0.0, 1e-9);
    // Nor is the internal standard's row when it names itself as its standard.
    is.components[0].internalStandardIndex = 0;
    EXPECT_FALSE(runChecks(is, 0, ss)[0].valid);
    // An analyte without an internal standard has no ratio to judge.
    is.components[1].internalStandardIndex = -1;
    for (const RunCheck& k : runChecks(is, 1, ss))
        EXPECT_FALSE(k.valid);
}

TEST(CurveLine, FollowsTheFitThroughEveryPointOnItsAxes)
{
    CalibrationCurve c = externalCurve();
    for (const CurveAxis axis : {CurveAxis::ConcentrationX, CurveAxis::ResponseX}) {
        FitSettings s = settings(QuantMethod::ExternalStandard, axis);
        fitCorrectionFactors(c, s);
        // The line passes through the level means, which the two-level fit meets exactly.
        const PlotPoint low = plotPoint({10.0, 100.0}, axis);
        const PlotPoint high = plotPoint({20.0, 210.0}, axis);
        EXPECT_NEAR(*curveLineAt(c.components[0], s, low.x), low.y, 1e-9);
        EXPECT_NEAR(*curveLineAt(c.components[0], s, high.x), high.y, 1e-9);
    }
    FitSettings s = settings(QuantMethod::ExponentialExternalStandard);
    EXPECT_FALSE(curveLineAt(c.components[0], s, 0.0));
    c.components[0].factor1 = 0.0;
    EXPECT_FALSE(curveLineAt(c.components[0], settings(QuantMethod::ExternalStandard), 1.0));
}

TEST(CurveLine, EachCurveTypeDrawsItsOwnLine)
{
    struct Case {
        QuantMethod method;
        int curveType;
        double factor1, factor2, x;
        std::optional<double> y;
    };
    const QuantMethod linear = QuantMethod::ExternalStandard;
    const QuantMethod exponential = QuantMethod::ExponentialExternalStandard;
    const Case cases[] = {
        {linear, 0, 2.0, 5.0, 3.0, 6.0},  // through the origin: the intercept is ignored
        {linear, 1, 2.0, 5.0, 3.0, 11.0},
        {exponential, 1, 2.0, 1.0, 3.0, 90.0},  // 10^(2 log 3 + 1)
        {exponential, 0, 0.5, 1.0, 4.0, 2.0},
        {exponential, 1, 2.0, 1.0, -1.0, std::nullopt},
        {linear, 2, 2.0, 5.0, 3.0, std::nullopt},
        {linear, -1, 2.0, 5.0, 3.0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.curveType << " at " << c.x);
        ComponentEntry e;
        e.curveType = c.curveType;
        e.factor1 = c.factor1;
        e.factor2 = c.factor2;
        const auto y = curveLineAt(e, settings(c.method), c.x);
        ASSERT_EQ(y.has_value(), c.y.has_value());
        if (y) {
            EXPECT_NEAR(*y, *c.y, 1e-9);
        }
    }
}
