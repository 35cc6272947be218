#include "GasProductionRate.h"

#include "StoredGasOrder.h"

#include "chromatogram/ChromatogramFile.h"

#include <cmath>
#include <cstring>
#include <ctime>
#include <utility>

namespace dgaws {
namespace {

// The seven gases of the rates, as rate slots.
std::optional<rate::Slot> rateSlotOf(const std::string& componentName)
{
    for (size_t r = 0; r < rate::Count; ++r)
        if (componentName == gas::kComponentNames[rate::kGasOf[r]])
            return static_cast<rate::Slot>(r);
    return std::nullopt;
}

std::optional<long long> localCalendarSeconds(const OleDateTime& t)
{
    std::tm tm{};
    if (!t.toTm(tm))
        return std::nullopt;
    tm.tm_isdst = -1;  // the calendar decides whether summer time applied then
    return static_cast<long long>(std::mktime(&tm));
}

void recomputeTotalRate(WorkingResults& w)
{
    w.gasRates[rate::TotalHydrocarbons] = w.gasRates[rate::CH4] + w.gasRates[rate::C2H6] +
        w.gasRates[rate::C2H4] + w.gasRates[rate::C2H2];
}

void ratesOfPeaks(ChromatogramData& chromatogram, const TestRecordBlock& previous, long long days,
                  double oilMass, double density)
{
    for (int i = 0; i < chromatogram.peaks.size(); ++i) {
        PeakRecord& p = chromatogram.peaks[i];
        const auto slot = rateSlotOf(p.componentName);
        if (!slot)
            continue;
        p.workValue =
            gasProductionRate(p.oilContent, previous.values[*slot], days, oilMass, density);
        chromatogram.working.gasRates[*slot] = p.workValue;
    }
    recomputeTotalRate(chromatogram.working);
}

void collectPeakRates(WorkingResults& into, const ChromatogramData& chromatogram)
{
    for (int i = 0; i < chromatogram.peaks.size(); ++i) {
        const PeakRecord& p = chromatogram.peaks[i];
        if (const auto slot = rateSlotOf(p.componentName))
            into.gasRates[*slot] = p.workValue;
    }
}

}  // namespace

bool hasPreviousTest(const TestRecordBlock& previous)
{
    return previous.testTime.isValid() && previous.testTime.date != 0.0;
}

std::string missingRateInputs(const ChromatogramData& data)
{
    // A mass or density of 0 would make every rate 0/0; a negative one is no quantity of
    // oil either.
    const auto absent = [](double v) { return !(std::isfinite(v) && v > 0.0); };
    std::string missing;
    const auto lack = [&missing](const char* what) {
        missing += missing.empty() ? kRatesLack : "、";
        missing += what;
    };
    if (!hasPreviousTest(data.method.testRecord))
        lack(kPreviousTestName);
    if (absent(data.method.oilValue1))
        lack(kOilMassName);
    if (absent(data.method.oilValue2))
        lack(kOilDensityName);
    return missing;
}

std::optional<long long> wholeDaysBetween(const OleDateTime& previous, const OleDateTime& injection)
{
    const auto from = localCalendarSeconds(previous);
    const auto to = localCalendarSeconds(injection);
    if (!from || !to)
        return std::nullopt;
    return (*to - *from) / 86400;  // integer division cuts towards zero
}

double gasProductionRate(double current, double previous, long long days, double oilMassT,
                         double densityTPerM3)
{
    return (current - previous) / static_cast<double>(days) * (oilMassT / densityTPerM3);
}

RateOutcome computeGasProductionRates(ChromatogramData& data, ChromatogramData& linkedData,
                                      const DiagnosisEnvironment& env)
{
    const TestRecordBlock previous = data.method.testRecord;
    const double oilMass = data.method.oilValue1;
    const double density = data.method.oilValue2;

    if (std::string missing = missingRateInputs(data); !missing.empty())
        return {false, std::move(missing)};
    const auto days = wholeDaysBetween(previous.testTime, data.injectionTime);
    if (!days) {
        // A date without a calendar form cannot be counted in days at all.
        env.message(kRateComputationFailed);
        return {false, kRateComputationFailed};
    }
    long long d = *days;
    if (d <= 0) {
        if (!env.askYesNo(kLessThanADayQuestion)) {
            env.message(kRateComputationFailed);
            return {false, kRateComputationFailed};
        }
        d = 1;
    }

    ratesOfPeaks(data, previous, d, oilMass, density);
    if (!data.linkedFile.empty()) {
        try {
            linkedData = env.readLinked ? env.readLinked(data.linkedFile)
                                        : readChromatogramFile(data.linkedFile);
            ratesOfPeaks(linkedData, previous, d, oilMass, density);
        } catch (const std::exception&) {
            // The rates of the own chromatogram stand; peaks of a chromatogram that could
            // not be read must not lend it rates of another one.
            linkedData = ChromatogramData{};
        }
    }
    return {true, {}};
}

void collectGasRates(ChromatogramData& data, const ChromatogramData& linkedData)
{
    collectPeakRates(data.working, data);
    collectPeakRates(data.working, linkedData);
    recomputeTotalRate(data.working);
}

}  // namespace dgaws
