#include "FileIO.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dgaws {
namespace {

std::string describe(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release()
    {
        int f = fd_;
        fd_ = -1;
        return f;
    }

private:
    int fd_;
};

}  // namespace

std::string directoryOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string readWholeFile(const std::string& path, size_t maxBytes)
{
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        throw FileError(describe("cannot open", path));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        throw FileError(describe("cannot read the status of", path));
    if (!S_ISREG(st.st_mode))
        throw FileError("not a regular file: " + path);
    if (static_cast<unsigned long long>(st.st_size) > maxBytes)
        throw FileError("file too large: " + path);
    std::string bytes;
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t got = 0;
    while (got < bytes.size()) {
        ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(describe("cannot read", path));
        }
        if (n == 0)
            break;  // the file shrank while we read it
        got += static_cast<size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

void writeFileAtomically(const std::string& path, const std::string& bytes)
{
    std::string tmpl = directoryOf(path) + "/.dgaws-save-XXXXXX";
    Fd fd(::mkstemp(tmpl.data()));
    if (fd.get() < 0)
        throw FileError(describe("cannot create a file in the folder of", path));
    const std::string tmp = tmpl;
    auto fail = [&](const char* what) {
        const std::string msg = describe(what, path);
        ::unlink(tmp.c_str());
        throw FileError(msg);
    };
    // Keep the permissions an existing file had; new files get the usual 0666 & ~umask.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        ::fchmod(fd.get(), st.st_mode & 07777);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd.get(), 0666 & ~mask);
    }
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("cannot write");
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd.get()) != 0)
        fail("cannot flush");
    if (::close(fd.release()) != 0)
        fail("cannot close");
    if (::rename(tmp.c_str(), path.c_str()) != 0)
        fail("cannot replace");
    Fd dir(::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

bool fileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace dgaws
