#pragma once

#include "DataRoot.h"
#include "SystemSettings.h"

#include <string>

namespace dgaws {

// The folder of the shipped default method, spreadsheet templates and demonstration data for
// the running program: data/ beside it in a build tree (or one folder up, for the tests), or
// share/dgaws of its installation. Empty when none of them holds the default method.
std::string shippedDataFolder();

// The first use of a data root, the same whichever program comes first: the root, the data
// and method folders the settings name (the defaults where they name none, which `settings`
// then holds), and the shipped method, templates and demonstration data copied where they
// are missing. Files present are never replaced, so every later use changes nothing.
void setUpDataRoot(const DataRoot& root, SystemSettings& settings,
                   const std::string& shippedFolder);

}  // namespace dgaws
