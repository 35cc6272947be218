#pragma once

#include <vector>

namespace dgaws {

// Round values across [lo, hi] for an axis: steps of 1, 2 or 5 times a power of ten, about
// `target` of them; `step` is set to the step taken. A span without width gives `lo` alone.
std::vector<double> niceTicks(double lo, double hi, int target, double& step);

}  // namespace dgaws
