#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace dgaws {

// What a file held when it was read, to tell later whether someone has replaced it since.
// Taken from the bytes rather than the modification time: shared folders on a network keep
// coarse or skewed times, and a save within the same second must still count.
struct FileStamp {
    uint64_t size = 0;
    uint64_t hash = 0;  // FNV-1a of the bytes

    bool operator==(const FileStamp&) const = default;

    static FileStamp of(const std::string& bytes);
    // The stamp of the file as it is now; nothing when there is no file to read.
    static std::optional<FileStamp> onDisk(const std::string& path);
};

}  // namespace dgaws
