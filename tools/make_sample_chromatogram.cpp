// Writes the sample transformer-oil chromatogram the screenshot opens.
#include "../tests/ui/SampleChromatogram.h"

#include "chromatogram/ChromatogramFile.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.chg\n", argv[0]);
        return 2;
    }
    try {
        dgaws::writeChromatogramFile(argv[1], dgaws::sample::makeSampleChromatogram());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
