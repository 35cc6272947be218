#pragma once

#include "ComponentTable.h"
#include "QuantSettings.h"

#include "chromatogram/CalibrationCurve.h"
#include "chromatogram/ChromatogramData.h"

namespace dgaws {

// Gas-phase contents of every peak by the method's quantitation rule, and the group results
// where the rule builds them. `linked` is the document's library curve (null when it has
// none): its component table and impurity factors are used; without it the chromatogram's
// own table is, and impurity amounts are 0. The oil conversion of the two oil methods is a
// separate step on top (see dga/).
//
// Every content is finite: where an amount cannot be formed (an unfitted component, a zero
// normalisation sum, a zero sample amount) the peak gets 0.
void quantify(ChromatogramData& data, const CalibrationCurve* linked);

// amount x internalStdAmount x 100 / sampleAmount, or 0 when that is not a finite number.
double scaledAmount(double amount, const ChromatogramData& data);

// The two ways of totalling peaks into the chromatogram's group results.
// By the method's time windows, over the peaks with `take` set (one flag per peak).
void groupResultsByTimeWindows(ChromatogramData& data, const std::vector<bool>& take);
// One row per identified peak and one row totalling the unidentified peaks with content.
void groupResultsByImpurity(ChromatogramData& data, const ComponentTable& table);

}  // namespace dgaws
