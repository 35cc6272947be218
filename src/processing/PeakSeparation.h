#pragma once

#include "SignalView.h"

#include "chromatogram/PeakTable.h"

namespace dgaws {

// "根据漂移分离所有峰为独立峰": every peak on its own baseline, with its start and end
// moved along the drift so that no sample of the peak lies below its baseline. Changes the
// table only; the caller takes the undo snapshot and evaluates.
namespace PeakSeparation {

void separate(PeakTable& table, const SignalView& signal);

}  // namespace PeakSeparation

}  // namespace dgaws
