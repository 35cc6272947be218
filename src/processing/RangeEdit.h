#pragma once

#include "SignalView.h"

#include "chromatogram/PeakTable.h"

#include <cstdint>
#include <vector>

namespace dgaws {

// What the two-click edits work on: the selected peak and the peaks between it and the
// second click.
namespace RangeEdit {

// Rows first..last, inclusive.
struct Rows {
    int first = 0;
    int last = -1;
};

// A row whose record goes into the manual event table once the edit is evaluated.
struct EventRow {
    int row = 0;
    int kind = 0;
};
using EventRows = std::vector<EventRow>;

// The selected row and the rows after it whose apex lies before `x`.
Rows behind(const PeakTable& table, int selected, int64_t x);
// The rows before the selected one whose apex lies after `x`, and the selected row.
Rows before(const PeakTable& table, int selected, int64_t x);

// A peak stops being a tailing peak or a rider. A tailing peak's riders lose their rider
// bit and its end moves back to where the next peak starts (the mirror for a tailing peak
// with riders before it); the end points then read the signal there.
void dropTailRoles(PeakTable& table, int row, const SignalView& signal);

}  // namespace RangeEdit

}  // namespace dgaws
