#pragma once

#include "AddPeakClicks.h"
#include "EditStatus.h"
#include "PeakEngine.h"
#include "RangeEdit.h"
#include "UndoStack.h"

#include <functional>
#include <memory>
#include <vector>

namespace dgaws {

// The graph's peak editing without the mouse: every command of the edit menu as an
// operation on a row and a sample index, which the graph view calls once its clicks are
// complete and the command line calls directly.
//
// An edit that can be made takes an undo snapshot, changes the table, evaluates it with
// every step, appends its rows to the method's manual event table (the records as they
// stand after the evaluation) and asks for a redraw. An edit that breaks a limit changes
// nothing and says which limit.
class PeakEditor {
public:
    static constexpr const char* kAskInsertPeak = "插入这个色谱峰吗?";
    static constexpr const char* kAskInsertPeakTitle = "提示信息";

    // The selection lives with the editor.
    explicit PeakEditor(PeakEngine& engine) : engine_(engine) {}
    // The selection lives with the owner (the document's selected peak).
    PeakEditor(PeakEngine& engine, int& selection) : engine_(engine), selection_(&selection) {}
    PeakEditor(const PeakEditor&) = delete;
    PeakEditor& operator=(const PeakEditor&) = delete;

    // Whether a run is in progress; nothing is edited or snapshotted while one is.
    void setRunningQuery(std::function<bool()> running) { running_ = std::move(running); }
    void setRedrawHandler(std::function<void()> redraw) { redraw_ = std::move(redraw); }
    // The owner's signal correction, whose backup the undo steps keep and bring back.
    void setSignalCorrection(SignalCorrection* correction) { correction_ = correction; }

    int selection() const { return *selection_; }
    void select(int row) { *selection_ = row; }
    // Selects the first peak with start <= sample <= end; -1 when there is none.
    int selectAt(int sample);

    // Edits need no run in progress; adding a peak also needs a complete chromatogram.
    bool canEdit() const;
    bool canAddPeak() const;
    bool canEditSelected() const;

    // Before every edit: the table and the display range as they are now.
    void pushUndo();
    // A change made elsewhere (a signal command) becomes one undo step: `before` is the
    // state taken before it, pushed once the change has been made.
    UndoSnapshot snapshot() const { return current(); }
    void pushUndo(UndoSnapshot before);
    bool undo();
    bool redo();
    const UndoStack& undoStack() const { return undo_; }
    // The snapshots belong to a chromatogram that is no longer there.
    void forgetUndo() { undo_.clear(); }

    // "增加峰(&A)", once its three clicks are complete and the operator said OK.
    EditStatus addPeak(const AddPeakClicks& clicks);
    // "删除峰".
    EditStatus deletePeak(int row);
    // "峰起点调整(&S)", "峰顶点调整(&T)", "峰终点调整(&E)".
    EditStatus moveStart(int row, int sample);
    EditStatus moveApex(int row, int sample);
    EditStatus moveEnd(int row, int sample);
    // The two-click commands: the selected row, then a click at `sample`.
    // "基线纵切(&Z)", "基线斜切(&X)", "水平基线(&B)", "后沿(&1)", "前沿(&2)".
    EditStatus verticalCut(int row, int sample);
    EditStatus slantCut(int row, int sample);
    EditStatus horizontalBaseline(int row, int sample);
    EditStatus tailingBehind(int row, int sample);
    EditStatus tailingBefore(int row, int sample);
    // "负峰(&N)".
    EditStatus toggleNegative(int row);
    // "根据漂移分离所有峰为独立峰".
    EditStatus separateAllPeaks();

    // After a detection: the method's manual event table over the new table; clears the
    // selection.
    int replayManualEvents();

private:
    ChromatogramData* data() const { return engine_.chromatogram(); }
    bool validRow(int row) const;
    bool onSignal(int sample) const;
    UndoSnapshot current() const;
    void restore(const UndoSnapshot& snapshot);
    // The samples as they are now, shared with the steps before while they did not change.
    std::shared_ptr<const std::vector<float>> currentSamples() const;
    // Evaluates, records the rows (a moved point's time for the moves, the retention time
    // for the rest) and redraws.
    void finish(const RangeEdit::EventRows& rows, int movedSample = -1);
    void record(int row, int kind, double time);
    void redraw() const;
    EditStatus checkRange(int row, int sample) const;

    PeakEngine& engine_;
    int ownSelection_ = -1;
    int* selection_ = &ownSelection_;
    UndoStack undo_;
    SignalCorrection* correction_ = nullptr;
    mutable std::shared_ptr<const std::vector<float>> samples_;
    std::function<bool()> running_;
    std::function<void()> redraw_;
};

}  // namespace dgaws
