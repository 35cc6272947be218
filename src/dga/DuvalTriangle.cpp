#include "DuvalTriangle.h"

#include "StoredGasOrder.h"

#include <cmath>

namespace dgaws {

std::optional<DuvalPoint> duvalPoint(double ch4, double c2h4, double c2h2)
{
    const double sum = ch4 + c2h4 + c2h2;
    if (!(ch4 >= 0.0 && c2h4 >= 0.0 && c2h2 >= 0.0) || !std::isfinite(sum) || !(sum > 0.0))
        return std::nullopt;
    return DuvalPoint{100.0 * ch4 / sum, 100.0 * c2h4 / sum, 100.0 * c2h2 / sum};
}

std::optional<DuvalPoint> duvalPoint(const ChromatogramData& data)
{
    return duvalPoint(data.gasInOil[gas::CH4], data.gasInOil[gas::C2H4], data.gasInOil[gas::C2H2]);
}

DuvalZone duvalZone(const DuvalPoint& p)
{
    if (p.ch4 >= 98.0)
        return DuvalZone::PD;
    if (p.c2h2 >= 13.0 && p.c2h4 < 23.0)
        return DuvalZone::D1;
    if (p.c2h2 >= 13.0 && (p.c2h4 < 40.0 || p.c2h2 >= 29.0))
        return DuvalZone::D2;
    if (p.c2h2 < 4.0 && p.c2h4 < 20.0)
        return DuvalZone::T1;
    if (p.c2h2 < 4.0 && p.c2h4 < 50.0)
        return DuvalZone::T2;
    if (p.c2h2 < 15.0 && p.c2h4 >= 50.0)
        return DuvalZone::T3;
    return DuvalZone::DT;
}

const char* duvalZoneCode(DuvalZone zone)
{
    static const char* const kCodes[] = {"PD", "T1", "T2", "T3", "D1", "D2", "DT"};
    return kCodes[static_cast<int>(zone)];
}

const char* duvalZoneName(DuvalZone zone, bool english)
{
    static const char* const kNames[][2] = {
        {"局部放电", "Partial discharge"},
        {"低温过热(t<300℃)", "Thermal fault, t < 300 °C"},
        {"中温过热(300℃<t<700℃)", "Thermal fault, 300 °C < t < 700 °C"},
        {"高温过热(t>700℃)", "Thermal fault, t > 700 °C"},
        {"低能放电", "Discharge of low energy"},
        {"高能放电", "Discharge of high energy"},
        {"电热混合故障", "Electrical and thermal fault"},
    };
    return kNames[static_cast<int>(zone)][english ? 1 : 0];
}

}  // namespace dgaws
