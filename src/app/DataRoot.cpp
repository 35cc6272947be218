#include "DataRoot.h"

#include <cstdlib>
#include <filesystem>

namespace dgaws {

std::string dataRoot(const std::string& explicitHome)
{
    if (!explicitHome.empty())
        return explicitHome;
    if (const char* env = std::getenv("DGAWS_HOME"); env != nullptr && *env != '\0')
        return env;
    const char* home = std::getenv("HOME");
    const std::filesystem::path base = home != nullptr && *home != '\0'
                                           ? std::filesystem::path(home)
                                           : std::filesystem::current_path();
    return (base / "dgaws").string();
}

std::string settingsFilePath(const std::string& root)
{
    return (std::filesystem::path(root) / "dgaws.ini").string();
}

}  // namespace dgaws
