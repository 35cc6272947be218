#pragma once

namespace dgaws {

// The integration events a time-program row can carry, by their stored number.
namespace TimeEventType {
constexpr int None = 0;
constexpr int BaselineNow = 1;
constexpr int BaselineAtNextValley = 2;
constexpr int ForceIndependentOn = 3;
constexpr int ForceIndependentOff = 4;
constexpr int NextPeakRides = 5;
constexpr int AutoTailingOn = 6;
constexpr int AutoTailingOff = 7;
constexpr int HorizontalBaselineOn = 8;
constexpr int HorizontalBaselineOff = 9;
constexpr int AutoPeakWidthOn = 10;
constexpr int AutoPeakWidthOff = 11;
constexpr int IntegrationOn = 12;
constexpr int IntegrationOff = 13;
constexpr int NextPeakNegative = 14;
constexpr int ManualStart = 15;
constexpr int ManualEnd = 16;
constexpr int Count = 17;
}  // namespace TimeEventType

// The list text of a type ("无" ... "此处设定为峰止点"); empty for an unknown number.
const char* timeEventTypeText(int type);

}  // namespace dgaws
