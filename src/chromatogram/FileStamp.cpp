#include "FileStamp.h"

#include "FileIO.h"

namespace dgaws {

FileStamp FileStamp::of(const std::string& bytes)
{
    uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return {bytes.size(), hash};
}

std::optional<FileStamp> FileStamp::onDisk(const std::string& path)
{
    if (!fileExists(path))
        return std::nullopt;
    return of(readWholeFile(path));
}

}  // namespace dgaws
