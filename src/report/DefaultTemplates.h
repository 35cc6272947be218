#pragma once

#include "TemplateWorkbooks.h"

#include <string>
#include <vector>

namespace dgaws {

// Writes the workstation's own template of a kind at `path` (replacing it through a
// temporary file), so a laboratory without templates of its own starts with working ones:
// a device record card whose rows 13 to 27 are labelled and whose four test columns are
// framed, an other-situation record, a sample label and a custom report whose "{name}"
// cells are filled from the chromatogram. WorkbookError when it cannot be written.
void writeDefaultTemplate(WorkbookKind kind, const std::string& path);

// Every kind's template into `folder`, by its file name; returns the paths written.
std::vector<std::string> writeDefaultTemplates(const std::string& folder);

}  // namespace dgaws
