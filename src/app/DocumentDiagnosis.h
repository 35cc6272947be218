#pragma once

#include "CChrEDoc.h"
#include "TestRecordDatabase.h"

#include "dga/DiagnoseCommand.h"
#include "dga/DiagnosisEnvironment.h"

#include <optional>
#include <string>

namespace dgaws {

// "诊断并查看诊断报告" on a document: diagnoses its chromatogram with its linked one, saves
// the test into `db` (none: not saved), marks the document modified, and returns what the
// diagnosis dialog shows; none when the linked chromatogram cannot be read or the company
// or the device is unknown. The linked chromatogram is found by the document's linkedPath
// rule and kept, with its rates, as the document's linkedData. Without a collection step
// of its own the environment collects with collectDgaValues.
std::optional<DiagnosisView> diagnoseDocument(CChrEDoc& doc, DiagnosisEnvironment env,
                                              TestRecordDatabase* db);

// The class of the document's device as the device library in `db` keeps it (voltage,
// breathing, standard); `fallback` when no database is open or the device is not in it.
DeviceClass storedDeviceClass(const CChrEDoc& doc, TestRecordDatabase* db,
                              const DeviceClass& fallback = {});

}  // namespace dgaws
