#pragma once

#include <string>

namespace dgaws {

// One integer of the settings file's group "System", or `fallback` when the file or the
// key is missing or the value is not a number. For headless tools that need a single
// setting without the application object.
int readSystemInt(const std::string& settingsFile, const char* key, int fallback);

}  // namespace dgaws
