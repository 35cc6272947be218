#pragma once

#include "chromatogram/IntegrationParams.h"

#include <cstddef>
#include <vector>

namespace dgaws {

// A row as the operator first sees it: no event, bunch size 2, slope 10.0, at `time`.
TimeEvent newTimeEvent(double time = 0.0);

// Puts the row before the first row whose time is strictly greater, so rows of equal time
// keep the order they were entered in; returns its position.
size_t insertTimeEvent(std::vector<TimeEvent>& program, const TimeEvent& row);

// An edited row leaves its place and is inserted again by its (new) time; returns its new
// position, or the size of the program for a row that does not exist.
size_t replaceTimeEvent(std::vector<TimeEvent>& program, size_t row, const TimeEvent& edited);

}  // namespace dgaws
