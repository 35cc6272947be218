#pragma once

#include "DisplayRange.h"

#include "chromatogram/PeakTable.h"

#include <optional>
#include <vector>

namespace dgaws {

// What an undo step brings back: the whole peak table, the graph's display range and the
// samples (the signal commands change them).
struct UndoSnapshot {
    PeakTable peaks;
    DisplayRange range;
    std::vector<float> samples;
};

// Snapshots and a position, without a depth limit.
//
// After an undo the state on screen is the snapshot just beyond the position; that is
// why undoing from the newest snapshot first stores the state on screen (so it can be
// redone) and why redo needs two snapshots beyond the position: the one on screen and
// the one it brings back.
class UndoStack {
public:
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
    void clear();

private:
    std::vector<UndoSnapshot> snapshots_;
    int position_ = -1;
};

}  // namespace dgaws
