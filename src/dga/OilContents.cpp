#include "OilContents.h"

#include "quant/GasSet.h"
#include "quant/QuantSettings.h"
#include "quant/Quantitation.h"

#include <array>
#include <cmath>
#include <utility>

namespace dgaws {
namespace {

// 0.929 / 101.3: converts the pressure in kPa to atmospheres at the oscillation method's
// reference state.
constexpr double kOscillationFactor = 0.009170779861796643;
// 293 / 101.3: the vacuum method's reference temperature over standard pressure.
constexpr double kVacuumFactor = 2.8923988153998024;

// In the order the conversion compares names.
constexpr std::array<std::pair<std::string_view, double>, 9> kPartition = {{
    {GasSet::H2, 0.06},
    {GasSet::N2, 0.09},
    {GasSet::O2, 0.17},
    {GasSet::CO, 0.12},
    {GasSet::CO2, 0.92},
    {GasSet::CH4, 0.39},
    {GasSet::C2H2, 1.02},
    {GasSet::C2H4, 1.46},
    {GasSet::C2H6, 2.3},
}};

struct Volumes {
    double gas = 0.0;
    double oil = 0.0;
    std::optional<double> ratio;
};

double finiteOrZero(double v)
{
    return std::isfinite(v) ? v : 0.0;
}

std::optional<Volumes> correctedVolumes(const AnalysisMethod& m)
{
    const double t = m.ambientTemperature;
    Volumes v;
    switch (static_cast<QuantMethod>(m.calcMethod)) {
    case QuantMethod::Oscillation:
        v.gas = m.gasVolume * 323.0 / (273.0 + t);
        v.oil = m.oilVolume * (1.0 + 0.0008 * (50.0 - t));
        break;
    case QuantMethod::Vacuum:
        v.gas = m.gasVolume * m.ambientPressure * kVacuumFactor / (273.0 + t);
        v.oil = m.oilVolume * (1.0 + 0.0008 * (20.0 - t));
        break;
    default: return std::nullopt;
    }
    if (std::isfinite(v.gas) && std::isfinite(v.oil) && v.oil != 0.0) {
        const double ratio = v.gas / v.oil;
        if (std::isfinite(ratio))
            v.ratio = ratio;
    }
    v.gas = finiteOrZero(v.gas);
    v.oil = finiteOrZero(v.oil);
    return v;
}

}  // namespace

std::optional<double> partitionCoefficient(std::string_view componentName)
{
    for (const auto& [name, k] : kPartition)
        if (name == componentName)
            return k;
    return std::nullopt;
}

void computeVolumeRatio(ChromatogramData& data)
{
    const auto v = correctedVolumes(data.method);
    if (!v)
        return;
    WorkingResults& w = data.working;
    if (data.method.calcMethod == static_cast<int>(QuantMethod::Oscillation)) {
        w.gasVolumeOscillation = v->gas;
        w.oilVolumeOscillation = v->oil;
    } else {
        w.gasVolumeVacuum = v->gas;
        w.oilVolumeVacuum = v->oil;
    }
    w.volumeRatio = v->ratio.value_or(0.0);
}

void convertPeakToOil(const ChromatogramData& data, PeakRecord& peak)
{
    const auto k = partitionCoefficient(peak.componentName);
    const auto v = correctedVolumes(data.method);
    if (!k || !v)
        return;
    if (!v->ratio) {
        peak.oilContent = 0.0;
        return;
    }
    const double c = peak.gasContent;
    const double oil = data.method.calcMethod == static_cast<int>(QuantMethod::Oscillation)
        ? (*v->ratio + *k) * c * data.method.ambientPressure * kOscillationFactor
        : c * *v->ratio;
    peak.oilContent = finiteOrZero(oil);
}

void quantifyWithOilContents(ChromatogramData& data, const CalibrationCurve* linked)
{
    quantify(data, linked);
    const auto m = static_cast<QuantMethod>(data.method.calcMethod);
    if (m != QuantMethod::Oscillation && m != QuantMethod::Vacuum)
        return;
    computeVolumeRatio(data);
    for (PeakRecord& p : data.peaks)
        convertPeakToOil(data, p);
}

}  // namespace dgaws
