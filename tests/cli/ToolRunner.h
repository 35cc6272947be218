#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace dgaws::cli::test {

// The built dgaws-cli, run through the shell as a user runs it.
struct ToolResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string shellQuoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// `args` are passed to the shell as they are; stderr goes through `errFile`. A non-empty
// `home` becomes the tool's DGAWS_HOME, a non-empty `workDir` its working folder.
inline ToolResult runTool(const std::string& args, const std::string& errFile,
                          const std::string& home = {}, const std::string& workDir = {})
{
    const std::string cd = workDir.empty() ? "" : "cd " + shellQuoted(workDir) + " && ";
    const std::string env = home.empty() ? "" : "DGAWS_HOME=" + shellQuoted(home) + " ";
    const std::string cmd = cd + env + shellQuoted(DGAWS_BINARY_DIR "/dgaws-cli") + " " + args +
                            " 2>" + shellQuoted(errFile);
    ToolResult r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (p == nullptr) {
        ADD_FAILURE() << "popen failed for " << cmd;
        return r;
    }
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    std::ifstream in(errFile);
    std::ostringstream err;
    err << in.rdbuf();
    r.err = err.str();
    return r;
}

}  // namespace dgaws::cli::test
