#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace dgaws::cli {

// One edit of the command line: the option's name without its dashes ("add",
// "vertical-cut", ...) and its value as typed (empty for the flags).
struct EditStep {
    std::string name;
    std::string value;
};

struct EditOptions {
    std::string path;
    std::vector<EditStep> steps;  // in command-line order
    std::string outputPath;       // empty: nothing written
    bool json = false;
    int cacuFrequence = 1;     // the setting that chooses the area divisor
    std::string methodFolder;  // the library the chromatogram is linked to; empty: none
    // A standard's edited run replaces its run in the curve (the library's file is written);
    // otherwise the library is left as it was.
    bool updateLibrary = false;
};

// The edit options with the form of their value, for the parser and the help text.
struct EditStepKind {
    const char* name;
    const char* value;  // "" for a flag
    const char* help;
};
const std::vector<EditStepKind>& editStepKinds();

// Applies the steps in order through the graph's own edit operations. The first step that
// cannot be made ends the command with one line on `err` and status 1; nothing is written
// then. Returns 0 otherwise.
int runEdit(const EditOptions& options, std::ostream& out, std::ostream& err);

// Registers `edit FILE.chg --add START,APEX,END --delete N ... [-o OUT.chg] [--json]`.
void addEditCommand(CLI::App& app);

}  // namespace dgaws::cli
