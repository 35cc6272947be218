#include "Gaussians.h"

#include "chromatogram/ChromatogramFile.h"

#include "../chromatogram/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace dgaws;
using dgaws::test::TempDir;

namespace {

struct Watched {
    CChrEDoc doc;
    std::vector<std::string> messages;
    int redraws = 0;

    Watched()
    {
        // Two peaks and, at 1400, a bump too low to be detected.
        test::loadTwoPeaks(doc, {{800, 700, 30}, {2000, 700, 30}, {1400, 3, 30}});
        doc.setQuestionSink([](const std::string&) { return true; });
        doc.setMessageSink([this](const std::string& m) { messages.push_back(m); });
        doc.setRedrawHook([this] { ++redraws; });
    }
};

}  // namespace

TEST(DocumentEditing, DetectionReplaysTheDocumentsOwnEdits)
{
    Watched w;
    CChrEDoc& doc = w.doc;
    ASSERT_EQ(doc.detectPeaks(), PeakDetectionCommand::Outcome::Detected);

    AddPeakClicks clicks;
    for (int sample : {1340, 1400, 1460})
        ASSERT_EQ(clicks.click(doc.data.peaks, doc.data.signal.count(), sample), EditStatus::Done);
    const int before = w.redraws;
    ASSERT_EQ(doc.editor.addPeak(clicks), EditStatus::Done);
    EXPECT_EQ(w.redraws, before + 1);
    doc.selectedPeak = doc.editor.selectAt(2000);
    ASSERT_EQ(doc.selectedPeak, 2);
    const PeakTable edited = doc.data.peaks;

    doc.data.method.useManualEvents = 1;
    ASSERT_EQ(doc.detectPeaks(), PeakDetectionCommand::Outcome::Detected);
    EXPECT_EQ(doc.data.peaks, edited);
    EXPECT_EQ(doc.selectedPeak, -1) << "the replay clears the selection";

    doc.data.method.useManualEvents = 0;
    ASSERT_EQ(doc.detectPeaks(), PeakDetectionCommand::Outcome::Detected);
    EXPECT_EQ(doc.data.peaks.size(), 2);
    ASSERT_TRUE(doc.editor.undo()) << "each detection is an undo step";
    EXPECT_EQ(doc.data.peaks, edited);

    ChannelRun running{.acquiring = true};
    doc.attachRun(&running);
    EXPECT_EQ(doc.editor.deletePeak(0), EditStatus::Unavailable);
    EXPECT_FALSE(doc.editor.redo());
}

TEST(DocumentEditing, SignalCommandsMarkTheDocumentAndRefuseWhatTheyCannotDo)
{
    TempDir dir;
    Watched w;
    CChrEDoc& doc = w.doc;
    ASSERT_EQ(doc.detectPeaks(), PeakDetectionCommand::Outcome::Detected);
    const std::vector<float> original = doc.data.signal.values();

    ChromatogramData shorter;
    shorter.signal.assign(std::vector<float>(2999, 40.0f));
    writeChromatogramFile(dir.path("short.chg"), shorter);
    doc.setModifiedFlag(false);
    EXPECT_FALSE(doc.subtractBaselineChromatogram(dir.path("short.chg")));
    EXPECT_EQ(w.messages, std::vector<std::string>{"基线谱图长度小与当前谱图，不能处理。"});
    EXPECT_EQ(doc.baselineFile, dir.path("short.chg")) << "the path is kept for the next time";
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(doc.subtractBaselineChromatogram(dir.path("missing.chg")));
    EXPECT_TRUE(w.messages.back().starts_with("谱图文件载入失败。\n")) << w.messages.back();

    ChromatogramData level;
    level.signal.assign(std::vector<float>(3000, 40.0f));
    writeChromatogramFile(dir.path("level.chg"), level);
    const int redraws = w.redraws;
    ASSERT_TRUE(doc.subtractBaselineChromatogram(dir.path("level.chg")));
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(w.redraws, redraws + 1);
    ASSERT_TRUE(doc.restoreSignal());
    EXPECT_EQ(doc.data.signal.values(), original);
    EXPECT_FALSE(doc.restoreSignal());

    ChannelRun running{.acquiring = true};
    doc.attachRun(&running);
    EXPECT_FALSE(doc.smoothSignal(4));
    EXPECT_FALSE(doc.subtractOwnDrift());
    running.acquiring = false;
    ASSERT_TRUE(doc.smoothSignal(4));
    EXPECT_NE(doc.data.signal.values(), original);

    // A chromatogram read into the document does not inherit the backup of the old one.
    ASSERT_TRUE(doc.subtractOwnDrift());
    writeChromatogramFile(dir.path("other.chg"), level);
    ASSERT_TRUE(doc.loadFromFile(dir.path("other.chg")));
    EXPECT_FALSE(doc.restoreSignal());
    EXPECT_FALSE(doc.editor.undo());
}

// Peak edits share one copy of the signal, the history is bounded, and undoing a restore
// brings back the subtracted signal together with the backup it restores to.
TEST(DocumentEditing, UndoHistoryIsBoundedAndKeepsTheSignalBackup)
{
    Watched w;
    CChrEDoc& doc = w.doc;
    ASSERT_EQ(doc.detectPeaks(), PeakDetectionCommand::Outcome::Detected);
    const std::vector<float> original = doc.data.signal.values();
    ASSERT_TRUE(doc.subtractOwnDrift());
    const std::vector<float> subtracted = doc.data.signal.values();
    ASSERT_NE(subtracted, original);
    ASSERT_TRUE(doc.restoreSignal());
    ASSERT_TRUE(doc.editor.undo());
    EXPECT_EQ(doc.data.signal.values(), subtracted);
    ASSERT_TRUE(doc.restoreSignal()) << "the backup came back with the subtracted signal";
    EXPECT_EQ(doc.data.signal.values(), original);

    const int steps = UndoStack::kMaxSteps + 21;
    for (int i = 0; i < steps; ++i)
        ASSERT_EQ(doc.editor.toggleNegative(0), EditStatus::Done);
    const UndoStack& history = doc.editor.undoStack();
    EXPECT_EQ(history.size(), UndoStack::kMaxSteps);
    for (int i = 1; i < history.size(); ++i)
        EXPECT_EQ(history.at(i).samples, history.at(0).samples) << "one copy of the signal";
    int undone = 0;
    while (doc.editor.undo())
        ++undone;
    EXPECT_EQ(undone, UndoStack::kMaxSteps);
    EXPECT_EQ(doc.data.peaks[0].typeFlags, PeakFlag::Negative) << "the oldest steps were dropped";
}

TEST(DocumentEditing, RunTimeAidsFollowTheNewestAcquiredSample)
{
    Watched w;
    CChrEDoc& doc = w.doc;
    ChannelRun running;
    doc.attachRun(&running);
    EXPECT_FALSE(doc.requestBaselineZero()) << "only a running channel is zeroed";
    EXPECT_FALSE(running.zeroRequest);
    EXPECT_DOUBLE_EQ(doc.noiseCloseUp().timeEnd, 2999 / 1200.0 + 5.0);

    running.acquiring = true;
    doc.acquiredCount = 1201;  // the rest of the buffer is not acquired yet
    doc.data.signal.set(1200, 250.0f);
    ASSERT_TRUE(doc.requestBaselineZero());
    EXPECT_TRUE(running.zeroRequest);
    const DisplayRange r = doc.noiseCloseUp();
    EXPECT_EQ(r.timeStart, 0.0);
    EXPECT_DOUBLE_EQ(r.timeEnd, 6.0);
    EXPECT_DOUBLE_EQ(r.levelMin, 0.24);
    EXPECT_DOUBLE_EQ(r.levelMax, 0.26);
}

// The command's question, order of steps and replay are the processing layer's; here the
// document's part: its own record after a load, its flag, title, hooks and running channel.
TEST(DocumentDetection, DetectingTheDocumentsOwnRecordMarksItThroughItsHooks)
{
    CChrEDoc doc;
    test::loadTwoPeaks(doc);
    ChromatogramData replacement = doc.data;
    replacement.pointsPerSecond = 10;
    doc.data = replacement;
    EXPECT_EQ(doc.engine.chromatogram(), &doc.data);
    doc.setTitle("A_1.chg");
    doc.setQuestionSink([](const std::string&) { return true; });
    int undo = 0, replay = 0;
    doc.setUndoSnapshotHook([&] { ++undo; });
    doc.setManualEventReplayHook([&] { ++replay; });

    EXPECT_EQ(doc.detectPeaks(), PeakDetectionCommand::Outcome::Detected);
    ASSERT_EQ(doc.data.peaks.size(), 2);
    EXPECT_NEAR(doc.data.peaks[0].retentionTime, 800.0 / 10 / 60, 0.01);
    EXPECT_EQ(doc.title(), "A_1.chg*");
    EXPECT_EQ(undo, 1);
    EXPECT_EQ(replay, 0);
    doc.data.method.useManualEvents = 1;
    EXPECT_EQ(doc.detectPeaks(), PeakDetectionCommand::Outcome::Detected);
    EXPECT_EQ(replay, 1);

    ChannelRun running{.acquiring = true};
    doc.attachRun(&running);
    EXPECT_FALSE(doc.canDetectPeaks());
    EXPECT_EQ(doc.detectPeaks(), PeakDetectionCommand::Outcome::Unavailable);
}
