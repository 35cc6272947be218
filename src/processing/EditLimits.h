#pragma once

#include "chromatogram/PeakTable.h"

#include <cstdint>

namespace dgaws {

// Samples first..last; empty when first > last.
struct SampleSpan {
    int64_t first = 0;
    int64_t last = -1;

    bool contains(int64_t x) const { return first <= x && x <= last; }
    bool empty() const { return first > last; }
};

// Where the operator may put a peak's points. Indexes are taken as 64-bit so that a
// damaged stored table cannot overflow the arithmetic.
namespace EditLimits {

// A new start stays at or before the apex and before the baseline end. A peak starting in
// a valley or riding behind a tailing peak keeps it at or after the previous peak's apex,
// any other peak at or after the previous peak's baseline end. A tailing peak with riders
// before it moves only its baseline start, which stays at or before its first rider's
// start and at or after the baseline end of the peak before the riders.
SampleSpan start(const PeakTable& table, int row, int sampleCount);
// Between the peak's start and end.
SampleSpan apex(const PeakTable& table, int row, int sampleCount);
// The mirror of start: a peak ending in a valley or riding before a tailing peak keeps
// its end at or before the next peak's apex, any other peak at or before the next
// peak's baseline start. A tailing peak with riders behind it moves only its baseline end,
// which stays at or after every rider's end and at or before the baseline start of the
// peak after the riders.
SampleSpan end(const PeakTable& table, int row, int sampleCount);

// Strictly between a peak's start and end; a new peak may share a boundary sample.
bool insidePeak(const PeakTable& table, int64_t sample);
// Some peak reaches into the open interval (from, to).
bool peakBetween(const PeakTable& table, int64_t from, int64_t to);

// The last of the rows riding behind a tailing row, or the row itself when none does.
int lastRiderBehind(const PeakTable& table, int row);
// The first of the rows riding before a tailing row, or the row itself when none does.
int firstRiderBefore(const PeakTable& table, int row);

}  // namespace EditLimits

}  // namespace dgaws
