#pragma once

#include "app/CChrEDoc.h"

#include <iosfwd>
#include <string>

namespace dgaws::cli {

// Reads a .chg into the document as the open command would; false with one line
// "dgaws-cli: cannot read FILE: reason" on `err`.
bool openChromatogram(CChrEDoc& doc, const std::string& path, std::ostream& err);
// Writes the document's chromatogram; false with one line on `err`.
bool writeChromatogram(const CChrEDoc& doc, const std::string& path, std::ostream& err);

// Minutes as the nearest sample of the chromatogram, so that a time typed with a few
// decimals lands on the sample it names rather than on the one before it.
int nearestSample(const ChromatogramData& data, double minutes);

}  // namespace dgaws::cli
