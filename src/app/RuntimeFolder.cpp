#include "RuntimeFolder.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace dgaws {

namespace {

// Usable when it is a real folder of this user that nobody else may enter, which is what Qt
// asks of a runtime folder before it trusts it.
bool privateFolder(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    return (st.st_mode & 0777) == 0700 || ::chmod(path.c_str(), 0700) == 0;
}

}  // namespace

std::string ensureRuntimeFolder()
{
    if (const char* set = std::getenv("XDG_RUNTIME_DIR"); set && *set)
        return set;
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = tmp && *tmp ? tmp : "/tmp";
    std::string folder = base + "/dgaws-runtime-" + std::to_string(::geteuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    if (!privateFolder(folder)) {
        // Someone else holds that name: a fresh folder of our own instead.
        std::string pattern = base + "/dgaws-runtime-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            return {};
        folder = pattern;
    }
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    return folder;
}

}  // namespace dgaws
