#pragma once

#include "RecordJson.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace dgaws::cli {

struct CalibrationShowOptions {
    std::string method;
    bool json = false;
};

struct CalibrationAddOptions {
    std::string method;
    std::string curve;
    int level = 0;  // 1-based, as the operator numbers standard levels
    std::vector<std::string> files;
    bool json = false;
    // The setting CacuFrequence, whose divisor the runs of a curve from an older file were
    // measured with.
    int cacuFrequence = 1;
};

// The commands without the parser, for in-process tests. Both return the exit status; on
// failure one line "dgaws-cli: ..." goes to `err` and nothing to `out`.

// Every curve of the method with its components, concentrations, runs and factors.
int runCalibrationShow(const CalibrationShowOptions& options, std::ostream& out, std::ostream& err);
// Appends one run per chromatogram file to the curve's level, refits the curve with the
// method's settings and writes the method file. All files are read before anything is
// written: one that cannot be read leaves the method file untouched.
int runCalibrationAdd(const CalibrationAddOptions& options, std::ostream& out, std::ostream& err);

// The JSON of `calibration show`: the file, the method's name and settings, its curves.
Json calibrationJson(const std::string& path, const MethodLibraryEntry& entry);

// Registers `calibration show M.she [--json]`,
// `calibration add M.she --curve NAME --level L FILE.chg... [--json]` and the commands of
// CalibrationEditCommand.h.
void addCalibrationCommand(CLI::App& app);

}  // namespace dgaws::cli
