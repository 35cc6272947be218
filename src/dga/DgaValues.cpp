#include "DgaValues.h"

#include "quant/ContentStatus.h"
#include "quant/GasSet.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/LinkedChromatogram.h"

#include <exception>

namespace dgaws {

const std::array<std::string_view, ChromatogramData::kGasCount> kGasInOilOrder = {
    GasSet::H2, GasSet::CH4, GasSet::C2H2, GasSet::C2H4, GasSet::C2H6,
    GasSet::N2, GasSet::O2,  GasSet::CO,   GasSet::CO2,
};

int gasInOilSlot(std::string_view componentName)
{
    for (size_t i = 0; i < kGasInOilOrder.size(); ++i)
        if (kGasInOilOrder[i] == componentName)
            return static_cast<int>(i);
    return -1;
}

void collectGasInOil(const PeakTable& peaks,
                     std::array<double, ChromatogramData::kGasCount>& gasInOil)
{
    for (const PeakRecord& p : peaks) {
        const int slot = gasInOilSlot(p.componentName);
        if (slot >= 0)
            gasInOil[static_cast<size_t>(slot)] = p.oilContent;
    }
}

GasNotes uncalibratedGases(const ChromatogramData& data, const CalibrationCurve* curve,
                           const ChromatogramData& linked)
{
    GasNotes notes;
    const auto take = [&notes](const ChromatogramData& d, const CalibrationCurve* c) {
        for (int i = 0; i < d.peaks.size(); ++i) {
            const int slot = gasInOilSlot(d.peaks[i].componentName);
            if (slot >= 0)
                notes[static_cast<size_t>(slot)] = uncalibratedReason(d, c, i);
        }
    };
    take(data, curve);
    take(linked, nullptr);
    return notes;
}

bool totalLeavesOutGases(const GasNotes& notes)
{
    for (const std::string_view g : {GasSet::CH4, GasSet::C2H2, GasSet::C2H4, GasSet::C2H6})
        if (!notes[static_cast<size_t>(gasInOilSlot(g))].empty())
            return true;
    return false;
}

std::string linkedUnreadableText(const std::string& path, const std::string& reason)
{
    return "无法读取关联文件 " + path + "：" + reason;
}

DgaCollection collectDgaValues(ChromatogramData& data, ChromatogramData& linkedData,
                               const std::string& ownPath, const std::string& dataFolder)
{
    DgaCollection result;
    collectGasInOil(data.peaks, data.gasInOil);

    if (!data.linkedFile.empty()) {
        result.linkedPath = linkedChromatogramPath(data.linkedFile, ownPath, dataFolder);
        try {
            ChromatogramData read = readChromatogramFile(result.linkedPath);
            linkedData = std::move(read);
            collectGasInOil(linkedData.peaks, data.gasInOil);
            result.linkedRead = true;
        } catch (const std::exception& e) {
            result.linkedError = e.what();
        }
    }

    const auto& g = data.gasInOil;
    data.totalHydrocarbons = g[1] + g[2] + g[3] + g[4];
    return result;
}

}  // namespace dgaws
