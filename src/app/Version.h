#pragma once

#include <string>

namespace dgaws {

// Both written at build time (cmake/SourceVersion.cmake).
const char* projectVersion();
// The commit the programs were built from, "-modified" after it when the sources differed
// from it; "unknown" outside a git checkout.
const char* sourceCommit();

// What `--version` and the about box say, the same for every program.
inline std::string versionText(const std::string& program)
{
    return program + " " + projectVersion() + " (commit " + sourceCommit() + ")";
}

}  // namespace dgaws
