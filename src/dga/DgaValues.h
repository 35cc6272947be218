#pragma once

#include "chromatogram/CalibrationCurve.h"
#include "chromatogram/ChromatogramData.h"

#include <array>
#include <string>
#include <string_view>

namespace dgaws {

// The gases in the order `gasInOil` stores them.
extern const std::array<std::string_view, ChromatogramData::kGasCount> kGasInOilOrder;

// Slot of a component name in `gasInOil`, or -1 for a name that is none of the nine gases.
int gasInOilSlot(std::string_view componentName);

struct DgaCollection {
    bool linkedRead = false;  // the linked chromatogram was read and its values taken
    std::string linkedPath;   // where the linked chromatogram was looked for
    std::string linkedError;  // why it could not be read; empty when there was none to read

    // Half a test: a linked chromatogram is named but could not be read.
    bool incomplete() const { return !linkedError.empty(); }
};

// The words every refusal of half a test begins with: which linked file could not be read
// and why. What was not done follows them.
std::string linkedUnreadableText(const std::string& path, const std::string& reason);

// Fills `gasInOil` and `totalHydrocarbons` from the oil contents of the chromatogram's
// peaks, then from those of the linked chromatogram named by `linkedFile`, which is read
// into `linkedData` and whose values win. The linked file is found as
// linkedChromatogramPath finds it from `ownPath` and `dataFolder`. When the linked file cannot be read, `linkedData` is left as it was and the
// values of the own chromatogram stand. Gases found in neither keep what they held (the
// diagnosis resets them first).
DgaCollection collectDgaValues(ChromatogramData& data, ChromatogramData& linkedData,
                               const std::string& ownPath = {}, const std::string& dataFolder = {});

// Copies the oil contents of the nine gases of one chromatogram's peaks into `gasInOil`;
// a later peak of the same gas wins.
void collectGasInOil(const PeakTable& peaks,
                     std::array<double, ChromatogramData::kGasCount>& gasInOil);

// Why a gas of `gasInOil` holds no measured content: the content of the peak it was taken
// from could not be formed (see quant/ContentStatus), so its 0 is not "no gas". Taken in
// the order collectGasInOil takes the peaks, `data`'s judged with `curve` (the library curve
// it is linked to, if any), then `linked`'s with the method it carries. Empty where the
// content stands or no peak gave it.
using GasNotes = std::array<std::string, ChromatogramData::kGasCount>;
GasNotes uncalibratedGases(const ChromatogramData& data, const CalibrationCurve* curve,
                           const ChromatogramData& linked);

// Whether any of the four hydrocarbons of the total has such a note.
bool totalLeavesOutGases(const GasNotes& notes);

}  // namespace dgaws
