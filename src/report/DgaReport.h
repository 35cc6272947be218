#pragma once

#include "DgaPrintSettings.h"
#include "Report.h"

#include "chromatogram/CalibrationCurve.h"
#include "chromatogram/ChromatogramData.h"
#include "dga/DgaLimits.h"

#include <string>
#include <vector>

namespace dgaws {

// The DGA result table: one row per peak of the chromatogram, then of the linked one, kept
// by the filter, with the columns the settings check, each cell as the printout formats it.
// A content that could not be formed says so instead of printing 0 (see quant/ContentStatus);
// `curve` is the library curve `data` is linked to, if any; the linked chromatogram is judged
// by the method it carries.
ReportTable dgaResultTable(const ChromatogramData& data, const ChromatogramData& linked,
                           const DgaPrintSettings& settings, ReportLanguage language,
                           const CalibrationCurve* curve = nullptr);

// The diagnosis sections: the table, the total hydrocarbons with their note, the three
// ratio codes once judged, the fault type and its examples.
std::vector<ReportBlock> dgaBlocks(const ChromatogramData& data, const ChromatogramData& linked,
                                   const DgaPrintSettings& settings, ReportLanguage language,
                                   const CalibrationCurve* curve = nullptr);

// The sample's fields as both reports head them.
ReportFields sampleFields(const ChromatogramData& data, const std::string& fileName,
                          ReportLanguage language);

// The whole DGA report of a diagnosed chromatogram, followed by every interpretation method,
// the limits of `device`'s class and standard, and the Duval diagrams.
Report dgaReport(const ChromatogramData& data, const ChromatogramData& linked,
                 const std::string& fileName, const DgaPrintSettings& settings,
                 const std::string& printedAt, const DeviceClass& device = {},
                 const CalibrationCurve* curve = nullptr);

// An empty report as the method's report settings head and frame it: title, subtitle,
// laboratory, footer, margins, language, and the time of printing.
Report reportPage(const ChromatogramData& data, const DgaPrintSettings& settings,
                  const std::string& printedAt);

// The limits of a method's report settings, checked alike by the method sheet and the
// command line: margins beyond them leave a small page no room for a table.
inline constexpr double kMaxReportMargin = 60.0;  // millimetres
inline constexpr int kMaxReportDecimals = 10;
bool usableReportMargin(double millimetres);

// The language a report takes: the print setting's, else the method's report settings'.
ReportLanguage reportLanguage(const ChromatogramData& data, const DgaPrintSettings& settings);

}  // namespace dgaws
