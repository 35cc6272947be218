#include "EditTestSupport.h"

#include "processing/ManualEventKind.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace dgaws;
using namespace dgaws::test;
using namespace dgaws::PeakFlag;
namespace Kind = dgaws::ManualEventKind;

namespace {

double minutes(int sample)
{
    return sample / 20.0 / 60.0;
}

// A solvent peak at 300 with a slow exponential tail, and two small peaks on the tail at
// 500 and 650; detection would have made them one group.
std::vector<float> tailWithRiders()
{
    std::vector<float> s = bumps({{500, 300, 30}, {650, 200, 30}});
    const std::vector<float> front = bumps({{300, 4000, 60}});
    for (int i = 0; i < 2000; ++i) {
        const double tail =
            i < 300 ? front[static_cast<size_t>(i)] - 100.0 : 4000.0 * std::exp(-(i - 300) / 150.0);
        s[static_cast<size_t>(i)] += static_cast<float>(tail);
    }
    return s;
}
std::vector<PeakRecord> tailRows(const std::vector<float>& s)
{
    return {rowOn(s, 240, 300, 470, EndsInValley),
            rowOn(s, 470, 500, 560, StartsInValley | EndsInValley),
            rowOn(s, 560, 650, 700, StartsInValley)};
}

}  // namespace

TEST(PeakEditing, NegativeToggledTwiceIsAPlainPeakAgain)
{
    const auto s = groupOfThree();
    EditBench b(s, groupOfThreeRows(s));
    ASSERT_EQ(b.peaks()[1].typeFlags, StartsInValley | EndsInValley);

    ASSERT_EQ(b.editor.toggleNegative(1), EditStatus::Done);
    EXPECT_EQ(b.peaks()[1].typeFlags, Negative);
    EXPECT_LT(b.peaks()[1].area, 0.0) << "a negative peak's area changes sign";
    ASSERT_EQ(b.kinds(), std::vector<int>{Kind::NegativePeak});
    EXPECT_DOUBLE_EQ(b.events()[0].time, minutes(380));

    ASSERT_EQ(b.editor.toggleNegative(1), EditStatus::Done);
    EXPECT_EQ(b.peaks()[1].typeFlags, 0) << "not the valley bits it had before";
    EXPECT_GT(b.peaks()[1].area, 0.0);
    // Turning it back is recorded too, with the plain record, so a replay ends plain.
    ASSERT_EQ(b.kinds(), (std::vector<int>{Kind::NegativePeak, Kind::NegativePeak}));
    EXPECT_EQ(b.events()[1].peak.typeFlags, 0);
}

TEST(PeakEditing, DeletingTheHeadOfAGroupOfThreeLeavesAGroupOfTwo)
{
    const auto s = groupOfThree();
    EditBench b(s, groupOfThreeRows(s));
    b.editor.select(0);
    ASSERT_EQ(b.editor.deletePeak(0), EditStatus::Done);

    ASSERT_EQ(b.peaks().size(), 3);
    EXPECT_EQ(b.peaks()[0].apexIndex, 380);
    EXPECT_EQ(b.peaks()[0].detectTag, 2);
    EXPECT_EQ(b.type(0), "重叠首峰(BV)");
    EXPECT_EQ(b.type(1), "重叠尾峰(VB)");
    EXPECT_EQ(b.peaks()[0].baselineStartIndex, 340);
    EXPECT_EQ(b.editor.selection(), -1);

    ASSERT_EQ(b.kinds(), std::vector<int>{Kind::deletePeak});
    EXPECT_EQ(b.events()[0].peak.apexIndex, 300);
    EXPECT_EQ(b.events()[0].peak.typeFlags, 0) << "recorded as detached from its group";
}

TEST(PeakEditing, VerticalCutOfLonePeaksMakesOneGroupCutByPerpendiculars)
{
    const auto s = fourApart();
    EditBench b(s, fourApartRows(s));
    double areaBefore = 0.0;
    for (int i = 0; i < 3; ++i)
        areaBefore += b.peaks()[i].area;

    // The click lies after the third apex and before the fourth.
    ASSERT_EQ(b.editor.verticalCut(0, 1300), EditStatus::Done);
    EXPECT_EQ(b.type(0), "重叠首峰(BV)");
    EXPECT_EQ(b.type(1), "重叠峰(VV)");
    EXPECT_EQ(b.type(3), "独立峰(BB)");
    EXPECT_EQ(b.peaks()[0].detectTag, 3);
    EXPECT_EQ(b.peaks()[0].endIndex, 600) << "ends where the next peak starts";
    double areaAfter = 0.0;
    for (int i = 0; i < 3; ++i)
        areaAfter += b.peaks()[i].area;
    EXPECT_NEAR(areaAfter, areaBefore, 1e-9) << "the gaps between them lie on the baseline";
    ASSERT_EQ(b.kinds(), std::vector<int>(4, Kind::VerticalCut));
    EXPECT_EQ(b.events()[0].peak.apexIndex, 1500) << "the peak after the range first";
    EXPECT_EQ(b.events()[1].peak.endIndex, 600) << "recorded as evaluated after the cut";
}

TEST(PeakEditing, SlantCutGivesEachPeakItsOwnStraightBaseline)
{
    const auto s = groupOfThree();
    EditBench b(s, groupOfThreeRows(s));
    const double middleArea = b.peaks()[1].area;
    // From the middle peak: the click before the third apex leaves the range at one peak.
    ASSERT_EQ(b.editor.slantCut(1, 440), EditStatus::Done);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(b.peaks()[i].typeFlags, 0) << i;
    const PeakRecord& m = b.peaks()[1];
    EXPECT_EQ(m.baselineStartValue, s[340]);
    EXPECT_EQ(m.baselineEndValue, s[420]);
    EXPECT_LT(m.area, middleArea) << "its baseline now runs through the valleys";
    ASSERT_EQ(b.kinds(), std::vector<int>(3, Kind::SlantCut));
    EXPECT_EQ(b.events()[0].peak.apexIndex, 300) << "the peak before the range first";
}

TEST(PeakEditing, HorizontalBaselineHoldsTheSelectedStartLevel)
{
    const auto s = bumps({{300, 800}, {700, 600}, {1100, 400}, {1500, 300}}, 2000, 0.05);
    EditBench b(s, fourApartRows(s));
    ASSERT_EQ(b.peaks()[0].baselineStartValue, 110.0f);

    ASSERT_EQ(b.editor.horizontalBaseline(0, 800), EditStatus::Done);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(b.peaks()[i].typeFlags, FixedBaselineStart | FixedBaselineEnd) << i;
        EXPECT_EQ(b.peaks()[i].baselineEndValue, 110.0f) << i;
    }
    // Heights from the level, not from the drifting signal under each peak.
    EXPECT_NEAR(b.peaks()[0].height, (100.0 + 15.0 + 800.0) - 110.0, 1e-3);
    EXPECT_NEAR(b.peaks()[1].height, (100.0 + 35.0 + 600.0) - 110.0, 1e-3);
    EXPECT_GE(b.peaks()[0].detectTag, 2) << "the fixed ends keep the range one group";
    EXPECT_EQ(b.kinds(), std::vector<int>(2, Kind::HorizontalBaseline));
}

TEST(PeakEditing, TailingPeakCarriesItsRidersBehind)
{
    const auto s = tailWithRiders();
    EditBench b(s, tailRows(s));
    EXPECT_EQ(b.editor.tailingBehind(0, 480), EditStatus::NoRiders);

    ASSERT_EQ(b.editor.tailingBehind(0, 800), EditStatus::Done);
    EXPECT_EQ(b.peaks()[0].typeFlags, TailingWithRidersBehind);
    EXPECT_EQ(b.peaks()[2].typeFlags, RiderOnTail);
    const PeakRecord& t = b.peaks()[0];
    EXPECT_EQ(t.endIndex, 470) << "its own end stays where the first rider starts";
    EXPECT_EQ(t.baselineEndIndex, 800) << "the click lies beyond the last rider's end";
    EXPECT_NEAR(t.area, rawArea(s, t) - b.peaks()[1].area - b.peaks()[2].area, 1e-3);
    EXPECT_EQ(b.kinds(),
              (std::vector<int>{Kind::RiderBehind, Kind::RiderBehind, Kind::TailingPeak}));

    // Its end may not come back over a rider; beyond them only its baseline end moves.
    const PeakTable before = b.peaks();
    EXPECT_EQ(b.editor.moveEnd(0, 650), EditStatus::OutsideLimits);
    EXPECT_EQ(b.peaks(), before);
    ASSERT_EQ(b.editor.moveEnd(0, 900), EditStatus::Done);
    EXPECT_EQ(b.peaks()[0].baselineEndIndex, 900);
    EXPECT_EQ(b.peaks()[0].endIndex, 470);

    // A slant cut takes the roles away and ends it where the next peak starts, whatever lies
    // before it.
    EditBench c(s,
                {rowOn(s, 50, 100, 150), rowOn(s, 240, 300, 460),
                 rowOn(s, 470, 500, 560, EndsInValley), rowOn(s, 560, 650, 700, StartsInValley)});
    ASSERT_EQ(c.editor.tailingBehind(1, 800), EditStatus::Done);
    ASSERT_EQ(c.peaks()[1].endIndex, 460);
    ASSERT_EQ(c.editor.slantCut(1, 320), EditStatus::Done);
    EXPECT_EQ(c.peaks()[1].endIndex, 470);
    EXPECT_EQ(c.peaks()[1].typeFlags, 0);
}

TEST(PeakEditing, TailingPeakCarriesItsRidersBefore)
{
    // The same chromatogram mirrored: the solvent peak at 1699 rises slowly from the left.
    auto s = tailWithRiders();
    std::reverse(s.begin(), s.end());
    EditBench b(s,
                {rowOn(s, 1299, 1349, 1439, EndsInValley),
                 rowOn(s, 1439, 1499, 1529, StartsInValley | EndsInValley),
                 rowOn(s, 1529, 1699, 1759, StartsInValley)});
    EXPECT_EQ(b.editor.tailingBefore(2, 1600), EditStatus::NoRiders);

    ASSERT_EQ(b.editor.tailingBefore(2, 1199), EditStatus::Done);
    EXPECT_EQ(b.peaks()[0].typeFlags, RiderOnFront);
    EXPECT_EQ(b.peaks()[2].typeFlags, TailingWithRidersBefore);
    const PeakRecord& t = b.peaks()[2];
    EXPECT_EQ(t.startIndex, 1529);
    EXPECT_EQ(t.baselineStartIndex, 1199);
    EXPECT_NEAR(t.area, rawArea(s, t) - b.peaks()[0].area - b.peaks()[1].area, 1e-3);
    EXPECT_EQ(b.kinds(), std::vector<int>(3, Kind::TailingPeak));

    // A vertical cut over them takes the tail roles away again.
    ASSERT_EQ(b.editor.verticalCut(0, 1800), EditStatus::Done);
    EXPECT_EQ(b.type(2), "重叠尾峰(VB)");
}

TEST(PeakEditing, AddedPeakGoesInOrderAndIsRecordedEvaluated)
{
    const auto s = fourApart();
    auto rows = fourApartRows(s);
    rows.erase(rows.begin() + 1);
    EditBench b(s, rows);
    AddPeakClicks clicks;
    for (int sample : {600, 700, 800})
        ASSERT_EQ(clicks.click(b.peaks(), 2000, sample), EditStatus::Done);
    ASSERT_TRUE(clicks.complete());

    ASSERT_EQ(b.editor.addPeak(clicks), EditStatus::Done);
    ASSERT_EQ(b.peaks().size(), 4);
    const PeakRecord& p = b.peaks()[1];
    EXPECT_EQ(p.apexIndex, 700);
    EXPECT_EQ(p.number, 2);
    EXPECT_NEAR(p.area, 600.0 * 50.0 / 20.0, 0.01) << "a raised cosine holds height x half width";
    ASSERT_EQ(b.kinds(), std::vector<int>{Kind::AddPeak});
    EXPECT_EQ(b.events()[0].peak, p);
}

TEST(PeakEditing, MovedBoundariesTakeTheirValleyNeighbourAlong)
{
    const auto s = groupOfThree();
    EditBench b(s, groupOfThreeRows(s));

    ASSERT_EQ(b.editor.moveStart(1, 350), EditStatus::Done);
    EXPECT_EQ(b.peaks()[1].startValue, s[350]);
    EXPECT_EQ(b.peaks()[0].endIndex, 350);
    EXPECT_EQ(b.peaks()[0].endValue, s[350]);
    EXPECT_EQ(b.peaks()[0].detectTag, 3);
    ASSERT_EQ(b.kinds(), (std::vector<int>{Kind::MoveStart, Kind::MoveEnd}));
    EXPECT_EQ(b.events()[0].peak.apexIndex, 380);
    EXPECT_EQ(b.events()[1].peak.apexIndex, 300);
    EXPECT_DOUBLE_EQ(b.events()[1].time, minutes(350)) << "the new time, for both rows";

    ASSERT_EQ(b.editor.moveEnd(1, 430), EditStatus::Done);
    EXPECT_EQ(b.peaks()[2].baselineStartIndex, 430);
    EXPECT_EQ(b.events().back().peak.apexIndex, 460);

    ASSERT_EQ(b.editor.moveApex(3, 1105), EditStatus::Done);
    EXPECT_DOUBLE_EQ(b.peaks()[3].retentionTime, minutes(1105));

    // The limits are inclusive: up to the next peak's baseline start, down to sample 0.
    ASSERT_EQ(b.editor.moveEnd(2, 1000), EditStatus::Done);
    EXPECT_EQ(b.peaks()[2].endIndex, 1000);
    EXPECT_EQ(b.peaks()[3].startIndex, 1000) << "not in a valley: the next peak stays";
    ASSERT_EQ(b.editor.moveStart(0, 0), EditStatus::Done);
    EXPECT_EQ(b.events().size(), 7u);
}

TEST(PeakEditing, ClicksThatBreakALimitChangeNothing)
{
    const auto s = groupOfThree();
    EditBench b(s, groupOfThreeRows(s));
    const PeakTable before = b.peaks();
    PeakEditor& e = b.editor;

    // The clicks of a new peak: start, apex, end in order, no peak inside or between.
    AddPeakClicks clicks;
    EXPECT_EQ(clicks.click(b.peaks(), 2000, 300), EditStatus::InsidePeak);
    ASSERT_EQ(clicks.click(b.peaks(), 2000, 600), EditStatus::Done);
    EXPECT_EQ(clicks.click(b.peaks(), 2000, 1100), EditStatus::PeakBetween);
    ASSERT_EQ(clicks.click(b.peaks(), 2000, 700), EditStatus::Done);
    EXPECT_EQ(clicks.click(b.peaks(), 2000, 650), EditStatus::NotAfterApex);
    EXPECT_EQ(clicks.click(b.peaks(), 2000, 2000), EditStatus::OutsideSignal);
    AddPeakClicks atBoundary;
    ASSERT_EQ(atBoundary.click(b.peaks(), 2000, 340), EditStatus::Done) << "a shared sample";
    EXPECT_EQ(atBoundary.click(b.peaks(), 2000, 360), EditStatus::PeakBetween);

    EXPECT_EQ(e.addPeak(AddPeakClicks{}), EditStatus::NotAfterStart) << "clicks not complete";
    // Each limit is inclusive; one sample past it is refused.
    const struct {
        EditStatus (PeakEditor::*move)(int, int);
        int row, sample;
    } outside[] = {{&PeakEditor::moveStart, 1, 299}, {&PeakEditor::moveStart, 1, 381},
                   {&PeakEditor::moveStart, 3, 519}, {&PeakEditor::moveEnd, 0, 381},
                   {&PeakEditor::moveEnd, 0, 299},   {&PeakEditor::moveEnd, 2, 1001},
                   {&PeakEditor::moveEnd, 3, 2000},  {&PeakEditor::moveApex, 3, 999},
                   {&PeakEditor::moveApex, 3, 1201}};
    for (const auto& c : outside)
        EXPECT_EQ((e.*c.move)(c.row, c.sample), EditStatus::OutsideLimits)
            << c.row << " " << c.sample;
    EXPECT_EQ(e.deletePeak(4), EditStatus::NoSuchPeak);
    EXPECT_EQ(e.toggleNegative(-1), EditStatus::NoSuchPeak);
    EXPECT_EQ(e.verticalCut(0, 2000), EditStatus::OutsideSignal);
    EXPECT_EQ(e.tailingBehind(3, 1900), EditStatus::NoRiders);

    EXPECT_EQ(b.peaks(), before);
    EXPECT_TRUE(b.events().empty());
    EXPECT_EQ(e.undoStack().size(), 0);
}

TEST(PeakEditing, UndoRightAfterAnEditAndRedo)
{
    const auto s = fourApart();
    EditBench b(s, fourApartRows(s));
    PeakEditor& e = b.editor;
    const PeakTable t0 = b.peaks();
    b.data.method.timeEnd = 7.0;
    ASSERT_EQ(e.verticalCut(0, 1300), EditStatus::Done);
    const PeakTable t1 = b.peaks();
    b.data.method.timeEnd = 9.0;  // zoomed after the edit

    ASSERT_TRUE(e.undo());
    EXPECT_EQ(b.peaks(), t0);
    EXPECT_EQ(b.data.method.timeEnd, 7.0) << "the display range comes back with the table";
    ASSERT_TRUE(e.redo());
    EXPECT_EQ(b.data.method.timeEnd, 9.0);

    ASSERT_EQ(e.deletePeak(3), EditStatus::Done);
    const PeakTable t2 = b.peaks();
    ASSERT_TRUE(e.undo());
    ASSERT_TRUE(e.undo());
    EXPECT_EQ(b.peaks(), t0);
    EXPECT_FALSE(e.undo());
    ASSERT_TRUE(e.redo());
    ASSERT_TRUE(e.redo());
    EXPECT_EQ(b.peaks(), t2);
    EXPECT_FALSE(e.redo());

    // A new edit after an undo drops what could have been redone.
    ASSERT_TRUE(e.undo());
    ASSERT_EQ(e.toggleNegative(0), EditStatus::Done);
    EXPECT_FALSE(e.redo());
    ASSERT_TRUE(e.undo());
    EXPECT_EQ(b.peaks(), t1);
}

TEST(PeakEditing, NothingIsEditedOrSnapshottedWhileARunIsInProgress)
{
    const auto s = fourApart();
    EditBench b(s, fourApartRows(s));
    ASSERT_EQ(b.editor.toggleNegative(0), EditStatus::Done);
    const PeakTable before = b.peaks();
    bool running = true;
    b.editor.setRunningQuery([&] { return running; });

    EXPECT_EQ(b.editor.verticalCut(0, 1300), EditStatus::Unavailable);
    EXPECT_EQ(b.editor.separateAllPeaks(), EditStatus::Unavailable);
    EXPECT_FALSE(b.editor.undo());
    b.editor.pushUndo();
    EXPECT_EQ(b.peaks(), before);

    running = false;
    b.data.hasData = 0;  // an incomplete chromatogram takes no snapshot and no new peak
    b.editor.pushUndo();
    EXPECT_EQ(b.editor.undoStack().size(), 1);
    EXPECT_FALSE(b.editor.canAddPeak());
}

namespace {

// Triangles (centre, height, half width) added to a signal: straight flanks, so where a
// baseline may reach is plain to see.
void addTriangle(std::vector<float>& s, int centre, float height, int halfWidth)
{
    for (int i = centre - halfWidth; i <= centre + halfWidth; ++i)
        s[static_cast<size_t>(i)] += height *
            (1.0f - static_cast<float>(std::abs(i - centre)) / static_cast<float>(halfWidth));
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
        const double side =
            (s[static_cast<size_t>(k)] - p.startValue) * (p.endIndex - p.startIndex) -
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

    ASSERT_TRUE(b.editor.undo());
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
