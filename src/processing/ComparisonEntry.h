#pragma once

#include "chromatogram/ChromatogramData.h"

#include <string>
#include <vector>

namespace dgaws {

// One chromatogram of the multi-chromatogram window, with its place in the overlay.
struct ComparisonEntry {
    std::string path;
    int displayAttribute = 0;
    int shown = 1;
    int matched = 0;
    double baseLevel = 0.0;   // mV, for baseline alignment
    double timeShift = 0.0;   // minutes, in the overlay and in the combining operations
    double levelShift = 0.0;  // mV, in the overlay
    int selectedPeak = -1;    // index into data.peaks
    int checked = 0;          // takes part in combining, alignment and deletion
    ChromatogramData data;
    // Two further integers the window keeps with an entry; their use is not settled.
    int spareFlag = 1;
    int spareValue = 0;
};

// The data side of the multi-chromatogram window.
struct ComparisonSet {
    std::vector<ComparisonEntry> entries;
    int current = -1;    // entry in focus in the list
    int reference = -1;  // entry the window was matched to
    int normalize = 0;
    double normStart = 0.0;
    double normEnd = 0.0;
};

}  // namespace dgaws
