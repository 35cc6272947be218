#pragma once

#include "RangeEdit.h"

namespace dgaws {

// How a run of peaks is cut from the baseline. Each changes the table only and returns
// the rows to record with their kinds; the caller evaluates before recording, so the
// records are the evaluated ones.
namespace BaselineCuts {

// One group under a common baseline, cut by perpendiculars where each peak meets the
// next.
RangeEdit::EventRows vertical(PeakTable& table, RangeEdit::Rows range, const SignalView& signal);
// Every peak on its own straight baseline from its start to its end.
RangeEdit::EventRows slant(PeakTable& table, RangeEdit::Rows range, const SignalView& signal);
// A level baseline at the selected (first) peak's baseline start under every peak of the
// range that is not a rider.
RangeEdit::EventRows horizontal(PeakTable& table, RangeEdit::Rows range);

}  // namespace BaselineCuts

}  // namespace dgaws
