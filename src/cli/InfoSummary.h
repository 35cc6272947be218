#pragma once

#include "InfoDocument.h"

#include <iosfwd>
#include <string>

namespace dgaws::cli {

// The readable summary of a file for a terminal: what an operator checks first (method,
// rate, length, peaks and diagnosis of a chromatogram; settings, components and curves of
// a method). The JSON form carries everything else.
void printInfoSummary(std::ostream& out, const InfoDocument& doc);

// Short English names of the quantitation methods, with the index for anything unknown.
std::string calcMethodName(int calcMethod);

}  // namespace dgaws::cli
