#include "EditTestSupport.h"
#include "EngineTestSupport.h"

#include "processing/ManualEventKind.h"
#include "processing/ManualEventReplay.h"
#include "processing/ManualEventTable.h"
#include "processing/PeakDetectionCommand.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace dgaws;
using namespace dgaws::test;
using namespace dgaws::PeakFlag;
namespace Kind = dgaws::ManualEventKind;

namespace {

// Lone peaks at 400, 800, 1400 and 2400, a pair run together at 1800 and 1880, and at
// 1100 a bump too low for the detector, which only the operator adds.
std::vector<float> detectable()
{
    return bumps({{400, 800, 60},
                  {800, 600, 60},
                  {1100, 4, 60},
                  {1400, 500, 60},
                  {1800, 700, 60},
                  {1880, 500, 60},
                  {2400, 300, 60}},
                 3000);
}

// A stored chromatogram, the detection command and the editor, wired as the document
// wires them.
struct Redetection {
    ChromatogramData data = chromatogramOf(detectable(), plainParams());
    PeakEngine engine{data};
    PeakEditor editor{engine};
    PeakDetectionCommand::Hooks hooks;

    Redetection()
    {
        engine.setSettings({1, 0});
        hooks.askOkCancel = [](const std::string&) { return true; };
        hooks.pushUndo = [this] { editor.pushUndo(); };
        hooks.replayManualEvents = [this] { editor.replayManualEvents(); };
    }
    void detect()
    {
        ASSERT_EQ(PeakDetectionCommand::run(engine, false, hooks),
                  PeakDetectionCommand::Outcome::Detected);
    }
    // The row whose apex lies nearest the sample.
    int near(int sample) const
    {
        int best = -1;
        for (int i = 0; i < data.peaks.size(); ++i)
            if (best < 0 ||
                std::abs(data.peaks[i].apexIndex - sample) <
                    std::abs(data.peaks[best].apexIndex - sample))
                best = i;
        return best;
    }
    const PeakRecord& at(int sample) const { return data.peaks[near(sample)]; }
    void addAt(int start, int apex, int end)
    {
        AddPeakClicks clicks;
        for (int sample : {start, apex, end})
            ASSERT_EQ(clicks.click(data.peaks, data.signal.count(), sample), EditStatus::Done);
        ASSERT_EQ(editor.addPeak(clicks), EditStatus::Done);
    }
};

// The group count means something only on a group's first row; the last row of a group
// keeps whatever it held before, which depends on the order the rows were put together.
PeakTable groupCountsOnHeads(PeakTable t)
{
    for (int i = 1; i < t.size(); ++i)
        if (t[i - 1].typeFlags & (EndsInValley | FixedBaselineEnd))
            t[i].detectTag = 0;
    return t;
}

struct ReplayCase {
    const char* name;
    std::function<void(Redetection&)> edits;
    const char* undoRedo;  // u undoes, r redoes, after the edits
};

// A peak added at 1100, the end of the peak at 400 moved, the peak at 2400 made negative
// and then plain again.
void fourEdits(Redetection& r)
{
    r.addAt(1050, 1100, 1150);
    ASSERT_EQ(r.editor.moveEnd(r.near(400), r.at(400).endIndex + 15), EditStatus::Done);
    ASSERT_EQ(r.editor.toggleNegative(r.near(2400)), EditStatus::Done);
    ASSERT_EQ(r.editor.toggleNegative(r.near(2400)), EditStatus::Done);
}

std::vector<ReplayCase> replayCases()
{
    std::vector<ReplayCase> c = {
        {"every kind of boundary edit",
         [](Redetection& r) {
             r.addAt(1050, 1100, 1150);
             ASSERT_EQ(r.editor.moveEnd(r.near(400), r.at(400).endIndex + 15), EditStatus::Done);
             ASSERT_EQ(r.editor.moveStart(r.near(1880), r.at(1880).startIndex + 6),
                       EditStatus::Done);
             ASSERT_EQ(r.editor.moveApex(r.near(1400), r.at(1400).apexIndex + 3), EditStatus::Done);
             ASSERT_EQ(r.editor.deletePeak(r.near(800)), EditStatus::Done);
             ASSERT_EQ(r.editor.toggleNegative(r.near(2400)), EditStatus::Done);
         },
         ""},
        {"baseline cuts, overwritten in place",
         [](Redetection& r) {
             ASSERT_EQ(r.editor.verticalCut(r.near(400), 900), EditStatus::Done);
             ASSERT_EQ(r.editor.slantCut(r.near(1800), 2000), EditStatus::Done);
             ASSERT_EQ(r.editor.horizontalBaseline(r.near(2400), 2500), EditStatus::Done);
         },
         ""}};
    for (const char* sequence : {"", "u", "uu", "uuu", "uuuu", "uur", "uuuurr", "uurr"})
        c.push_back({"four edits", fourEdits, sequence});
    return c;
}

}  // namespace

// Whatever was edited, undone and redone, re-detecting with the table replayed gives the
// peaks that were on screen: an undone edit takes its rows with it, a redone one brings them
// back. Without the method asking, the table is not replayed; the detection is one undo step.
TEST(ManualEventReplay, RedetectionReproducesThePeaksOnScreen)
{
    for (const ReplayCase& c : replayCases()) {
        SCOPED_TRACE(std::string(c.name) + " then \"" + c.undoRedo + "\"");
        Redetection r;
        r.detect();
        const PeakTable detected = r.data.peaks;
        ASSERT_EQ(detected.size(), 6);
        ASSERT_EQ(r.at(1880).typeFlags & StartsInValley, StartsInValley);
        c.edits(r);
        for (const char* step = c.undoRedo; *step; ++step)
            ASSERT_TRUE(*step == 'u' ? r.editor.undo() : r.editor.redo());
        const PeakTable onScreen = r.data.peaks;
        const std::vector<ManualEvent> events = r.data.method.manualEvents;

        r.detect();
        EXPECT_EQ(r.data.peaks, detected);
        r.data.method.useManualEvents = 1;
        r.editor.select(2);
        r.detect();
        EXPECT_EQ(groupCountsOnHeads(r.data.peaks), groupCountsOnHeads(onScreen));
        EXPECT_EQ(r.data.method.manualEvents, events) << "replaying leaves the table as it was";
        EXPECT_EQ(r.editor.selection(), -1);
        ASSERT_TRUE(r.editor.undo());
        EXPECT_EQ(r.data.peaks, detected);
    }
}

TEST(ManualEventReplay, EventsWithoutATargetInsertOrDoNothing)
{
    const auto s = fourApart();
    EditBench b(s, {});
    auto event = [&](int kind, int start, int apex, int end) {
        ManualEvent e;
        e.peak = rowOn(s, start, apex, end);
        e.kind = kind;
        e.time = apex / 1200.0;
        return e;
    };
    b.data.method.manualEvents = {
        event(Kind::MoveStart, 200, 300, 400),   event(Kind::deletePeak, 600, 700, 800),
        event(Kind::VerticalCut, 600, 700, 800), event(Kind::Undefined, 600, 700, 800),
        event(Kind::AddPeak, 1000, 1100, 1200),  event(42, 1400, 1500, 1600)};
    const std::vector<ManualEvent> table = b.data.method.manualEvents;

    EXPECT_EQ(replayManualEvents(b.engine), 2);
    ASSERT_EQ(b.peaks().size(), 2);
    EXPECT_EQ(b.peaks()[0].apexIndex, 300);
    EXPECT_EQ(b.peaks()[1].apexIndex, 1100);
    EXPECT_GT(b.peaks()[1].area, 0.0) << "inserted peaks are evaluated";
    EXPECT_EQ(b.data.method.manualEvents, table);

    // Replayed once more, each finds its own peak and replaces it by the same record.
    const PeakTable once = b.peaks();
    EXPECT_EQ(replayManualEvents(b.engine), 2);
    EXPECT_EQ(b.peaks(), once);
}

TEST(ManualEventTable, WorksOnACopyUntilCommitted)
{
    const auto s = groupOfThree();
    EditBench b(s, groupOfThreeRows(s));
    ASSERT_EQ(b.editor.toggleNegative(3), EditStatus::Done);
    ASSERT_EQ(b.editor.moveApex(0, 301), EditStatus::Done);
    ASSERT_EQ(b.editor.deletePeak(1), EditStatus::Done);

    ManualEventTable t(b.data.method);
    ASSERT_EQ(t.size(), 3);
    EXPECT_EQ(t.rowText(0).time, "0.917");
    EXPECT_EQ(t.rowText(3).number, "") << "no such row";

    EXPECT_FALSE(t.deleteRow(3));
    ASSERT_TRUE(t.deleteRow(1));
    EXPECT_EQ(t.rowText(1).event, "删除峰");
    EXPECT_EQ(b.data.method.manualEvents.size(), 3u)
        << "closing without OK keeps the method's rows";
    t.commitTo(b.data.method);
    EXPECT_EQ(b.data.method.manualEvents.size(), 2u);

    ManualEventTable cleared(b.data.method);
    cleared.clear();
    EXPECT_EQ(cleared.size(), 0);
    cleared.commitTo(b.data.method);
    EXPECT_TRUE(b.data.method.manualEvents.empty());
    EXPECT_STREQ(Kind::text(-1), Kind::text(11)) << "kinds outside the table share one text";
}

TEST(Evaluate, StepsRunInOrderAndMarkTheChromatogramProcessed)
{
    const auto s = SyntheticSignal(1000).gaussian(300, 800, 15).floats();
    auto d = chromatogramOf(s, plainParams());
    PeakEngine e(d);
    std::vector<std::string> calls;
    e.setIdentificationStep([&](ChromatogramData& c) {
        calls.push_back("identify");
        EXPECT_GT(c.peaks[0].area, 0.0) << "identification sees measured peaks";
        c.peaks[0].componentName = "H2(氢气)";
    });
    e.setQuantitationStep([&](ChromatogramData& c) {
        calls.push_back("quantify");
        EXPECT_EQ(c.peaks[0].componentName, "H2(氢气)");
    });
    e.setProcessedHandler([&] { calls.push_back("processed"); });

    e.runDetection();
    EXPECT_EQ(calls, (std::vector<std::string>{"identify", "quantify", "processed"}));
    EXPECT_EQ(d.evaluated, 1);

    calls.clear();
    e.evaluate(EvaluateStep::Measures);
    EXPECT_EQ(calls, std::vector<std::string>{"processed"});
    calls.clear();
    e.evaluate(0);
    EXPECT_TRUE(calls.empty());

    e.resetPass();
    EXPECT_EQ(d.evaluated, 0);
    EXPECT_TRUE(d.peaks.empty());
}

TEST(PeakDetectionCommandTest, RedetectsOnlyWhenAllowedAndInTheRightOrder)
{
    const auto s = SyntheticSignal(1000).gaussian(300, 800, 15).gaussian(700, 400, 15).floats();
    auto d = chromatogramOf(s, plainParams());
    PeakEngine e(d);
    std::vector<std::string> calls;
    PeakDetectionCommand::Hooks hooks;
    hooks.askOkCancel = [&](const std::string& q) {
        calls.push_back(q);
        return false;
    };
    hooks.pushUndo = [&] { calls.push_back("undo:" + std::to_string(d.peaks.size())); };
    hooks.replayManualEvents = [&] { calls.push_back("replay:" + std::to_string(d.peaks.size())); };
    hooks.markModified = [&] { calls.push_back("modified"); };
    hooks.redrawViews = [&] { calls.push_back("redraw"); };

    EXPECT_EQ(PeakDetectionCommand::run(e, true, hooks),
              PeakDetectionCommand::Outcome::Unavailable);
    d.hasData = 0;
    EXPECT_EQ(PeakDetectionCommand::run(e, false, hooks),
              PeakDetectionCommand::Outcome::Unavailable);
    EXPECT_TRUE(calls.empty());
    d.hasData = 1;

    EXPECT_EQ(PeakDetectionCommand::run(e, false, hooks), PeakDetectionCommand::Outcome::Detected);
    EXPECT_EQ(calls, (std::vector<std::string>{"undo:0", "modified", "redraw"}))
        << "not processed yet: no question; no manual events in the method";
    EXPECT_EQ(d.peaks.size(), 2);

    calls.clear();
    EXPECT_EQ(PeakDetectionCommand::run(e, false, hooks), PeakDetectionCommand::Outcome::Cancelled);
    EXPECT_EQ(calls, std::vector<std::string>{"该谱图色谱峰已经检测过，重新检测吗？"});

    calls.clear();
    hooks.askOkCancel = [](const std::string&) { return true; };
    d.method.useManualEvents = 1;
    EXPECT_EQ(PeakDetectionCommand::run(e, false, hooks), PeakDetectionCommand::Outcome::Detected);
    EXPECT_EQ(calls, (std::vector<std::string>{"undo:2", "replay:2", "modified", "redraw"}));
}
