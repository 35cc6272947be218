#pragma once

#include <CLI/CLI.hpp>

namespace dgaws::cli {

// The whole command line of dgaws-cli: its name, version and every subcommand. The program
// parses with it, and the manual page and shell completion are written from it at build
// time, so neither can describe options the program does not have.
void describeCommandLine(CLI::App& app);

}  // namespace dgaws::cli
