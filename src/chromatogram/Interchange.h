#pragma once

#include <stdexcept>

namespace dgaws {

// A chromatogram that cannot be written to, or read from, one of the interchange formats
// (AIA netCDF, text layouts). The message says why; where the operator has a fixed text for
// the case, the message is that text.
class InterchangeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Export refusals shared by every interchange format.
inline constexpr const char* kExportNoData = "该谱图没有数据，无法输出保存！";
inline constexpr const char* kExportAcquiring = "采样还未停止，无法输出保存！";

// The rate a new chromatogram takes when nothing else says otherwise.
inline constexpr int kDefaultPointsPerSecond = 20;

// Highest rate that a file may give us. Far above any detector the collector serves; a
// higher figure can only come from a damaged or absurd time axis.
inline constexpr int kMaxImportedRate = 1000;

// Most samples an import may produce (a day at 50 points per second is 4.3 million).
inline constexpr int kMaxImportedSamples = 1 << 25;

}  // namespace dgaws
