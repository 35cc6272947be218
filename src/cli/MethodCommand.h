#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace dgaws::cli {

// One `method` command on the library of a data root.
struct MethodRequest {
    enum class Action {
        List,
        New,
        Hide,
        Show,
        Delete,
        Set,
        EventAdd,
        EventRemove,
        Default,
        Suggest
    };

    Action action = Action::List;
    std::string home;
    bool json = false;
    std::string name;
    std::string from;                 // new: the method copied
    std::vector<std::string> values;  // set: FIELD=VALUE
    double time = 0.0;                // event add
    int peakWidth = 2;                // event add
    double slope = 10.0;              // event add
    int type = 0;                     // event add
    int row = 0;                      // event remove, from 1
    std::string channel;              // default: A or B
    std::string file;                 // suggest: the chromatogram
    std::string apply;                // suggest: the method the proposal goes into
    int pointsPerSecond = 0;          // suggest: rate of a file that carries none
    double tolerance = 0.03;          // suggest: minutes, against the file's own peak table
};

// Returns the exit status; a failure prints one line "dgaws-cli: ..." on `err` and leaves
// the library's files as they were.
int runMethod(const MethodRequest& request, std::ostream& out, std::ostream& err);

// Registers `method list|new|hide|show|delete|set|event add|event remove|default|suggest`.
void addMethodCommand(CLI::App& app);

}  // namespace dgaws::cli
