#pragma once

namespace dgaws {

// What a row of the manual event table records; the number is what the method stores.
namespace ManualEventKind {
constexpr int MoveStart = 0;
constexpr int MoveApex = 1;
constexpr int MoveEnd = 2;
constexpr int AddPeak = 3;
constexpr int deletePeak = 4;
constexpr int SlantCut = 5;
constexpr int VerticalCut = 6;
constexpr int TailingPeak = 7;
constexpr int RiderBehind = 8;
constexpr int HorizontalBaseline = 9;
constexpr int NegativePeak = 10;
// What a row holds before its real kind is known; never stored by an edit.
constexpr int Undefined = 11;

// "移动峰起点" ... "系统未定义的操作"; the last text for any number outside the table.
const char* text(int kind);
}  // namespace ManualEventKind

}  // namespace dgaws
