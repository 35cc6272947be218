#pragma once

#include "processing/AddPeakClicks.h"
#include "processing/EditStatus.h"

#include <functional>
#include <string>

namespace dgaws {

class CChrEDoc;
struct ChromatogramData;

// The graph's editing modes without a widget: which mode is active, what its clicks have
// gathered so far, and which edit of the document a completed click sequence makes. The
// graph view turns mouse positions into sample indexes and hands them here.
class PeakEditSession {
public:
    enum class Mode {
        None,
        AddPeak,
        deletePeak,
        MoveStart,
        MoveApex,
        MoveEnd,
        VerticalCut,
        SlantCut,
        HorizontalBaseline,
        TailingBehind,
        TailingBefore,
    };

    // An OK/Cancel question; true for OK.
    using Question = std::function<bool(const std::string&)>;

    explicit PeakEditSession(CChrEDoc& doc) : doc_(doc) {}
    PeakEditSession(const PeakEditSession&) = delete;
    PeakEditSession& operator=(const PeakEditSession&) = delete;

    // Asked before an added peak goes into the table; without one the peak is inserted.
    void setQuestion(Question ask) { ask_ = std::move(ask); }

    // The sample nearest to a time on the graph, kept on the signal.
    static int sampleAt(const ChromatogramData& data, double minutes);

    Mode mode() const { return mode_; }
    bool active() const { return mode_ != Mode::None; }
    // Whether the command of a mode can be chosen now.
    bool available(Mode mode) const;
    // The command of a mode: starts it, or ends it when it is the active one. A mode whose
    // command is not available ends the active mode and does not start.
    void choose(Mode mode);
    void end();
    // The points of an added peak taken so far (0 to 2).
    int addPointsTaken() const;

    enum class Click {
        Edited,   // the document was edited; the mode ended
        Taken,    // a point of an added peak; the next one is awaited
        Refused,  // the click broke a limit; the mode waits for another (see refusal())
        Ended,    // the insertion was declined or the mode is no longer possible
    };
    // A click (or the release of a drag, for the moves) at a sample in the active mode.
    Click click(int sample);
    // Why the last refused click or immediate command was not taken.
    EditStatus refusal() const { return refusal_; }

    // The immediate commands.
    bool canToggleNegative() const;
    EditStatus toggleNegative();
    bool canUndo() const;
    bool canRedo() const;
    bool undo();
    bool redo();

private:
    EditStatus edit(int sample);
    Click addPeakClick(int sample);
    Click outcome(EditStatus status);
    // An edit that was made leaves the document to be saved, whatever step marked it.
    EditStatus completed(EditStatus status);

    CChrEDoc& doc_;
    Question ask_;
    Mode mode_ = Mode::None;
    AddPeakClicks clicks_;
    EditStatus refusal_ = EditStatus::Done;
};

}  // namespace dgaws
