#pragma once

#include "DisplayRange.h"
#include "SignalCorrection.h"

#include "chromatogram/IntegrationParams.h"
#include "chromatogram/ManualEvent.h"
#include "chromatogram/PeakTable.h"

#include <memory>
#include <optional>
#include <vector>

namespace dgaws {

// What an undo step brings back: the whole peak table, the graph's display range, the
// method's manual event rows (an undone edit takes its rows with it, or a replay would
// bring the edit back), the samples and the signal correction with its backup (the signal
// commands change them), and the detection settings the table was found with (an undone
// method edit takes its parameters with it, or the next detection would bring the edit back).
//
// The samples are shared between steps that did not change them, so a long run of peak
// edits holds one copy of the signal, not one per step.
struct UndoSnapshot {
    PeakTable peaks;
    DisplayRange range;
    std::vector<ManualEvent> manualEvents;
    IntegrationParams integration;
    bool timeProgramEnabled = false;
    std::vector<TimeEvent> timeProgram;
    bool useManualEvents = false;
    std::shared_ptr<const std::vector<float>> samples;
    SignalCorrection correction;
};

// Snapshots and a position, holding at most kMaxSteps steps: the oldest goes first.
//
// After an undo the state on screen is the snapshot just beyond the position; that is
// why undoing from the newest snapshot first stores the state on screen (so it can be
// redone) and why redo needs two snapshots beyond the position: the one on screen and
// the one it brings back.
class UndoStack {
public:
    static constexpr int kMaxSteps = 100;

    // Moves forward, drops every snapshot beyond the new position and stores `current`
    // there.
    void push(UndoSnapshot current);
    // The snapshot to restore, or nothing when the position is not valid.
    std::optional<UndoSnapshot> undo(const UndoSnapshot& current);
    std::optional<UndoSnapshot> redo();

    bool canUndo() const { return position_ >= 0 && position_ < size(); }
    bool canRedo() const { return size() - 1 - position_ >= 2; }
    int position() const { return position_; }
    int size() const { return static_cast<int>(snapshots_.size()); }
    const UndoSnapshot& at(int i) const { return snapshots_.at(static_cast<size_t>(i)); }
    void clear();

private:
    std::vector<UndoSnapshot> snapshots_;
    int position_ = -1;
};

}  // namespace dgaws
