#include "chromatogram/Archive.h"
#include "chromatogram/MethodFile.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        dgaws::MethodLibraryEntry e =
            dgaws::loadMethodBytes(std::string(reinterpret_cast<const char*>(data), size));
        (void)dgaws::loadMethodBytes(dgaws::storeMethodFile(e));
    } catch (const dgaws::ArchiveError&) {}
    return 0;
}
