#pragma once

#include "ComponentTable.h"

#include "chromatogram/CalibrationCurve.h"
#include "chromatogram/ChromatogramData.h"
#include "chromatogram/MethodLibrary.h"

namespace dgaws {

// The library curve a document is linked to: the method at `methodIndex` and its curve at
// `curveIndex`; null when either is not a valid position.
const CalibrationCurve* linkedCurve(const MethodLibrary& library, int methodIndex, int curveIndex);
CalibrationCurve* linkedCurve(MethodLibraryEntry* entry, int curveIndex);
const CalibrationCurve* linkedCurve(const MethodLibraryEntry* entry, int curveIndex);

// The table identification and quantitation work from: the linked library curve's, or the
// chromatogram's own copy when it is not linked. Both steps must use the same table, since
// a peak's `componentIndex` is a position in it.
const ComponentTable& componentTableFor(const ChromatogramData& data,
                                        const CalibrationCurve* linked);

// The identification step of the evaluation: every peak loses its component, then each peak
// that is not excluded takes the first entry whose window holds its retention time.
void identify(PeakTable& peaks, const ComponentTable& table);
inline void identify(ChromatogramData& data, const CalibrationCurve* linked)
{
    identify(data.peaks, componentTableFor(data, linked));
}

// True when the peak names a valid entry of the table under that entry's own name; the
// manual assignment only trusts such an identification.
bool identifiedAs(const PeakRecord& peak, const ComponentTable& table);

}  // namespace dgaws
