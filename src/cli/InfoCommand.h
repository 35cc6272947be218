#pragma once

#include "InfoDocument.h"
#include "RecordJson.h"

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace dgaws::cli {

// The JSON document: "file" and "fileType", then the record's own fields at top level.
Json infoJson(const InfoDocument& doc, bool includeSamples);

struct InfoOptions {
    std::string path;
    bool json = false;
    bool samples = false;
    int pointsPerSecond = 0;  // rate of a file that keeps none (.dat, plain text); 0: unknown
};

// The whole command without the parser, so tests can drive it in-process. Returns the
// exit status: 0, or 1 with one line "dgaws-cli: cannot read FILE: reason" on `err`.
int runInfo(const InfoOptions& options, std::ostream& out, std::ostream& err);

// Registers `info FILE [--json] [--samples] [--points-per-second N]` on the tool's parser.
void addInfoCommand(CLI::App& app);

}  // namespace dgaws::cli
