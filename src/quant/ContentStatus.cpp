#include "ContentStatus.h"

#include "CalibrationFit.h"
#include "Identification.h"
#include "QuantSettings.h"

namespace dgaws {

namespace {

bool usesCurves(QuantMethod m)
{
    return m == QuantMethod::CorrectedNormalisation || m == QuantMethod::InternalStandard ||
        m == QuantMethod::ExponentialExternalStandard || isExternalStandard(m);
}

bool scalesBySampleAmount(QuantMethod m)
{
    return m == QuantMethod::InternalStandard || m == QuantMethod::ExponentialExternalStandard ||
        isExternalStandard(m);
}

}  // namespace

std::string uncalibratedReason(const ChromatogramData& data, const CalibrationCurve* linked,
                               int index)
{
    if (index < 0 || index >= data.peaks.size())
        return {};
    const FitSettings settings = FitSettings::of(data.method);
    if (!usesCurves(settings.method))
        return {};
    const PeakRecord& p = data.peaks[index];
    const ComponentTable& table = componentTableFor(data, linked);
    if (p.excluded != 0 || !validComponentIndex(table, p.componentIndex))
        return {};
    const ComponentEntry& c = table[static_cast<size_t>(p.componentIndex)];
    // These are counted elsewhere and carry no content of their own by design.
    if (settings.groupCalc && c.groupParentIndex != -1)
        return {};
    if (settings.method == QuantMethod::InternalStandard && c.isInternalStandard)
        return {};
    // Any response will do: the curve either maps responses to amounts or it does not.
    if (!curveAmount(c, settings.axis, 1.0))
        return "组份" + c.name + "没有可用的校正曲线";
    if (scalesBySampleAmount(settings.method) && data.sampleAmount == 0.0)
        return "样品量为0";
    return {};
}

std::vector<bool> uncalibratedPeaks(const ChromatogramData& data, const CalibrationCurve* linked)
{
    std::vector<bool> flags(static_cast<size_t>(data.peaks.size()), false);
    for (int i = 0; i < data.peaks.size(); ++i)
        flags[static_cast<size_t>(i)] = !uncalibratedReason(data, linked, i).empty();
    return flags;
}

}  // namespace dgaws
