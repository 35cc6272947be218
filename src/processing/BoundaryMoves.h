#pragma once

#include "RangeEdit.h"

namespace dgaws {

// Dragging a peak's start, apex or end to a new sample. The limits are EditLimits'; these
// change the table only and return the rows to record with their kinds.
namespace BoundaryMoves {

// A peak starting in a valley takes the previous peak's end along; the first rider behind
// a tailing peak takes that peak's visible end along.
RangeEdit::EventRows start(PeakTable& table, int row, int x, const SignalView& signal);
RangeEdit::EventRows apex(PeakTable& table, int row, int x, const SignalView& signal,
                          int pointsPerSecond);
// The mirror of start: a peak ending in a valley takes the next peak's start along; the
// last rider before a tailing peak takes that peak's visible start along.
RangeEdit::EventRows end(PeakTable& table, int row, int x, const SignalView& signal);

}  // namespace BoundaryMoves

}  // namespace dgaws
