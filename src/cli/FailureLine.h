#pragma once

#include <ostream>
#include <string>

namespace dgaws::cli {

// A command's refusal: one line on the error stream, named by the program, and the exit
// status that says the command did nothing.
inline int failWith(std::ostream& err, const std::string& text)
{
    err << "dgaws-cli: " << text << '\n';
    return 1;
}

}  // namespace dgaws::cli
