#pragma once

#include "chromatogram/Interchange.h"

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace dgaws::cli {

struct ConvertOptions {
    std::string input;
    std::string output;
    std::string from;  // kind name; empty: from the input's extension (and content for .txt)
    std::string to;    // kind name; empty: from the output's extension
    int rate = 0;      // for inputs that carry no rate; 0: each kind's default (.dat 10, text 20)
    bool json = false;
};

// The whole command without the parser. Returns the exit status: 0; 1 when the input cannot
// be read or the output cannot be written (one line "dgaws-cli: cannot read|write FILE:
// reason" on `err`, and an existing output file left as it was); 2 when a kind is unknown.
// A .dat written keeps no rate: `err` says which one to give when it is read back.
int runConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err);

// Registers `convert IN OUT [--from KIND] [--to KIND] [--rate|--points-per-second N] [--json]`.
void addConvertCommand(CLI::App& app);

}  // namespace dgaws::cli
