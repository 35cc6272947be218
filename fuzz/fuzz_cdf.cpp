#include "chromatogram/AiaFile.h"
#include "chromatogram/FileIO.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// netCDF opens paths, so every input goes through the scratch files of this process.
struct Scratch {
    std::string in;
    std::string out;
    Scratch()
    {
        in = (std::filesystem::temp_directory_path() / "dgaws-fuzz-cdf-XXXXXX").string();
        const int fd = ::mkstemp(in.data());
        if (fd >= 0)
            ::close(fd);
        out = in + ".out";
    }
    ~Scratch()
    {
        std::remove(in.c_str());
        std::remove(out.c_str());
    }
};

const Scratch& scratch()
{
    static const Scratch s;
    return s;
}

}  // namespace

// Whatever is imported must export and import again as the same number of samples and
// peaks at the same rate.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Scratch& files = scratch();
    {
        std::ofstream f(files.in, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    try {
        const dgaws::ChromatogramData d = dgaws::importCdf(files.in);
        if (d.pointsPerSecond < 1 || d.pointsPerSecond > dgaws::kMaxImportedRate ||
            d.signal.count() == 0)
            __builtin_trap();
        dgaws::exportCdf(d, files.out, files.in);
        const dgaws::ChromatogramData back = dgaws::importCdf(files.out);
        if (back.signal.count() != d.signal.count() || back.pointsPerSecond != d.pointsPerSecond ||
            back.peaks.size() != d.peaks.size())
            __builtin_trap();
    } catch (const dgaws::InterchangeError&) {
    } catch (const dgaws::FileError&) {
    }
    return 0;
}
