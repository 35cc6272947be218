#pragma once

#include <ctime>
#include <iosfwd>
#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace dgaws::cli {

struct DbRequest {
    enum class Object { Company, Device, Tests };
    enum class Action { Add, Rename, Delete, List, Set };

    Object object = Object::Company;
    Action action = Action::List;
    std::string name;       // the company or device acted on
    std::string newName;    // rename
    std::string company;    // owner of the device / the tests
    std::string toCompany;  // device rename: move to this company
    std::string device;     // tests
    std::string range = "all";
    // A device's class: given ones are set by device add and device set.
    std::optional<double> voltageKv;
    std::optional<bool> openBreathing;
    std::string standard;
    std::string home;
    bool json = false;
    std::time_t now = 0;  // 0: the current time
};

// The command without its parser: company and device maintenance with the workstation's
// messages (on stdout when the operation succeeded, on stderr when it was refused), and
// the tests of one device newest first. Returns the exit status: 0, 1 when refused or the
// database failed, 2 for a bad range.
int runDb(const DbRequest& request, std::ostream& out, std::ostream& err);

// `db company add|rename|delete|list`, `db device add|rename|delete|list|set --company C`
// (add and set with [--voltage-kv N] [--open-breathing|--sealed] [--standard S]),
// `db tests --company C --device D [--range all|year|month|week]`, each with [--home DIR]
// [--json].
void addDbCommand(CLI::App& app);

}  // namespace dgaws::cli
