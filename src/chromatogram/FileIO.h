#pragma once

#include <stdexcept>
#include <string>

namespace dgaws {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Largest file a reader will take into memory; far above any chromatogram or method.
constexpr size_t kMaxReadableFile = size_t(1) << 30;

// Whole file into memory; FileError when it cannot be opened, read, or is too large.
std::string readWholeFile(const std::string& path, size_t maxBytes = kMaxReadableFile);

// Writes a temporary file beside `path`, flushes it to disk, then renames it over `path`,
// so the previous file survives any failure intact. FileError on failure, with the
// temporary file removed.
void writeFileAtomically(const std::string& path, const std::string& bytes);

bool fileExists(const std::string& path);

// The folder a path names its file in: "." for a bare name, "/" for a file at the root.
// Temporary files go there, so that renaming them over the path stays on one file system.
std::string directoryOf(const std::string& path);

}  // namespace dgaws
