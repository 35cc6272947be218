#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace dgaws::cli {

struct CompareOptions {
    std::string operation;  // sum, average, subtract, derivative, invert
    std::vector<std::string> inputs;
    std::string output;
    std::vector<double> shifts;  // minutes, one per input, or none
    bool json = false;
};

// Combines chromatograms as the multi-chromatogram window does and stores the result as a
// new .chg. Returns 0; 1 when an input cannot be read or the result cannot be stored (one
// line on `err`); 2 for a wrong number of inputs or shifts.
int runCompare(const CompareOptions& options, std::ostream& out, std::ostream& err);

// Registers `compare OPERATION IN... -o OUT [--shift MIN...] [--json]`.
void addCompareCommand(CLI::App& app);

}  // namespace dgaws::cli
