#include "chromatogram/Archive.h"
#include "dga/RateRecord.h"

#include <cstdint>
#include <cstdlib>
#include <string>

// A record read from any bytes must store back to bytes that read as the same record.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        const dgaws::RateRecord r =
            dgaws::loadRateRecord(std::string(reinterpret_cast<const char*>(data), size));
        const dgaws::RateRecord back = dgaws::loadRateRecord(dgaws::storeRateRecord(r));
        // Stored texts are GBK and NaN is unequal to itself, so compare the stored bytes.
        if (dgaws::storeRateRecord(back) != dgaws::storeRateRecord(r))
            std::abort();
    } catch (const dgaws::ArchiveError&) {}
    return 0;
}
