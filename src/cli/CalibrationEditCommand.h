#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace dgaws::cli {

struct CalibrationNewOptions {
    std::string method;
    std::string curve;
    std::string from;  // a curve of the method whose table and concentrations are copied
    bool json = false;
};

struct CalibrationSetOptions {
    std::string method;
    std::string curve;
    int type = -1;  // curve type of every component; -1 leaves them
    std::string internalStandard;
    std::vector<std::string> concentrations;  // GAS=LEVEL:VALUE, LEVEL from 1
    bool json = false;
};

struct CalibrationRemoveRunOptions {
    std::string method;
    std::string curve;
    std::string run;  // N counted over all levels from 1, or LEVEL:RUN
    bool json = false;
};

struct CalibrationPlotOptions {
    std::string method;
    std::string curve;
    std::string component;
    std::string png;
    std::string pdf;
};

// Each returns the exit status; on failure one line "dgaws-cli: ..." names the bad value and
// the method file is left as it was. A changed method file is written whole, then renamed.

// A new curve of the method: the method's default table with cleared factors and its name,
// or a copy of another curve's table and concentrations without its runs.
int runCalibrationNew(const CalibrationNewOptions& options, std::ostream& out, std::ostream& err);
// The curve type of every component, the internal standard (which every other component
// then refers to) and concentrations; the curve is refitted.
int runCalibrationSet(const CalibrationSetOptions& options, std::ostream& out, std::ostream& err);
// Deletes one standard run and refits.
int runCalibrationRemoveRun(const CalibrationRemoveRunOptions& options, std::ostream& out,
                            std::ostream& err);
// The points and fitted line of one component as a PNG, or of every fitted component (or the
// one named) as a PDF with a page each.
int runCalibrationPlot(const CalibrationPlotOptions& options, std::ostream& out, std::ostream& err);

// Registers new, set, remove-run and plot under the calibration command.
void addCalibrationEditCommands(CLI::App& calibration);

}  // namespace dgaws::cli
