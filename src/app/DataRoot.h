#pragma once

#include <string>

namespace dgaws {

// The folder under which the program keeps everything it writes (settings, data, methods,
// log, database). An explicit choice (--home) wins, then DGAWS_HOME, then "dgaws" in the
// user's home folder, so tests and scripts run in isolation by setting one variable.
std::string dataRoot(const std::string& explicitHome = {});

// The settings file in a data root: INI format, the keys in group "System".
std::string settingsFilePath(const std::string& root);

}  // namespace dgaws
