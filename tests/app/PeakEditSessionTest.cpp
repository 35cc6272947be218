#include "app/PeakEditSession.h"

#include "Gaussians.h"

#include "app/CChrEDoc.h"
#include "processing/ManualEventKind.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace dgaws;
using Mode = PeakEditSession::Mode;
using Click = PeakEditSession::Click;

namespace {

// Two separated Gaussians on a level of 40, detected; 20 samples a second.
struct Finished {
    CChrEDoc doc;
    PeakEditSession session{doc};
    std::vector<std::string> questions;
    bool answer = true;

    Finished()
    {
        test::loadTwoPeaks(doc);
        doc.setQuestionSink([](const std::string&) { return true; });
        session.setQuestion([this](const std::string& q) {
            questions.push_back(q);
            return answer;
        });
        doc.detectPeaks();
        doc.setModifiedFlag(false);
    }
};

}  // namespace

TEST(PeakEditSession, AddsAPeakWithThreeValidClicksAndAsksFirst)
{
    Finished f;
    f.session.choose(Mode::AddPeak);
    EXPECT_EQ(f.session.click(800), Click::Refused) << "a start inside a peak";
    EXPECT_EQ(f.session.refusal(), EditStatus::InsidePeak);
    EXPECT_EQ(f.session.click(1340), Click::Taken);
    EXPECT_EQ(f.session.click(1300), Click::Refused) << "an apex before the start";
    EXPECT_EQ(f.session.click(1400), Click::Taken);
    EXPECT_EQ(f.session.click(1460), Click::Edited);
    EXPECT_EQ(f.questions, std::vector<std::string>{PeakEditor::kAskInsertPeak});
    ASSERT_EQ(f.doc.data.peaks.size(), 3);
    EXPECT_EQ(f.doc.data.peaks[1].apexIndex, 1400);
    EXPECT_EQ(f.doc.data.method.manualEvents.back().kind, ManualEventKind::AddPeak);
    EXPECT_FALSE(f.session.active());
    EXPECT_TRUE(f.doc.isModified());

    // Declining the question ends the mode and leaves the table alone.
    f.answer = false;
    f.session.choose(Mode::AddPeak);
    for (int sample : {2400, 2450})
        ASSERT_EQ(f.session.click(sample), Click::Taken);
    EXPECT_EQ(f.session.click(2500), Click::Ended);
    EXPECT_EQ(f.doc.data.peaks.size(), 3);
    EXPECT_FALSE(f.session.active());
}

// A cut, a delete and a move on the finished chromatogram, each undone or redone.
TEST(PeakEditSession, CutDeleteAndMoveEditTheTableAndUndoRedoFollow)
{
    Finished f;
    const PeakTable before = f.doc.data.peaks;
    f.doc.selectedPeak = 0;
    f.session.choose(Mode::VerticalCut);
    ASSERT_EQ(f.session.click(2100), Click::Edited);
    const PeakTable& t = f.doc.data.peaks;
    ASSERT_EQ(t.size(), 2);
    EXPECT_EQ(t[0].endIndex, t[1].startIndex);
    EXPECT_NE(t[0].endIndex, before[0].endIndex);
    EXPECT_EQ(peakTypeName(peakTypeCode(t[1].typeFlags)), std::string("重叠尾峰(VB)"));
    EXPECT_EQ(f.doc.data.method.manualEvents.back().kind, ManualEventKind::VerticalCut);
    EXPECT_TRUE(f.session.undo());
    EXPECT_EQ(f.doc.data.peaks, before);

    f.session.choose(Mode::deletePeak);
    EXPECT_EQ(f.session.click(1400), Click::Refused) << "no peak there";
    EXPECT_EQ(f.session.mode(), Mode::deletePeak);
    EXPECT_EQ(f.session.click(2000), Click::Edited);
    ASSERT_EQ(f.doc.data.peaks.size(), 1);
    EXPECT_EQ(f.doc.data.peaks[0].apexIndex, before[0].apexIndex);
    EXPECT_EQ(f.doc.data.method.manualEvents.back().kind, ManualEventKind::deletePeak);
    EXPECT_TRUE(f.session.undo());
    EXPECT_EQ(f.doc.data.peaks, before);
    EXPECT_TRUE(f.session.redo());
    EXPECT_EQ(f.doc.data.peaks.size(), 1);

    // A mode ends when chosen again; a move needs a selected peak and a refused drag keeps it.
    f.doc.selectedPeak = -1;
    f.session.choose(Mode::MoveStart);
    EXPECT_FALSE(f.session.active()) << "no peak to move";
    f.doc.selectedPeak = 0;
    f.session.choose(Mode::MoveApex);
    EXPECT_EQ(f.session.mode(), Mode::MoveApex);
    f.session.choose(Mode::MoveApex);
    EXPECT_FALSE(f.session.active());
    const int apex = f.doc.data.peaks[0].apexIndex;
    f.session.choose(Mode::MoveEnd);
    EXPECT_EQ(f.session.click(apex - 5), Click::Refused);
    EXPECT_EQ(f.session.refusal(), EditStatus::OutsideLimits);
    EXPECT_EQ(f.session.click(apex + 60), Click::Edited);
    EXPECT_EQ(f.doc.data.peaks[0].endIndex, apex + 60);
    EXPECT_EQ(f.doc.data.method.manualEvents.back().kind, ManualEventKind::MoveEnd);

    ChannelRun running{.acquiring = true};
    f.doc.attachRun(&running);
    EXPECT_FALSE(f.session.available(Mode::AddPeak));
    EXPECT_FALSE(f.session.available(Mode::MoveApex));

    // Times map to the nearest sample on the signal.
    EXPECT_EQ(PeakEditSession::sampleAt(f.doc.data, 1.0), 1200);
    EXPECT_EQ(PeakEditSession::sampleAt(f.doc.data, 1.0 + 0.6 / 1200.0), 1201);
    EXPECT_EQ(PeakEditSession::sampleAt(f.doc.data, -3.0), 0);
    EXPECT_EQ(PeakEditSession::sampleAt(f.doc.data, 1e300), 2999);
    EXPECT_EQ(PeakEditSession::sampleAt(f.doc.data, std::nan("")), 0);
}
