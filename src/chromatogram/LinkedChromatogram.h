#pragma once

#include <string>

namespace dgaws {

// Where the linked chromatogram of the other channel lies, the one rule every reader of it
// follows (diagnosis, graph, reports, workbooks, database, command line). `linked` is the
// name the chromatogram keeps: an absolute name is taken as it is; a relative one lies
// beside the chromatogram kept at `ownPath`, else in the data folder `dataFolder`. When it
// is in neither place, the first place it was looked for is answered, so a failure to read
// it names that place. Empty for an empty name.
std::string linkedChromatogramPath(const std::string& linked, const std::string& ownPath,
                                   const std::string& dataFolder);

}  // namespace dgaws
