#include "EditStatus.h"

namespace dgaws {

const char* editStatusText(EditStatus status)
{
    switch (status) {
    case EditStatus::Done: return "done";
    case EditStatus::Unavailable:
        return "peaks cannot be edited while a run is in progress or before the chromatogram "
               "is complete";
    case EditStatus::NoSuchPeak: return "there is no such peak";
    case EditStatus::OutsideSignal: return "the position lies outside the signal";
    case EditStatus::InsidePeak: return "the start of a new peak lies inside an existing peak";
    case EditStatus::NotAfterStart: return "the apex of a new peak must lie after its start";
    case EditStatus::NotAfterApex: return "the end of a new peak must lie after its apex";
    case EditStatus::PeakBetween: return "another peak lies between the points of the new peak";
    case EditStatus::OutsideLimits:
        return "the new position lies beyond what the peak and its neighbours allow";
    case EditStatus::NoRiders:
        return "a tailing peak needs at least one peak between it and the chosen time";
    }
    return "unknown";
}

}  // namespace dgaws
