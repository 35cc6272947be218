#pragma once

#include <cstddef>
#include <string>

namespace dgaws {

// The operator texts hold one "%s"; this fills it without printf's hazards.
std::string formatText(const char* pattern, const std::string& value);

// The file name of a path, as log lines and messages show it.
std::string fileNameOf(const std::string& path);

// Length of the UTF-8 sequence led by `lead`, 0 when that byte cannot lead one.
size_t utf8SequenceLength(unsigned char lead);

}  // namespace dgaws
