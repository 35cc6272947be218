#include "ChannelFileName.h"

#include <vector>

namespace dgaws {

namespace {

// "A_..." <-> "B_..."; false when the part names no channel.
bool swapChannel(std::string& part, bool wholePart)
{
    if (part.size() < 2 || part[1] != '_' || (wholePart && part.size() != 2))
        return false;
    if (part[0] == 'A')
        part[0] = 'B';
    else if (part[0] == 'B')
        part[0] = 'A';
    else
        return false;
    return true;
}

}  // namespace

std::string otherChannelFile(const std::string& path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t slash; (slash = path.find('/', start)) != std::string::npos; start = slash + 1)
        parts.push_back(path.substr(start, slash - start));
    parts.push_back(path.substr(start));
    if (!swapChannel(parts.back(), false))
        return {};
    for (size_t i = 0; i + 1 < parts.size(); ++i)
        swapChannel(parts[i], true);
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i)
        out += (i ? "/" : "") + parts[i];
    return out;
}

}  // namespace dgaws
