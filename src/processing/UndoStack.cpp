#include "UndoStack.h"

namespace dgaws {

void UndoStack::push(UndoSnapshot current)
{
    ++position_;
    snapshots_.resize(static_cast<size_t>(position_));
    snapshots_.push_back(std::move(current));
    if (size() > kMaxSteps) {
        snapshots_.erase(snapshots_.begin());
        --position_;
    }
}

std::optional<UndoSnapshot> UndoStack::undo(const UndoSnapshot& current)
{
    if (!canUndo())
        return std::nullopt;
    if (position_ == size() - 1)
        snapshots_.push_back(current);
    UndoSnapshot restored = snapshots_[static_cast<size_t>(position_)];
    --position_;
    return restored;
}

std::optional<UndoSnapshot> UndoStack::redo()
{
    if (!canRedo())
        return std::nullopt;
    ++position_;
    return snapshots_[static_cast<size_t>(position_) + 1];
}

void UndoStack::clear()
{
    snapshots_.clear();
    position_ = -1;
}

}  // namespace dgaws
