#pragma once

#include <chrono>
#include <string>

namespace dgaws {

// A lock file beside a file, "NAME.lock", held while the file is written, so that two
// workstations saving into one shared folder never interleave their check and their write.
// It is made with O_EXCL, which works across network file systems, and names its holder.
// A lock left by a crashed writer is taken over at once when that writer was a process of
// this machine that no longer runs, else once it is older than kStale.
class FileLock {
public:
    static constexpr std::chrono::seconds kStale{60};

    // Waits up to `patience` for another holder to finish; FileError naming the holder when
    // it does not, or when the lock cannot be made.
    explicit FileLock(const std::string& path,
                      std::chrono::milliseconds patience = std::chrono::milliseconds(3000));
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    static std::string lockPathOf(const std::string& path) { return path + ".lock"; }

private:
    std::string lockPath_;
};

}  // namespace dgaws
