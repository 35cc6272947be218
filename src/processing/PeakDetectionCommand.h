#pragma once

#include "PeakEngine.h"

#include <functional>
#include <string>

namespace dgaws {

// The document command "峰检测(&D)": re-detects the peaks of a stored chromatogram. The
// question, the undo snapshot, the replay of the manual event table and the redrawing
// reach the surroundings through hooks, so the GUI, the command line and the tests each
// bring their own.
class PeakDetectionCommand {
public:
    static constexpr const char* kText = "峰检测(&D)";
    static constexpr const char* kAskRedetect = "该谱图色谱峰已经检测过，重新检测吗？";

    enum class Outcome { Unavailable, Cancelled, Detected };

    struct Hooks {
        // OK/Cancel question; true for OK. Without one, the command goes ahead.
        std::function<bool(const std::string&)> askOkCancel;
        // Records the table as it is, before detection replaces it.
        std::function<void()> pushUndo;
        // Replays the method's manual event table; called only when the method asks for it.
        std::function<void()> replayManualEvents;
        std::function<void()> markModified;
        std::function<void()> redrawViews;
    };

    // Only on a complete chromatogram while no run is in progress.
    static bool enabled(const ChromatogramData& data, bool acquiring);
    static Outcome run(PeakEngine& engine, bool acquiring, const Hooks& hooks);
};

}  // namespace dgaws
