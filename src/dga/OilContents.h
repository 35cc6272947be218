#pragma once

#include "chromatogram/CalibrationCurve.h"
#include "chromatogram/ChromatogramData.h"

#include <optional>
#include <string_view>

namespace dgaws {

// Converts gas-phase contents of the dissolved gases into contents in the oil, for the
// oscillation (5) and the vacuum (6) extraction methods.

// The partition coefficient K of one of the nine gases, by exact component name.
std::optional<double> partitionCoefficient(std::string_view componentName);

// Corrected gas and oil volumes and their ratio from the method's pressure, temperature and
// volumes, written into the chromatogram's working results for methods 5 and 6; other
// methods leave them alone. Volumes that cannot be corrected (a temperature of -273 degC)
// or a zero corrected oil volume leave a ratio of 0, and such a ratio converts to 0.
void computeVolumeRatio(ChromatogramData& data);

// The oil content of one peak from its gas content under the chromatogram's method, using
// the volumes as computeVolumeRatio finds them. Peaks that are none of the nine gases, and
// methods other than 5 and 6, keep their oil content.
void convertPeakToOil(const ChromatogramData& data, PeakRecord& peak);

// The quantitation step of a test sample: gas contents by the method's rule, then for the
// two oil methods the volume ratio and every peak's oil content.
void quantifyWithOilContents(ChromatogramData& data, const CalibrationCurve* linked);

}  // namespace dgaws
