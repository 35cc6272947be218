#include "Identification.h"

namespace dgaws {

CalibrationCurve* linkedCurve(MethodLibraryEntry* entry, int curveIndex)
{
    if (entry == nullptr || curveIndex < 0 || curveIndex >= static_cast<int>(entry->curves.size()))
        return nullptr;
    return &entry->curves[static_cast<size_t>(curveIndex)];
}

const CalibrationCurve* linkedCurve(const MethodLibraryEntry* entry, int curveIndex)
{
    return linkedCurve(const_cast<MethodLibraryEntry*>(entry), curveIndex);
}

const CalibrationCurve* linkedCurve(const MethodLibrary& library, int methodIndex, int curveIndex)
{
    if (methodIndex < 0 || methodIndex >= static_cast<int>(library.size()))
        return nullptr;
    return linkedCurve(&library.at(static_cast<size_t>(methodIndex)), curveIndex);
}

const ComponentTable& componentTableFor(const ChromatogramData& data,
                                        const CalibrationCurve* linked)
{
    return linked != nullptr ? linked->components : data.method.components;
}

void identify(PeakTable& peaks, const ComponentTable& table)
{
    for (PeakRecord& p : peaks) {
        p.componentIndex = -1;
        p.componentName.clear();
        if (p.excluded != 0)
            continue;
        const int c = componentAtTime(table, p.retentionTime);
        if (c < 0)
            continue;
        // The position, which `index` mirrors; a stale stored index must not misdirect.
        p.componentIndex = c;
        p.componentName = table[static_cast<size_t>(c)].name;
    }
}

bool identifiedAs(const PeakRecord& peak, const ComponentTable& table)
{
    return validComponentIndex(table, peak.componentIndex) &&
        table[static_cast<size_t>(peak.componentIndex)].name == peak.componentName;
}

}  // namespace dgaws
