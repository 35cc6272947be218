#pragma once

#include "chromatogram/CalibrationCurve.h"
#include "chromatogram/ChromatogramData.h"

#include <string>
#include <vector>

namespace dgaws {

// A content of 0 means two different things: the gas was measured and is absent, or it was
// never measured because the quantitation could not form an amount. Only the first may be
// read as "no gas"; the second must be shown as not calibrated and kept out of totals.
//
// Why the content of peak `index` could not be formed: its component's curve has no usable
// fit, or the sample amount is 0. Empty when the content stands (measured, an unidentified
// peak, a group member counted in its head, the internal standard itself, or a method that
// needs no curve).
std::string uncalibratedReason(const ChromatogramData& data, const CalibrationCurve* linked,
                               int index);

// One flag per peak of the table: uncalibratedReason is not empty.
std::vector<bool> uncalibratedPeaks(const ChromatogramData& data, const CalibrationCurve* linked);

// What a table shows in a content cell whose amount could not be formed.
inline constexpr const char* kNotCalibratedText = "未校正";
// What a totals row notes when it leaves such contents out.
inline constexpr const char* kWithoutUncalibratedText = "不含未校正组份";
// The same two in an English report.
inline constexpr const char* kNotCalibratedEnglish = "not calibrated";
inline constexpr const char* kWithoutUncalibratedEnglish = "without those not calibrated";

}  // namespace dgaws
