#include "chromatogram/ChromatogramData.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/PeakRecord.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dgaws;

TEST(SignalBuffer, OutOfRangeReadsGiveMinusOneAndSubtractionNeedsEqualLengths)
{
    SignalBuffer a, b, c;
    EXPECT_EQ(a.at(0), -1.0f);
    a.resize(2);
    a.set(0, 5.0f);
    a.set(1, 1.0f);
    for (int i : {-1, 2, 3})
        a.set(i, 9.0f);
    EXPECT_EQ(a.at(2), -1.0f);
    EXPECT_EQ(a.at(-1), -1.0f);
    a.resize(3);
    a.set(2, 3.0f);
    b.assign({1.0f, 4.0f, 1.0f});
    c.assign({1.0f});
    float minimum = 0.0f;
    EXPECT_FALSE(a.subtract(c, minimum));
    EXPECT_EQ(a.at(0), 5.0f);
    ASSERT_TRUE(a.subtract(b, minimum));
    EXPECT_EQ(a.values(), (std::vector<float>{4.0f, -3.0f, 2.0f})) << "growing keeps the samples";
    EXPECT_EQ(minimum, -3.0f);
}

TEST(PeakTypes, FirstMatchingRuleGivesTheCodeAndItsName)
{
    using namespace PeakFlag;
    EXPECT_EQ(peakTypeCode(0), 0);
    EXPECT_EQ(peakTypeCode(EndsInValley), 4);
    EXPECT_EQ(peakTypeCode(StartsInValley | EndsInValley), 5);
    EXPECT_EQ(peakTypeCode(StartsInValley), 6);
    EXPECT_EQ(peakTypeCode(TailingWithRidersBehind | Negative), 7);
    EXPECT_EQ(peakTypeCode(TailingWithRidersBefore), 7);
    EXPECT_EQ(peakTypeCode(Negative | RiderOnTail), 11);
    EXPECT_EQ(peakTypeCode(RiderOnTail), 8);
    EXPECT_EQ(peakTypeCode(RiderOnTail | EndsInValley), 9);
    EXPECT_EQ(peakTypeCode(RiderOnFront | StartsInValley), 10);
    EXPECT_EQ(peakTypeCode(FixedBaselineStart | FixedBaselineEnd), 0);
    EXPECT_STREQ(peakTypeName(12), "") << "a code outside the table has no name";
}

TEST(ChromatogramFigures, TimeIndexDurationMeanAndRms)
{
    ChromatogramData d;
    EXPECT_EQ(d.meanAbsoluteSignal(), 0.0);
    EXPECT_EQ(d.rmsSignal(), 0.0);
    d.pointsPerSecond = 10;
    EXPECT_EQ(d.timeToIndex(-0.0999), -59);
    EXPECT_DOUBLE_EQ(d.indexToTime(600), 1.0);
    d.signal.assign({1.9f, -2.9f, 0.5f, -0.5f});  // magnitudes truncated: 1, 2, 0, 0
    EXPECT_DOUBLE_EQ(d.meanAbsoluteSignal(), 3.0 / 4.0);
    EXPECT_NEAR(d.rmsSignal(), std::sqrt(12.52 / 4.0), 1e-6);
    d.signal.resize(1200);
    EXPECT_DOUBLE_EQ(d.duration(), 2.0);
    d.pointsPerSecond = 0;  // a damaged file: no division by zero, no garbage
    EXPECT_EQ(d.indexToTime(600), 0.0);
}

TEST(ChromatogramResults, ResetClearsDiagnosisAndKeepsTheChromatogram)
{
    ChromatogramData d;
    d.signal.assign({1.0f});
    d.totalHydrocarbons = 5;
    d.gasInOil[3] = 2;
    d.ratioCode2 = 1;
    d.diagnosisCode = 4;
    d.diagnosisCode2 = 2;
    d.conclusion = "x";
    d.advice = "y";
    d.extraTexts[2] = "z";
    d.working.gasRates[7] = 3;
    d.resetResults();
    ChromatogramData fresh;
    fresh.signal.assign({1.0f});
    EXPECT_EQ(storeChromatogram(d), storeChromatogram(fresh));
    EXPECT_EQ(d.working, fresh.working);
}

// Manual peaks go before the first peak starting at or after their end; a peak is found
// strictly inside its bounds; labels toggle only the hide bit.
TEST(PeakTable, ManualPeaksFindingAndLabels)
{
    ChromatogramData d;
    d.pointsPerSecond = 10;
    PeakTable& t = d.peaks;
    for (int s : {30, 60, 90}) {
        PeakRecord p;
        p.startIndex = s;
        p.endIndex = s + 30;
        t.append(p);
    }
    EXPECT_EQ(d.findPeakAt(0.05), -1);  // exactly at a's start
    EXPECT_EQ(d.findPeakAt(0.06), 0);
    EXPECT_EQ(d.findPeakAt(0.10), -1);  // a's end and b's start
    EXPECT_EQ(d.findPeakAt(0.12), 1);

    t[0].displayFlags = 0x2 | PeakLabel::HideMarks;
    d.setPeakLabels(PeakLabel::HideMarks);
    EXPECT_EQ(t[0].displayFlags, 0x2);
    EXPECT_EQ(t[1].displayFlags, 0x1 | PeakLabel::HideMarks);
    d.setPeakLabels(PeakLabel::Area);
    EXPECT_EQ(t[0].displayFlags, PeakLabel::Area);
    EXPECT_EQ(t[1].displayFlags, PeakLabel::Area) << "a label value also clears the hide bit";

    PeakRecord m;
    m.startIndex = 52;
    m.endIndex = 60;
    EXPECT_EQ(t.insertManual(m), 1);
    m.startIndex = 200;
    m.endIndex = 220;
    EXPECT_EQ(t.insertManual(m), 4);
    for (int outside : {-1, 5})
        t.removeAt(outside);
    EXPECT_EQ(t.size(), 5);
    t.removeAt(4);
    EXPECT_EQ(t[3].startIndex, 90);
    EXPECT_EQ(t.size(), 4);
}
