#pragma once

#include "AnalysisMethod.h"
#include "CalibrationCurve.h"
#include "RecordFields.h"

#include <string>
#include <vector>

namespace dgaws {

// One method of the library as its .she file holds it.
struct MethodLibraryEntry {
    AnalysisMethod method;
    std::vector<CalibrationCurve> curves;
    std::vector<ComponentEntry> defaultComponents;  // the file's second component list
    std::string path;                               // not stored

    bool operator==(const MethodLibraryEntry&) const = default;
};

template <class V> void visitFields(V& v, Record<MethodLibraryEntry>)
{
    using E = MethodLibraryEntry;
    v.field("method", &E::method);
    v.field("curves", &E::curves);
    v.field("defaultComponents", &E::defaultComponents);
}

// Bytes of a .she file: method block, calibration-table list, second component list.
std::string storeMethodFile(const MethodLibraryEntry& entry);
// ArchiveError on damage. `path` is recorded in the entry.
MethodLibraryEntry loadMethodBytes(std::string bytes, const std::string& path = {});

// File level (FileError / ArchiveError); saving replaces the file atomically.
MethodLibraryEntry loadMethodFile(const std::string& path);
void saveMethodFile(const MethodLibraryEntry& entry);

}  // namespace dgaws
