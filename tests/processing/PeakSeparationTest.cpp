#include "EditTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dgaws;
using namespace dgaws::test;

namespace {

// Triangles (centre, height, half width) added to a signal: straight flanks, so where a
// baseline may reach is plain to see.
void addTriangle(std::vector<float>& s, int centre, float height, int halfWidth)
{
    for (int i = centre - halfWidth; i <= centre + halfWidth; ++i)
        s[static_cast<size_t>(i)] +=
            height * (1.0f - static_cast<float>(std::abs(i - centre)) / static_cast<float>(halfWidth));
}

// On a level of 100: a peak at 300 standing between two dips at 250 and 350; a lone
// triangle at 700 whose row is drawn too narrow; a downward peak at 1300 between two humps
// at 1230 and 1370.
std::vector<float> driftShapes()
{
    std::vector<float> s = bumps({{300, 500, 40}});
    addTriangle(s, 250, -50.0f, 10);
    addTriangle(s, 350, -50.0f, 10);
    addTriangle(s, 700, 600.0f, 50);
    addTriangle(s, 1300, -300.0f, 50);
    addTriangle(s, 1230, 50.0f, 10);
    addTriangle(s, 1370, 50.0f, 10);
    return s;
}

// No sample between the peak's ends lies below (upward) or above (downward) its baseline.
void expectBaselineHolds(const std::vector<float>& s, const PeakRecord& p, bool upward)
{
    for (int k = p.startIndex + 1; k < p.endIndex; ++k) {
        const double side = (s[static_cast<size_t>(k)] - p.startValue) * (p.endIndex - p.startIndex) -
                            (p.endValue - p.startValue) * (k - p.startIndex);
        EXPECT_TRUE(upward ? side >= 0.0 : side <= 0.0) << "sample " << k;
    }
}

}  // namespace

TEST(PeakSeparation, StartsAndEndsMoveAlongTheDriftBothWays)
{
    const auto s = driftShapes();
    EditBench b(s, {rowOn(s, 200, 300, 400), rowOn(s, 680, 700, 720), rowOn(s, 1200, 1300, 1400)});
    const PeakTable before = b.peaks();

    ASSERT_EQ(b.editor.separateAllPeaks(), EditStatus::Done);
    const PeakRecord& dipped = b.peaks()[0];
    EXPECT_EQ(dipped.startIndex, 250) << "walked inwards to the bottom of the dip";
    EXPECT_EQ(dipped.endIndex, 350);
    EXPECT_EQ(dipped.startValue, 50.0f);
    EXPECT_EQ(dipped.baselineStartIndex, 250);
    EXPECT_EQ(dipped.baselineStartValue, 50.0f);

    const PeakRecord& narrow = b.peaks()[1];
    EXPECT_EQ(narrow.startIndex, 650) << "widened down its flank to its foot, and no further";
    EXPECT_EQ(narrow.endIndex, 1200) << "on a level baseline up to where the next peak started";

    const PeakRecord& down = b.peaks()[2];
    EXPECT_EQ(down.startIndex, 1230) << "a downward peak walks to the tops of the humps";
    EXPECT_EQ(down.endIndex, 1370);
    EXPECT_EQ(down.startValue, 150.0f);

    expectBaselineHolds(s, dipped, true);
    expectBaselineHolds(s, narrow, true);
    expectBaselineHolds(s, down, false);
    EXPECT_GT(dipped.area, before[0].area) << "evaluated on the new baseline";

    ASSERT_TRUE(b.editor.Undo());
    EXPECT_EQ(b.peaks(), before);
}

TEST(PeakSeparation, AGroupFallsApartIntoLonePeaks)
{
    const auto s = groupOfThree();
    EditBench b(s, groupOfThreeRows(s));
    ASSERT_EQ(b.editor.separateAllPeaks(), EditStatus::Done);
    for (int i = 0; i < b.peaks().size(); ++i) {
        const PeakRecord& p = b.peaks()[i];
        EXPECT_EQ(p.typeFlags, 0) << i;
        EXPECT_EQ(p.detectTag, 1) << i;
        EXPECT_LE(p.startIndex, p.apexIndex) << i;
        EXPECT_LE(p.apexIndex, p.endIndex) << i;
        if (i > 0) {
            EXPECT_LE(b.peaks()[i - 1].endIndex, p.startIndex) << i;
        }
    }
    // The first start left the level and climbed the foot of the first peak.
    EXPECT_GT(b.peaks()[0].startIndex, 250);
    EXPECT_TRUE(b.events().empty()) << "not a manual integration event";
}
