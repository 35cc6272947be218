#pragma once

#include <string>
#include <vector>

namespace dgaws {

// The command line of the workstation window. It is read before any window system is
// touched, so --help and a mistyped option answer on a machine without a display too.
struct WindowOptions {
    std::string home;                // --home DIR: the data root
    bool simulate = false;           // --simulate: the simulated connection instead of the wizard
    bool run = false;                // --run: unattended demonstration, channel A run at once
    double speed = 1.0;              // --speed N: demonstration values per tick
    std::vector<std::string> files;  // chromatograms to open
    bool help = false;
    bool version = false;  // --version: the version and commit, then exit
    std::string error;     // not empty: the arguments cannot be used, and why

    static WindowOptions parse(const std::vector<std::string>& arguments);
    static const char* usage();
};

}  // namespace dgaws
