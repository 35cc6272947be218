#pragma once

#include "RangeEdit.h"

#include <cstdint>

namespace dgaws {

// Tailing (solvent) peaks and the peaks riding on them. Both need at least one rider;
// each changes the table only and returns the rows to record with their kinds.
namespace TailingCuts {

// The first row of the range carries the rest on its tail; its baseline runs on to the
// later of the last rider's baseline end and `x`.
RangeEdit::EventRows behind(PeakTable& table, RangeEdit::Rows range, int64_t x,
                            const SignalView& signal);
// The last row of the range carries the others on its front; its baseline starts at the
// earlier of the first rider's baseline start and `x`.
RangeEdit::EventRows before(PeakTable& table, RangeEdit::Rows range, int64_t x,
                            const SignalView& signal);

}  // namespace TailingCuts

}  // namespace dgaws
