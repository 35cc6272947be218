#include "ThreeRatio.h"

#include "StoredGasOrder.h"

#include <array>

namespace dgaws {
namespace {

// Per ratio: codes for r < 0.1, 0.1 <= r < 1, 1 <= r < 3, r >= 3, then for a zero
// denominator with a non-zero numerator and for both zero.
struct CodeRow {
    std::array<int, 4> byRange;
    int zeroDenominator;
    int bothZero;
};

constexpr CodeRow kCodes[] = {
    {{0, 1, 1, 2}, 2, 0},  // C2H2/C2H4
    {{1, 0, 2, 2}, 2, 1},  // CH4/H2
    {{0, 0, 1, 2}, 2, 0},  // C2H4/C2H6
};

constexpr const char* kLowOverheatingAdvice = "绝缘导线过热，注意CO和CO2含量和CO2/CO的值";
constexpr const char* kPartialDischargeAdvice = "高湿度,高含气量引起油中低能量密度的局部放电";

// A code of 2 for C2H2/C2H4 (3 or more) is sparking, a code of 1 (0.1 to 3) is arcing, as
// the national guide and the inspected fault records have it.
std::optional<FaultType> dischargeFault(int c2h2c2h4, int ch4h2)
{
    const bool withOverheating = ch4h2 == 2;
    if (c2h2c2h4 == 2)
        return withOverheating ? FaultType{6, 3, "低能放电兼过热", kSparkingCauses}
                               : FaultType{5, 3, "低能放电", kSparkingCauses};
    return withOverheating ? FaultType{8, 4, "电弧放电兼过热", kArcingCauses}
                           : FaultType{7, 4, "电弧放电", kArcingCauses};
}

bool validCode(int c)
{
    return c >= 0 && c <= 2;
}

}  // namespace

int ratioCode(GasRatio ratio, double numerator, double denominator)
{
    const CodeRow& row = kCodes[static_cast<int>(ratio)];
    if (denominator == 0.0)
        return numerator == 0.0 ? row.bothZero : row.zeroDenominator;
    const double r = numerator / denominator;
    if (r < 0.1)
        return row.byRange[0];
    if (r < 1.0)
        return row.byRange[1];
    if (r < 3.0)
        return row.byRange[2];
    return row.byRange[3];
}

std::optional<FaultType> lookUpFault(int c2h2c2h4, int ch4h2, int c2h4c2h6)
{
    if (!validCode(c2h2c2h4) || !validCode(ch4h2) || !validCode(c2h4c2h6))
        return std::nullopt;
    if (c2h2c2h4 != 0)
        return dischargeFault(c2h2c2h4, ch4h2);
    if (c2h4c2h6 == 2)
        return FaultType{3, 1, "高温过热(高于700)℃", kOverheatingCauses};
    if (ch4h2 == 2)
        return c2h4c2h6 == 0 ? FaultType{1, 1, "低温过热(150～300)℃", kOverheatingCauses}
                             : FaultType{2, 1, "中温过热(300～700)℃", kOverheatingCauses};
    if (ch4h2 == 0 && c2h4c2h6 == 1)
        return FaultType{0, 0, "低温过热(低于150℃)", kLowOverheatingAdvice};
    if (ch4h2 == 1 && c2h4c2h6 == 0)
        return FaultType{4, 2, "局部放电", kPartialDischargeAdvice};
    return std::nullopt;  // 0,0,0 and 0,1,1
}

void judgeThreeRatio(ChromatogramData& data)
{
    const auto& g = data.gasInOil;
    struct Operand {
        GasRatio ratio;
        double numerator;
        double denominator;
        double* value;
        int* code;
    };
    const Operand operands[] = {
        {GasRatio::C2H2_C2H4, g[gas::C2H2], g[gas::C2H4], &data.working.ratioC2H2C2H4,
         &data.ratioCode1},
        {GasRatio::CH4_H2, g[gas::CH4], g[gas::H2], &data.working.ratioCH4H2, &data.ratioCode2},
        {GasRatio::C2H4_C2H6, g[gas::C2H4], g[gas::C2H6], &data.working.ratioC2H4C2H6,
         &data.ratioCode3},
    };
    for (const Operand& o : operands) {
        if (o.denominator != 0.0)
            *o.value = o.numerator / o.denominator;
        *o.code = ratioCode(o.ratio, o.numerator, o.denominator);
    }
    if (const auto fault = lookUpFault(data.ratioCode1, data.ratioCode2, data.ratioCode3)) {
        data.diagnosisCode = fault->diagnosisCode;
        data.diagnosisCode2 = fault->diagnosisCode2;
        data.conclusion = fault->conclusion;
        data.advice = fault->advice;
    }
}

}  // namespace dgaws
