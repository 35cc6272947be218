#include "EngineTestSupport.h"

#include "processing/PeakDetectionCommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace dgaws;
using namespace dgaws::test;

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

    e.RunDetection();
    EXPECT_EQ(calls, (std::vector<std::string>{"identify", "quantify", "processed"}));
    EXPECT_EQ(d.evaluated, 1);

    calls.clear();
    e.Evaluate(EvaluateStep::Measures);
    EXPECT_EQ(calls, std::vector<std::string>{"processed"});
    calls.clear();
    e.Evaluate(0);
    EXPECT_TRUE(calls.empty());

    e.ResetPass();
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

    EXPECT_EQ(PeakDetectionCommand::run(e, true, hooks), PeakDetectionCommand::Outcome::Unavailable);
    d.hasData = 0;
    EXPECT_EQ(PeakDetectionCommand::run(e, false, hooks), PeakDetectionCommand::Outcome::Unavailable);
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
