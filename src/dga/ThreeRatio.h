#pragma once

#include "chromatogram/ChromatogramData.h"

#include <optional>

namespace dgaws {

// The three ratios of the judgement, in the order of their code digits.
enum class GasRatio { C2H2_C2H4, CH4_H2, C2H4_C2H6 };

// The code digit (0, 1 or 2) of one ratio. A zero denominator is coded from its own column
// of the table and never divided by.
int ratioCode(GasRatio ratio, double numerator, double denominator);

struct FaultType {
    int diagnosisCode;
    int diagnosisCode2;
    const char* conclusion;
    const char* advice;
};

inline constexpr const char* kOverheatingCauses =
    "分接开关接触不良,引线夹件螺丝松动或接头焊接不良,涡流引起铜过热,铁心漏磁,局部短路,层间绝缘不良,"
    "铁心多点接等";
inline constexpr const char* kSparkingCauses =
    "引线对电位未固定的部件之间连续火花放电,分接抽头引线和油隙闪络,"
    "不同电位之间的油中火花放电或悬浮电位之间的火花放电";
inline constexpr const char* kArcingCauses =
    "线圈匝间、层间短路,"
    "相间闪络、分接头引线间油隙闪络、引线对箱壳放电、线圈熔断、分接头开关飞弧、因环路电流引起电弧、"
    "引线对其他接地体放电";

// The fault named by three code digits; none for the combinations the table leaves open.
std::optional<FaultType> lookUpFault(int c2h2c2h4, int ch4h2, int c2h4c2h6);

// Codes the ratios of gasInOil into ratioCode1..3 (and the ratio values whose denominator
// is not 0 into the working results), then sets diagnosisCode, diagnosisCode2, conclusion
// and advice from the fault table. Without a match only the codes and ratios change.
void judgeThreeRatio(ChromatogramData& data);

}  // namespace dgaws
