#pragma once

namespace dgaws {

// The live state of one collector channel's run, held by the collector. The collector
// reads whether a run is on and which zero was asked for, and lights the ignition
// indicator; the run operations start and end runs; a channel window reads all of it
// through its document.
struct ChannelRun {
    // A run is in progress, or a watch for the start signal (which ends in one).
    bool acquiring = false;
    // Watching for the start signal: points arrive, but no run has begun.
    bool startWatch = false;
    // "基线调零": the next point of the run becomes its zero.
    bool zeroRequest = false;
    // The "已经点火成功" indicator.
    bool ignited = false;
};

}  // namespace dgaws
