#pragma once

#include "SignalView.h"

#include "chromatogram/PeakTable.h"

namespace dgaws {

// Which peaks share a baseline, and where that baseline runs.
namespace PeakGrouping {

// Groups are maximal runs whose rows, all but the last, end in a valley or carry a fixed
// baseline end; the first row of each gets the group's size in detectTag.
void regroup(PeakTable& table);

// Draws each group's baseline from its first start to its last end and sets every row's
// baseline points on it, never above the signal. Where the signal at a valley lies below
// the line the group is split there, and each part gets its own line, so that drawing
// twice never moves a baseline.
void drawGroupBaselines(PeakTable& table, const SignalView& signal);

// Makes a row independent before it is deleted: its own start and end become its
// baseline, and a group it belonged to is cut around it.
void detach(PeakTable& table, int row);

}  // namespace PeakGrouping

}  // namespace dgaws
