#pragma once

#include <string>

namespace dgaws {

// Qt keeps sockets and locks in the user's runtime folder, $XDG_RUNTIME_DIR. A login session
// sets it; a service, a cron job or `su` often does not, and then Qt warns on every start
// and falls back to a folder of its own choosing. Before an application object is made, this
// gives the process a private folder (owned by the user, mode 0700) when the variable is
// unset, so the programs stay quiet and their sockets stay private. Returns the folder in
// use, empty when none could be made (Qt then falls back as before).
std::string ensureRuntimeFolder();

}  // namespace dgaws
