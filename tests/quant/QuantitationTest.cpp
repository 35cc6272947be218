// Gas contents by each quantitation method, on tables small enough to check by hand.
#include "quant/QuantFixtures.h"

#include "quant/ContentStatus.h"
#include "quant/GasSet.h"
#include "quant/Quantitation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace dgaws::test {
namespace {

constexpr double kContentTol = 1e-9;

ComponentEntry fitted(const std::string& name, double minutes, double f1, double f2 = 0.0,
                      int curveType = 0)
{
    ComponentEntry c = component(name, minutes);
    c.factor1 = f1;
    c.factor2 = f2;
    c.curveType = curveType;
    return c;
}

class QuantifyTest : public ::testing::Test {
protected:
    void method(QuantMethod m, CurveAxis axis = CurveAxis::ConcentrationX)
    {
        d.method.calcMethod = static_cast<int>(m);
        d.method.quantOption2 = static_cast<int>(axis);
    }
    std::vector<double> contents() const
    {
        std::vector<double> v;
        for (const PeakRecord& p : d.peaks)
            v.push_back(p.gasContent);
        return v;
    }

    ChromatogramData d;
};

TEST_F(QuantifyTest, AreaNormalisationSharesTheSampleAmountAmongIncludedPeaks)
{
    method(QuantMethod::AreaNormalisation);
    d.peaks.append(peakAt(1.0, 10, 4));
    d.peaks.append(peakAt(2.0, 30, 1));
    d.peaks.append(peakAt(2.5, 50, 5));
    d.peaks.append(peakAt(3.0, 60, 5));
    d.peaks[2].excluded = 1;
    d.peaks[2].gasContent = 7;  // stale, must be cleared
    quantify(d, nullptr);
    EXPECT_EQ(contents(), (std::vector<double>{10, 30, 0, 60}));

    d.sampleAmount = 50;
    d.method.quantOption1 = static_cast<int>(ResponseKind::Height);
    quantify(d, nullptr);
    EXPECT_EQ(contents(), (std::vector<double>{20, 5, 0, 25}));

    // Nothing to share: contents are 0, not NaN.
    for (PeakRecord& p : d.peaks)
        p.height = 0;
    quantify(d, nullptr);
    EXPECT_EQ(contents(), (std::vector<double>{0, 0, 0, 0}));
}

TEST_F(QuantifyTest, CorrectedNormalisationIgnoresUnidentifiedPeaks)
{
    method(QuantMethod::CorrectedNormalisation, CurveAxis::ResponseX);
    d.method.components = numbered({fitted("a", 1, 2.0), fitted("b", 2, 0.5)});
    d.peaks.append(identifiedPeak(1.0, 30, 0, "a"));  // amount 60
    d.peaks.append(peakAt(1.5, 1000));                // unidentified
    d.peaks.append(identifiedPeak(2.0, 80, 1, "b"));  // amount 40, excluded yet counted
    d.peaks[2].excluded = 1;
    d.peaks.append(identifiedPeak(2.1, 5, 7, "gone"));  // index outside the table
    quantify(d, nullptr);
    EXPECT_EQ(contents(), (std::vector<double>{60, 0, 40, 0}));

    // A component that was never fitted contributes nothing instead of dividing by zero.
    d.method.quantOption2 = static_cast<int>(CurveAxis::ConcentrationX);
    d.method.components[1].factor1 = 0;
    quantify(d, nullptr);
    EXPECT_NEAR(d.peaks[0].gasContent, 100.0, kContentTol);
    EXPECT_EQ(d.peaks[2].gasContent, 0.0);
}

TEST_F(QuantifyTest, InternalStandardGivesItsOwnPeakZero)
{
    method(QuantMethod::InternalStandard, CurveAxis::ResponseX);
    d.method.components =
        numbered({fitted("IS", 1, 1), fitted("x", 2, 3), fitted("y", 3, 1), fitted("IS2", 4, 1)});
    d.method.components[0].isInternalStandard = 1;
    d.method.components[3].isInternalStandard = 1;
    d.method.components[1].internalStandardIndex = 0;
    d.method.components[2].internalStandardIndex = 3;  // no peak of IS2 below
    d.internalStdAmount = 2;
    d.sampleAmount = 50;  // scale 4
    d.peaks.append(identifiedPeak(1.0, 40, 0, "IS"));
    d.peaks.append(identifiedPeak(1.1, 400, 0, "IS"));  // only the first IS peak counts
    d.peaks.append(identifiedPeak(2.0, 20, 1, "x"));    // 3 x 20/40 x 4 = 6
    d.peaks.append(identifiedPeak(3.0, 20, 2, "y"));
    d.peaks.append(peakAt(5.0, 10));
    quantify(d, nullptr);
    EXPECT_EQ(contents(), (std::vector<double>{0, 0, 6, 0, 0}));
    d.peaks[0].area = 0;  // a standard peak without response gives 0, not infinity
    quantify(d, nullptr);
    EXPECT_EQ(d.peaks[2].gasContent, 0.0);
    d.peaks[0].area = 40;

    // Unidentified peaks take the impurity factors of the library curve, scaled.
    d.method.impurityCalc = 1;
    CalibrationCurve curve;
    curve.components = d.method.components;
    curve.impurityFactor1 = 0.5;
    d.groupResults = {GroupResult{}};
    quantify(d, &curve);
    EXPECT_NEAR(d.peaks[4].gasContent, 10 * 0.5 * 4, kContentTol);
    EXPECT_EQ(d.groupResults.size(), 1u);  // never rebuilt by this method
    quantify(d, nullptr);                  // no library curve: no impurity amount
    EXPECT_EQ(d.peaks[4].gasContent, 0.0);
}

TEST_F(QuantifyTest, InternalStandardWithGroupsSumsBothSides)
{
    method(QuantMethod::InternalStandard, CurveAxis::ResponseX);
    d.method.groupCalc = 1;
    d.method.components = numbered(
        {fitted("IS", 1, 1), fitted("ISm", 1.5, 0), fitted("x", 2, 1), fitted("xm", 3, 0)});
    d.method.components[0].isInternalStandard = 1;
    d.method.components[1].groupParentIndex = 0;
    d.method.components[2].internalStandardIndex = 0;
    d.method.components[3].groupParentIndex = 2;
    d.peaks.append(identifiedPeak(1.0, 30, 0, "IS"));
    d.peaks.append(identifiedPeak(1.5, 10, 1, "ISm"));
    d.peaks.append(identifiedPeak(2.0, 50, 2, "x"));
    d.peaks.append(identifiedPeak(3.0, 30, 3, "xm"));
    quantify(d, nullptr);
    // (50 + 30) / (30 + 10) = 2, scaled by 1 x 100 / 100.
    EXPECT_EQ(contents(), (std::vector<double>{0, 0, 2, 0}));
}

TEST_F(QuantifyTest, ExternalStandardScalesAndSumsGroupMembersIntoTheHead)
{
    method(QuantMethod::ExternalStandard);
    d.method.components =
        numbered({fitted("head", 1, 2), fitted("member", 2, 0), fitted("alone", 3, 4)});
    d.method.components[1].groupParentIndex = 0;
    d.internalStdAmount = 3;
    d.sampleAmount = 200;  // scale 1.5
    d.peaks.append(identifiedPeak(1.0, 20, 0, "head"));
    d.peaks.append(identifiedPeak(2.0, 60, 1, "member"));
    d.peaks.append(identifiedPeak(3.0, 40, 2, "alone"));
    quantify(d, nullptr);
    EXPECT_EQ(contents(), (std::vector<double>{15, 0, 15}));  // head alone: 20/2 x 1.5

    d.method.groupCalc = 1;
    quantify(d, nullptr);
    EXPECT_EQ(contents(), (std::vector<double>{60, 0, 15}));  // (20 + 60)/2 x 1.5

    // A sample amount of 0 gives contents of 0, never infinity.
    d.sampleAmount = 0;
    quantify(d, nullptr);
    EXPECT_EQ(contents(), (std::vector<double>{0, 0, 0}));
}

TEST_F(QuantifyTest, ExponentialStandardRaisesTenToTheCurveOfTheLogResponse)
{
    method(QuantMethod::ExponentialExternalStandard);
    // Fitted on areas 2, 20, 200 for 1, 10, 100: slope 1, intercept log10 2.
    d.method.components = numbered({fitted("a", 1, 1.0, std::log10(2.0), 1), fitted("b", 2, 0)});
    d.peaks.append(identifiedPeak(1.0, 40, 0, "a"));
    d.peaks.append(identifiedPeak(2.0, 40, 1, "b"));  // unfitted: 0, not 10^0
    d.peaks.append(identifiedPeak(3.0, 0, 0, "a"));   // log10 0: 0, not NaN
    quantify(d, nullptr);
    EXPECT_NEAR(d.peaks[0].gasContent, 20.0, kContentTol);
    EXPECT_EQ(d.peaks[1].gasContent, 0.0);
    EXPECT_EQ(d.peaks[2].gasContent, 0.0);

    d.method.impurityCalc = 1;
    CalibrationCurve curve;
    curve.components = d.method.components;
    curve.impurityFactor1 = 1;
    curve.impurityFactor2 = 1;  // axis 0: (log10 v - 1) / 1, so 10^ gives v / 10
    d.peaks.append(peakAt(4.0, 500));
    quantify(d, &curve);
    EXPECT_NEAR(d.peaks[3].gasContent, 50.0, 1e-9);
}

TEST_F(QuantifyTest, ImpurityGroupsListIdentifiedPeaksAndTotalTheRest)
{
    method(QuantMethod::ExternalStandard, CurveAxis::ResponseX);
    d.method.impurityCalc = 1;
    d.method.components = numbered({fitted(std::string(GasSet::H2), 1, 1)});
    CalibrationCurve curve;
    curve.components = d.method.components;
    curve.impurityFactor1 = 2;
    d.peaks.append(peakAt(0.5, 3, 1));
    d.peaks.append(identifiedPeak(1.0, 10, 0, std::string(GasSet::H2), 2));
    d.peaks.append(peakAt(2.0, 4, 3));
    d.peaks.append(peakAt(2.5, 100, 9));
    d.peaks[3].excluded = 1;
    quantify(d, &curve);
    ASSERT_EQ(d.groupResults.size(), 2u);
    EXPECT_EQ(d.groupResults[0].groupName, std::string(GasSet::H2));
    EXPECT_EQ(d.groupResults[0].totalContent, 10);
    // The impurity row: the unidentified peaks that are not excluded.
    EXPECT_EQ(d.groupResults[1], (GroupResult{-1, "", 0.0, 0.0, 2, 7, 4, 14}));

    // No unidentified peak with content: no impurity row.
    curve.impurityFactor1 = 0;
    quantify(d, &curve);
    ASSERT_EQ(d.groupResults.size(), 1u);

    // Impurity calculation off: the list keeps what an earlier run left.
    d.method.impurityCalc = 0;
    d.groupResults.push_back(GroupResult{});
    quantify(d, &curve);
    EXPECT_EQ(d.groupResults.size(), 2u);
}

TEST_F(QuantifyTest, TimeWindowGroupsPlaceEveryPeak)
{
    method(QuantMethod::AreaNormalisation);
    d.method.groupCalc = 1;
    d.method.groups = {{1, "烃类", 1.0, 2.0}, {2, "重叠", 1.5, 3.0}, {3, "碳氧", 5.0, 6.0}};
    d.peaks.append(peakAt(0.5, 10, 1));  // before every window: own row in front
    d.peaks.append(peakAt(1.2, 20, 2));  // group 1
    d.peaks.append(peakAt(1.8, 30, 3));  // groups 1 and 2
    d.peaks.append(peakAt(4.0, 15, 4));  // between windows: own row before group 3
    d.peaks.append(peakAt(7.0, 25, 5));  // after all: appended
    d.peaks.append(peakAt(5.5, 99, 9));
    d.peaks[5].excluded = 1;  // not taken
    quantify(d, nullptr);

    const auto& g = d.groupResults;
    ASSERT_EQ(g.size(), 6u);
    EXPECT_EQ(g[0], (GroupResult{-1, "", 0.5, 0.5, 1, 10, 1, 10}));
    EXPECT_EQ(g[1], (GroupResult{1, "烃类", 1.0, 2.0, 2, 50, 5, 50}));
    EXPECT_EQ(g[2].peakCount, 1);  // a peak in two windows counts in both
    EXPECT_EQ(g[2].totalArea, 30);
    EXPECT_EQ(g[3].windowStart, 4.0);
    EXPECT_EQ(g[4].peakCount, 0);
    EXPECT_EQ(g[5].windowStart, 7.0);

    // Corrected normalisation totals only identified peaks that are not excluded.
    method(QuantMethod::CorrectedNormalisation, CurveAxis::ResponseX);
    d.method.components = numbered({fitted("x", 1.2, 1)});
    d.peaks[1].componentIndex = 0;
    d.peaks[1].componentName = "x";
    quantify(d, nullptr);
    ASSERT_EQ(d.groupResults.size(), 3u);
    EXPECT_EQ(d.groupResults[0].peakCount, 1);
    EXPECT_EQ(d.groupResults[0].totalContent, 100);
}

TEST_F(QuantifyTest, AnUnknownMethodLeavesEveryContentAtZero)
{
    d.method.calcMethod = 9;
    d.method.components = numbered({fitted("a", 1, 1)});
    d.peaks.append(identifiedPeak(1.0, 10, 0, "a"));
    d.peaks[0].gasContent = 5;
    d.groupResults = {GroupResult{}};
    quantify(d, nullptr);
    EXPECT_EQ(d.peaks[0].gasContent, 0.0);
    EXPECT_EQ(d.groupResults.size(), 1u);
}

// A content of 0 is read as "no gas"; one the quantitation could not form must say so.
TEST_F(QuantifyTest, ContentsThatCouldNotBeFormedAreToldApartFromAbsentGas)
{
    struct Case {
        const char* what;
        QuantMethod method;
        double sampleAmount;
        bool groupCalc;
        std::vector<bool> uncalibrated;  // fitted, unfitted, member of fitted, unidentified
    };
    using enum QuantMethod;  // area normalisation needs no curve
    const Case cases[] = {
        {"external", ExternalStandard, 100, false, {false, true, true, false}},
        {"external, grouped", ExternalStandard, 100, true, {false, true, false, false}},
        {"exponential", ExponentialExternalStandard, 100, false, {false, true, true, false}},
        {"no sample amount", ExternalStandard, 0, false, {true, true, true, false}},
        {"corrected normalisation", CorrectedNormalisation, 0, false, {false, true, true, false}},
        {"area normalisation", AreaNormalisation, 100, false, {false, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        d = ChromatogramData{};
        method(c.method);
        d.method.groupCalc = c.groupCalc ? 1 : 0;
        d.sampleAmount = c.sampleAmount;
        d.method.components =
            numbered({fitted("CH4", 1, 2), fitted("C2H2", 2, 0), fitted("C2H6", 3, 0)});
        d.method.components[2].groupParentIndex = 0;
        d.peaks.append(identifiedPeak(1.0, 20, 0, "CH4"));
        d.peaks.append(identifiedPeak(2.0, 20, 1, "C2H2"));
        d.peaks.append(identifiedPeak(3.0, 20, 2, "C2H6"));
        d.peaks.append(peakAt(4.0, 20, 1));
        quantify(d, nullptr);
        EXPECT_EQ(uncalibratedPeaks(d, nullptr), c.uncalibrated);
        for (int i = 0; i < 4; ++i) {
            if (c.uncalibrated[static_cast<size_t>(i)]) {
                EXPECT_EQ(d.peaks[i].gasContent, 0.0) << i;
            }
        }
    }
    EXPECT_EQ(uncalibratedReason(d, nullptr, 9), "");

    // The reason names the component, or the missing sample amount.
    method(QuantMethod::ExternalStandard);
    d.sampleAmount = 100;
    EXPECT_NE(uncalibratedReason(d, nullptr, 1).find("C2H2"), std::string::npos);
    d.sampleAmount = 0;
    EXPECT_NE(uncalibratedReason(d, nullptr, 0).find("样品量"), std::string::npos);
}

}  // namespace
}  // namespace dgaws::test
