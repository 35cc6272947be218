#pragma once

#include "DgaPrintSettings.h"
#include "Report.h"

#include "chromatogram/CalibrationCurve.h"
#include "chromatogram/ChromatogramData.h"

#include <string>

namespace dgaws {

// The analysis report of a chromatogram as its method's report settings ask: the title
// block, the sample and the instrument conditions that have a value, the chromatogram, the result table with the
// columns the settings keep (cells as the window's table shows them, with its totals), the
// group results, and the diagnosis sections when the settings ask for them and the
// chromatogram has been diagnosed. `curve` is the library curve the chromatogram is linked
// to, if any, which decides as in the window which contents could not be formed.
Report analysisReport(const ChromatogramData& data, const ChromatogramData& linked,
                      const std::string& fileName, const DgaPrintSettings& settings,
                      const std::string& printedAt, const CalibrationCurve* curve = nullptr);

// The group results with their printed titles; no rows when the method computed none.
ReportTable groupResultTable(const ChromatogramData& data, ReportLanguage language);

}  // namespace dgaws
