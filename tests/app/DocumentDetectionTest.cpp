#include "TwoPeakDocument.h"

#include "app/CChrEDoc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace dgaws;

namespace {

using test::loadTwoPeaks;

}  // namespace

// The command's question, order of steps and replay are the processing layer's; here the
// document's part: its flag, title, hooks and the running channel.
TEST(DocumentDetection, DetectingMarksTheDocumentThroughItsHooks)
{
    CChrEDoc doc;
    loadTwoPeaks(doc);
    doc.setTitle("A_1.chg");
    doc.setQuestionSink([](const std::string&) { return true; });
    int undo = 0, replay = 0;
    doc.setUndoSnapshotHook([&] { ++undo; });
    doc.setManualEventReplayHook([&] { ++replay; });

    ASSERT_TRUE(doc.canDetectPeaks());
    EXPECT_EQ(doc.detectPeaks(), PeakDetectionCommand::Outcome::Detected);
    EXPECT_EQ(doc.data.peaks.size(), 2);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.title(), "A_1.chg*");
    EXPECT_EQ(undo, 1);
    doc.data.method.useManualEvents = 1;
    EXPECT_EQ(doc.detectPeaks(), PeakDetectionCommand::Outcome::Detected);
    EXPECT_EQ(replay, 1);

    ChannelRun running{.acquiring = true};
    doc.attachRun(&running);
    EXPECT_FALSE(doc.canDetectPeaks());
    EXPECT_EQ(doc.detectPeaks(), PeakDetectionCommand::Outcome::Unavailable);
}

TEST(DocumentDetection, EngineWorksOnTheDocumentsOwnRecordAfterALoad)
{
    CChrEDoc doc;
    loadTwoPeaks(doc);
    ChromatogramData replacement = doc.data;
    replacement.pointsPerSecond = 10;
    doc.data = replacement;
    EXPECT_EQ(doc.engine.chromatogram(), &doc.data);
    doc.detectPeaks();
    ASSERT_EQ(doc.data.peaks.size(), 2);
    EXPECT_NEAR(doc.data.peaks[0].retentionTime, 800.0 / 10 / 60, 0.01);
}
