#include "chromatogram/Archive.h"
#include "chromatogram/ChromatogramFile.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        dgaws::ChromatogramData d =
            dgaws::loadChromatogram(std::string(reinterpret_cast<const char*>(data), size));
        // Whatever was read must store and read back again.
        (void)dgaws::loadChromatogram(dgaws::storeChromatogram(d));
    } catch (const dgaws::ArchiveError&) {}
    return 0;
}
