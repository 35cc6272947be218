#include "PeakEditSession.h"

#include "CChrEDoc.h"

#include "chromatogram/SampleIndex.h"

#include <algorithm>

namespace dgaws {

int PeakEditSession::sampleAt(const ChromatogramData& data, double minutes)
{
    const int count = data.signal.count();
    if (count <= 0)
        return 0;
    return std::clamp(sampleIndex(data.pointsPerSecond, minutes, SampleRounding::Nearest), 0,
                      count - 1);
}

bool PeakEditSession::available(Mode mode) const
{
    const PeakEditor& e = doc_.editor;
    switch (mode) {
    case Mode::None: return true;
    case Mode::AddPeak: return e.canAddPeak();
    case Mode::deletePeak: return e.canEdit() && doc_.data.peaks.size() > 0;
    case Mode::MoveStart:
    case Mode::MoveApex:
    case Mode::MoveEnd:
    case Mode::VerticalCut:
    case Mode::SlantCut:
    case Mode::HorizontalBaseline:
    case Mode::TailingBehind:
    case Mode::TailingBefore: return e.canEditSelected();
    }
    return false;
}

void PeakEditSession::choose(Mode mode)
{
    const bool again = mode == mode_;
    end();
    if (!again && available(mode))
        mode_ = mode;
}

void PeakEditSession::end()
{
    mode_ = Mode::None;
    clicks_.reset();
}

int PeakEditSession::addPointsTaken() const
{
    if (mode_ != Mode::AddPeak)
        return 0;
    switch (clicks_.next()) {
    case AddPeakClicks::Next::Start: return 0;
    case AddPeakClicks::Next::Apex: return 1;
    default: return 2;
    }
}

PeakEditSession::Click PeakEditSession::click(int sample)
{
    // The document may have changed under the mode (a run started, the selection went).
    if (!active() || !available(mode_)) {
        end();
        refusal_ = EditStatus::Unavailable;
        return Click::Ended;
    }
    return mode_ == Mode::AddPeak ? addPeakClick(sample) : outcome(edit(sample));
}

PeakEditSession::Click PeakEditSession::addPeakClick(int sample)
{
    const EditStatus taken = clicks_.click(doc_.data.peaks, doc_.data.signal.count(), sample);
    if (taken != EditStatus::Done)
        return outcome(taken);
    if (!clicks_.complete())
        return Click::Taken;
    if (ask_ && !ask_(PeakEditor::kAskInsertPeak)) {
        end();
        return Click::Ended;
    }
    const Click result = outcome(doc_.editor.addPeak(clicks_));
    // The table checks again at insertion; a refusal there cannot be mended by one more
    // click, so the points are asked for afresh.
    if (result == Click::Refused)
        clicks_.reset();
    return result;
}

PeakEditSession::Click PeakEditSession::outcome(EditStatus status)
{
    refusal_ = status;
    if (status != EditStatus::Done)
        return Click::Refused;
    end();
    completed(status);
    return Click::Edited;
}

EditStatus PeakEditSession::edit(int sample)
{
    PeakEditor& e = doc_.editor;
    const int s = e.selection();
    switch (mode_) {
    case Mode::deletePeak: {
        int row = -1;
        for (int i = 0; i < doc_.data.peaks.size() && row < 0; ++i)
            if (doc_.data.peaks[i].startIndex <= sample && sample <= doc_.data.peaks[i].endIndex)
                row = i;
        return row < 0 ? EditStatus::NoSuchPeak : e.deletePeak(row);
    }
    case Mode::MoveStart: return e.moveStart(s, sample);
    case Mode::MoveApex: return e.moveApex(s, sample);
    case Mode::MoveEnd: return e.moveEnd(s, sample);
    case Mode::VerticalCut: return e.verticalCut(s, sample);
    case Mode::SlantCut: return e.slantCut(s, sample);
    case Mode::HorizontalBaseline: return e.horizontalBaseline(s, sample);
    case Mode::TailingBehind: return e.tailingBehind(s, sample);
    case Mode::TailingBefore: return e.tailingBefore(s, sample);
    case Mode::None:
    case Mode::AddPeak: break;
    }
    return EditStatus::Unavailable;
}

EditStatus PeakEditSession::completed(EditStatus status)
{
    if (status == EditStatus::Done)
        doc_.setModifiedFlag(true);
    return status;
}

bool PeakEditSession::canToggleNegative() const
{
    return doc_.editor.canEditSelected();
}

EditStatus PeakEditSession::toggleNegative()
{
    end();
    refusal_ = completed(doc_.editor.toggleNegative(doc_.editor.selection()));
    return refusal_;
}

bool PeakEditSession::canUndo() const
{
    return doc_.editor.canEdit() && doc_.editor.undoStack().canUndo();
}

bool PeakEditSession::canRedo() const
{
    return doc_.editor.canEdit() && doc_.editor.undoStack().canRedo();
}

bool PeakEditSession::undo()
{
    end();
    const bool done = doc_.editor.undo();
    completed(done ? EditStatus::Done : EditStatus::Unavailable);
    return done;
}

bool PeakEditSession::redo()
{
    end();
    const bool done = doc_.editor.redo();
    completed(done ? EditStatus::Done : EditStatus::Unavailable);
    return done;
}

}  // namespace dgaws
