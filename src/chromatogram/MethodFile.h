#pragma once

#include "AnalysisMethod.h"
#include "CalibrationCurve.h"
#include "FileIO.h"
#include "FileStamp.h"
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

// The file is no longer the one that was read: another workstation saved or removed it.
class MethodChangedOnDisk : public FileError {
public:
    using FileError::FileError;
};

// File level (FileError / ArchiveError). With `stamp`, what the file held is put there.
MethodLibraryEntry loadMethodFile(const std::string& path, FileStamp* stamp = nullptr);
// Replaces the file atomically while holding its lock file (FileLock).
void saveMethodFile(const MethodLibraryEntry& entry);
// The same, when the file is still the one `read` was taken from (no check without it);
// MethodChangedOnDisk otherwise, and nothing is written. Returns the stamp of what it wrote.
FileStamp saveMethodFileChecked(const MethodLibraryEntry& entry, const FileStamp* read);

}  // namespace dgaws
