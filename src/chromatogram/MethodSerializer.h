#pragma once

#include "AnalysisMethod.h"
#include "Archive.h"
#include "CalibrationCurve.h"
#include "DisplayColors.h"
#include "PeakRecord.h"

#include <vector>

namespace dgaws {

// Stored layouts of the method block and of the records it shares with the chromatogram
// file. Each function serves both directions; when loading, the layout follows the
// FormatVersion number already copied into the object (or passed as `format`), and when
// storing the current layout is always written.

void serializePeakRecord(Archive& ar, PeakRecord& p);
void serializeColors(Archive& ar, DisplayColors& c);
void serializeComponent(Archive& ar, ComponentEntry& c);
void serializeComponentList(Archive& ar, std::vector<ComponentEntry>& list);
void serializeCalibrationList(Archive& ar, std::vector<CalibrationCurve>& curves);
void serializeReport(Archive& ar, ReportSettings& r, int format);

// The method block, its own three tag bytes first. When loading, method.version.number
// must already hold the format in force (the file head's).
void serializeMethod(Archive& ar, AnalysisMethod& m);

// Smallest stored size of a peak record in a given format, for count checks.
size_t minPeakRecordBytes(int format);

}  // namespace dgaws
