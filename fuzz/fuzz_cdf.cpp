#include "chromatogram/AiaFile.h"
#include "chromatogram/FileIO.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// netCDF opens paths, so every input goes through the scratch files of this process.
struct Scratch {
    std::string in;
    Scratch()
    {
        in = (std::filesystem::temp_directory_path() / "dgaws-fuzz-cdf-XXXXXX").string();
        const int fd = ::mkstemp(in.data());
        if (fd >= 0)
            ::close(fd);
    }
    ~Scratch() { std::remove(in.c_str()); }
};

const Scratch& scratch()
{
    static const Scratch s;
    return s;
}

}  // namespace

// Whatever is imported is a usable record, and importing it again gives the same record
// (nothing depends on memory the reader did not fill). The export of imported records is
// left to the unit tests: its flush to disk would make replaying the corpus slow.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Scratch& files = scratch();
    {
        // A new file each time: truncating one that holds data makes ext4 flush it on close.
        std::remove(files.in.c_str());
        std::ofstream f(files.in, std::ios::binary);
        f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    try {
        const dgaws::ChromatogramData d = dgaws::importCdf(files.in);
        if (d.pointsPerSecond < 1 || d.pointsPerSecond > dgaws::kMaxImportedRate ||
            d.signal.count() == 0 || d.hasData != 1)
            __builtin_trap();
        const dgaws::ChromatogramData again = dgaws::importCdf(files.in);
        if (std::memcmp(again.signal.data(), d.signal.data(), d.signal.byteSize()) != 0 ||
            again.signal.count() != d.signal.count() || again.peaks.size() != d.peaks.size())
            __builtin_trap();
    } catch (const dgaws::InterchangeError&) {
    } catch (const dgaws::FileError&) {}
    return 0;
}
