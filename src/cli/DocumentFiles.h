#pragma once

#include "app/CChrEDoc.h"

#include <iosfwd>
#include <string>

namespace dgaws::cli {

// Reads a .chg into the document as the open command would, under its full path and linked
// to the document's method library; false with one line "dgaws-cli: cannot read FILE:
// reason" on `err`.
bool openChromatogram(CChrEDoc& doc, const std::string& path, std::ostream& err);

// The method folder of a data root (--home, else DGAWS_HOME or the home folder), where the
// window keeps the library that opened chromatograms are linked to.
std::string methodFolderOf(const std::string& home);
// The data folder of a data root, where a linked chromatogram named relative to no file
// beside its partner is looked for, as the window looks for it.
std::string dataFolderOf(const std::string& home);
// Writes the document's chromatogram; false with one line on `err`.
bool writeChromatogram(const CChrEDoc& doc, const std::string& path, std::ostream& err);

}  // namespace dgaws::cli
