#include "chromatogram/Interchange.h"
#include "chromatogram/TextChromatogram.h"

#include <cstdint>
#include <string_view>

// Every layout reads the same bytes; whatever a layout read must write and read back as the
// same number of samples at the same rate.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (auto layout : {dgaws::TextLayout::Plain, dgaws::TextLayout::Standard,
                        dgaws::TextLayout::CommaSeparated}) {
        try {
            const dgaws::ChromatogramData d = dgaws::parseTextChromatogram(text, layout, 20);
            if (d.pointsPerSecond < 1 || d.pointsPerSecond > dgaws::kMaxImportedRate)
                __builtin_trap();
            if (d.signal.count() == 0)
                continue;
            const dgaws::ChromatogramData back =
                dgaws::parseTextChromatogram(dgaws::formatTextChromatogram(d, layout), layout, 20);
            if (back.signal.count() != d.signal.count())
                __builtin_trap();
        } catch (const dgaws::InterchangeError&) {}
    }
    return 0;
}
