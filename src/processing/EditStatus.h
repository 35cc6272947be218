#pragma once

namespace dgaws {

// Why a peak edit was not made. A refused edit leaves the table, the undo stack and the
// manual event table as they were; the graph keeps its mode and waits for another click.
enum class EditStatus {
    Done,
    Unavailable,  // a run is in progress, or the chromatogram is not complete
    NoSuchPeak,
    OutsideSignal,  // a click beyond the samples
    InsidePeak,     // a new peak's start inside an existing peak
    NotAfterStart,  // a new peak's apex at or before its start
    NotAfterApex,   // a new peak's end at or before its apex
    PeakBetween,    // another peak between a new peak's clicks
    OutsideLimits,  // a moved start, apex or end beyond what its neighbours allow
    NoRiders,       // a tailing peak with no peak between it and the click
};

// A sentence for the operator or the command line.
const char* editStatusText(EditStatus status);

}  // namespace dgaws
