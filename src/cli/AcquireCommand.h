#pragma once

#include "HeadlessRun.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace dgaws::cli {

struct AcquireOptions {
    std::string port;
    std::string channel = "AB";
    std::optional<double> minutes;
    std::string method;
    std::string outDir = ".";
    bool json = false;
    bool waitStart = false;
    bool merge = true;
    double confirmSeconds = 10.0;
};

struct DemoOptions {
    std::optional<double> minutes;
    std::string method;
    // Empty: the data folder under the data root (--home, DGAWS_HOME or ~/dgaws).
    std::string outDir;
    std::string home;
    std::string demoData;
    double speed = 1.0;
    bool json = false;
    bool merge = true;
};

struct RecoverOptions {
    std::string dir;
    std::string outDir;
    bool json = false;
};

// The three commands without the parser, so tests can drive them in-process. Each returns
// the exit status.
int runAcquire(const AcquireOptions& options, std::ostream& out, std::ostream& err);
int runDemo(const DemoOptions& options, std::ostream& out, std::ostream& err);
int runRecover(const RecoverOptions& options, std::ostream& out, std::ostream& err);

// The printed results of finished runs: one JSON document or a readable summary.
void printRunResults(std::ostream& out, const std::vector<HeadlessResult>& results, bool json);

void addAcquireCommand(CLI::App& app);
void addDemoCommand(CLI::App& app);
void addRecoverCommand(CLI::App& app);

}  // namespace dgaws::cli
