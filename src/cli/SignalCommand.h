#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace dgaws::cli {

struct SignalOptions {
    std::string path;
    // "smooth W", "subtract-drift", "subtract-baseline B.chg", "restore", "separate", as
    // separate words, applied in order.
    std::vector<std::string> operations;
    std::string outputPath;  // empty: nothing written
    bool json = false;
    int cacuFrequence = 1;
    std::string methodFolder;  // the library the chromatogram is linked to; empty: none
    // A standard's edited run replaces its run in the curve (the library's file is written);
    // otherwise the library is left as it was.
    bool updateLibrary = false;
};

// Applies the signal operations in order through the document's own commands. An
// operation that changes nothing (a width of 1 or less, no peaks to take the drift from,
// a baseline shorter than the signal, nothing to restore) ends the command with one line
// on `err` and status 1, and nothing is written. Returns 0 otherwise.
int runSignal(const SignalOptions& options, std::ostream& out, std::ostream& err);

// Registers `signal FILE.chg OPERATION... [-o OUT.chg] [--json]`.
void addSignalCommand(CLI::App& app);

}  // namespace dgaws::cli
