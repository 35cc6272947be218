#pragma once

#include "QuantSettings.h"

#include "chromatogram/CalibrationCurve.h"
#include "chromatogram/ChromatogramData.h"
#include "chromatogram/MethodFile.h"
#include "chromatogram/MethodLibrary.h"

#include <functional>
#include <string>
#include <vector>

namespace dgaws {

// Writes a library method back to its file; throws on failure. saveMethodFile by default.
using MethodSaver = std::function<void(const MethodLibraryEntry&)>;

// Chromatograms written by the automatic save are drafts; they never enter a curve.
inline constexpr const char* kAutoSaveMark = "自动保存";

struct StoreResult {
    enum class Status {
        NotStored,   // no level, no curve, a draft path, or no run of that path to replace
        Appended,    // a new run at (level, run)
        Replaced,    // every run of the document's path at that level was replaced
        SaveFailed,  // the method file could not be written; the library entry is unchanged
    };
    Status status = Status::NotStored;
    int level = -1;
    int run = -1;         // the appended run
    std::string message;  // the failure text for SaveFailed

    bool stored() const { return status == Status::Appended || status == Status::Replaced; }
};

// Records the responses of a standard chromatogram in the curve at `curveIndex` of the library
// method, at the level in `data.standardLevel`, refits the curve with the method's settings and
// writes the method file. `runIndex` -1 appends (not for an empty path or a draft); a run
// index past the level's runs replaces every run of the same path (letter case ignored);
// any other index replaces that run when its path is the same. An appended run's index is
// recorded in `data.standardRun`. Peaks name their components by position in the curve.
// A curve of an older file is brought to true areas first (toTrueAreas) with
// `oldAreaDivisor`.
StoreResult storeStandardRun(ChromatogramData& data, const std::string& pathName,
                             MethodLibraryEntry* method, int curveIndex, int runIndex,
                             const MethodSaver& save = saveMethodFile, int oldAreaDivisor = 20);

// Areas are true areas (uV s); the runs of a curve read from an older file hold areas
// divided by the setting's divisor instead, whatever rate their files were recorded at. So
// that old and new runs are never averaged together, an old curve is brought to true areas
// before a run joins it: each run's areas are multiplied by `oldAreaDivisor` over its own
// file's points per second (for files recorded at the setting's rate nothing changes). A
// run whose file cannot be read keeps its areas, as a file at the setting's rate would;
// the paths of such runs are returned. Heights and retention times do not depend on the
// rate. The curve is then marked as holding true areas.
std::vector<std::string> toTrueAreas(CalibrationCurve& curve, int oldAreaDivisor);

// Paths compare without letter case, as the file systems the runs were recorded on do.
bool samePath(const std::string& a, const std::string& b);

// The run index for a standard that holds no place in its curve yet (`standardRun` -1):
// -1, which appends, unless the level already has runs of the same file; then an index past
// the level's runs, which replaces them. So one file is never entered twice.
int runIndexForFile(const CalibrationCurve& curve, int level, const std::string& pathName);

// "加入标样数据": each chromatogram file is read, its peaks are measured again (a file saved
// before areas were true areas holds the old ones), the peaks that are not excluded are
// matched to the curve's components by their windows, and the run is appended to `level`
// under the file's full path, however it was typed, so that the reprocessing of that
// standard finds its run; then the curve is refitted. With `replaceSameFile` a run of the
// same file at that level is replaced in place rather than counted twice. Files that
// cannot be read are skipped and reported.
struct AddedRuns {
    int added = 0;
    int replaced = 0;
    std::vector<LoadFailure> failures;
};
AddedRuns addStandardFiles(CalibrationCurve& curve, int level,
                           const std::vector<std::string>& files, const FitSettings& settings,
                           bool replaceSameFile = false);

}  // namespace dgaws
