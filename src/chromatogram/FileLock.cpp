#include "FileLock.h"

#include "FileIO.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace dgaws {

namespace {

std::string thisHost()
{
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0)
        return "?";
    return host;
}

std::string holderText()
{
    return thisHost() + " " + std::to_string(::getpid()) + "\n";
}

// A writer of this machine named in the lock that no longer runs: it crashed while writing.
// Another machine's processes cannot be asked; their locks wait for the age rule.
bool holderGone(const std::string& lockPath)
{
    std::string holder;
    try {
        holder = readWholeFile(lockPath, 1024);
    } catch (const FileError&) {
        return false;
    }
    const size_t space = holder.find(' ');
    if (space == std::string::npos || holder.substr(0, space) != thisHost())
        return false;
    char* end = nullptr;
    const long pid = std::strtol(holder.c_str() + space + 1, &end, 10);
    if (pid <= 0 || end == holder.c_str() + space + 1)
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// A crashed writer's lock: its writer is known to be gone, or it is older than kStale by the
// lock file's own time.
bool stale(const std::string& lockPath)
{
    if (holderGone(lockPath))
        return true;
    std::error_code ec;
    const auto written = std::filesystem::last_write_time(lockPath, ec);
    return !ec && std::filesystem::file_time_type::clock::now() - written > FileLock::kStale;
}

}  // namespace

FileLock::FileLock(const std::string& path, std::chrono::milliseconds patience)
    : lockPath_(lockPathOf(path))
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        const int fd = ::open(lockPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            const std::string holder = holderText();
            const ssize_t written = ::write(fd, holder.data(), holder.size());
            ::close(fd);
            static_cast<void>(written);  // the holder's name is a courtesy, not the lock
            return;
        }
        if (errno != EEXIST)
            throw FileError("cannot make the lock file " + lockPath_ + ": " + std::strerror(errno));
        if (stale(lockPath_)) {
            ::unlink(lockPath_.c_str());
            continue;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            std::string holder;
            try {
                holder = readWholeFile(lockPath_, 1024);
            } catch (const FileError&) {}
            while (!holder.empty() && (holder.back() == '\n' || holder.back() == '\r'))
                holder.pop_back();
            throw FileError("正被另一工作站保存（" + (holder.empty() ? lockPath_ : holder) +
                            "），请稍后再试");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

FileLock::~FileLock()
{
    ::unlink(lockPath_.c_str());
}

}  // namespace dgaws
