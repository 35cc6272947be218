#pragma once

#include "DiagnosisEnvironment.h"

#include "chromatogram/ChromatogramData.h"

#include <optional>
#include <string>

namespace dgaws {

inline constexpr const char* kLessThanADayQuestion =
    "绝对产气率计算的数据是以日为单位，您两次的实验数据还未达到一天的时间间隔，需要强制转化为1计算"
    "吗?";
inline constexpr const char* kRateComputationFailed = "产气率计算失败!";
// What a rate needs, as the operator reads it when one is missing.
inline constexpr const char* kRatesLack = "未计算产气率：缺少";
inline constexpr const char* kPreviousTestName = "上次实验数据";
inline constexpr const char* kOilMassName = "设备总油量";
inline constexpr const char* kOilDensityName = "油的密度";

// Whether the record holds a test at all: one never taken keeps the calendar's zero date,
// which would count some 46 000 days.
bool hasPreviousTest(const TestRecordBlock& previous);

// What the rates of `data` need and its method copy lacks (the previous test, the oil mass
// or the density of the equipment), in words, e.g. "未计算产气率：缺少设备总油量、油的密度";
// empty when nothing is missing.
std::string missingRateInputs(const ChromatogramData& data);

// Whole days from `previous` to `injection`: both taken as local calendar times to the
// second, the difference in seconds divided by 86400 and cut towards zero. None when either
// date has no calendar form (invalid, null, or beyond any calendar).
std::optional<long long> wholeDaysBetween(const OleDateTime& previous,
                                          const OleDateTime& injection);

// The absolute production rate in mL per day: the growth in uL/L per day times the oil
// volume of the equipment in m3 (oil mass in t over density in t/m3).
double gasProductionRate(double current, double previous, long long days, double oilMassT,
                         double densityTPerM3);

// Rates of the gases of `data`'s peaks (and of the linked chromatogram's, read afresh into
// `linkedData` when linkedFile names one) against the previous test held in the method's
// testRecord, with the equipment's oil mass and density of the method. Each peak of one of
// the seven gases gets its rate in workValue, each chromatogram's working results the rate
// per gas and of the total hydrocarbons. Without a previous test, an oil mass or a density
// nothing is written and nothing asked. With less than a day between the tests the
// environment is asked whether to count one day; refused, it shows the failure and nothing
// is written.
struct RateOutcome {
    bool computed = false;
    std::string whyNot;  // in words, when not computed
};
RateOutcome computeGasProductionRates(ChromatogramData& data, ChromatogramData& linkedData,
                                      const DiagnosisEnvironment& env);

// Copies the per-peak rates of `data` and then of `linkedData` into `data`'s working rates
// (a later peak of the same gas wins) and recomputes the total hydrocarbon rate.
void collectGasRates(ChromatogramData& data, const ChromatogramData& linkedData);

}  // namespace dgaws
