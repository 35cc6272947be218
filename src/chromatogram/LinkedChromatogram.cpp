#include "LinkedChromatogram.h"

#include <filesystem>
#include <vector>

namespace dgaws {

std::string linkedChromatogramPath(const std::string& linked, const std::string& ownPath,
                                   const std::string& dataFolder)
{
    namespace fs = std::filesystem;
    const fs::path name(linked);
    if (linked.empty() || name.is_absolute())
        return linked;
    std::vector<fs::path> places;
    if (!ownPath.empty())
        places.push_back(fs::path(ownPath).parent_path() / name);
    if (!dataFolder.empty())
        places.push_back(fs::path(dataFolder) / name);
    if (places.empty())
        return linked;
    for (const fs::path& place : places) {
        std::error_code ec;
        if (fs::is_regular_file(place, ec))
            return place.string();
    }
    return places.front().string();
}

}  // namespace dgaws
