#include "PeakDetectionCommand.h"

namespace dgaws {

bool PeakDetectionCommand::enabled(const ChromatogramData& data, bool acquiring)
{
    return !acquiring && data.hasData;
}

PeakDetectionCommand::Outcome PeakDetectionCommand::run(PeakEngine& engine, bool acquiring,
                                                        const Hooks& hooks)
{
    ChromatogramData* data = engine.chromatogram();
    if (!data || !enabled(*data, acquiring))
        return Outcome::Unavailable;
    if (data->evaluated != 0 && hooks.askOkCancel && !hooks.askOkCancel(kAskRedetect))
        return Outcome::Cancelled;
    if (hooks.pushUndo)
        hooks.pushUndo();
    engine.runDetection();
    if (data->method.useManualEvents && hooks.replayManualEvents)
        hooks.replayManualEvents();
    if (hooks.markModified)
        hooks.markModified();
    if (hooks.redrawViews)
        hooks.redrawViews();
    return Outcome::Detected;
}

}  // namespace dgaws
