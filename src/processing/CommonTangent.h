#pragma once

#include "chromatogram/PeakTable.h"

namespace dgaws {

// Joins the riders behind a tailing peak under common tangents: from each rider, the
// later rider whose baseline end gives the strictly smallest slope (the first on ties)
// is joined to it, the rows between becoming valleys. True when a bit changed.
bool joinRidersByCommonTangent(PeakTable& table, int tailingRow);

}  // namespace dgaws
