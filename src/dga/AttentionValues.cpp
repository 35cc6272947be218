#include "AttentionValues.h"

#include "GasProductionRate.h"
#include "StoredGasOrder.h"

#include <cstdio>
#include <stdexcept>

namespace dgaws {

std::string attentionExceededText(const char* gasName, double limit)
{
    char number[64];
    std::snprintf(number, sizeof number, "%g", limit);
    return std::string(gasName) + "含量超过了" + number + "uL/L，请注意\r\n";
}

void compareAttentionValues(ChromatogramData& data, const AttentionLimits& limits)
{
    data.conclusion = kContentsNormal;
    data.advice.clear();
    const auto exceeded = [&data](const std::string& text) {
        data.conclusion = kAttentionExceeded;
        data.diagnosisCode = kAttentionExceededCode;
        data.advice += text;
    };
    if (data.gasInOil[gas::H2] >= limits.hydrogen)
        exceeded(attentionExceededText("氢气", limits.hydrogen));
    if (data.gasInOil[gas::C2H2] > limits.acetylene)
        exceeded(attentionExceededText("乙炔", limits.acetylene));
    if (data.totalHydrocarbons >= limits.totalHydrocarbons)
        exceeded(attentionExceededText("总烃", limits.totalHydrocarbons));
    if (data.advice.empty())
        data.advice = kContentsNormal;
}

std::string linkedFileUnreadable(const std::string& path, const std::string& reason)
{
    return "无法读取关联文件 " + path + "：" + reason + "；诊断未完成，结果未保存。";
}

AttentionCheck checkAttentionValues(ChromatogramData& data, ChromatogramData& linkedData,
                                    const DiagnosisEnvironment& env)
{
    if (!env.collect)
        throw std::logic_error("the diagnosis has no collection step");
    AttentionCheck check;
    data.resetResults();
    const DgaCollection collected = env.collect(data, linkedData);
    // Half a test judged as a whole one would read the other channel's gases as 0.
    if (!collected.linkedError.empty()) {
        check.linkedError = linkedFileUnreadable(collected.linkedPath, collected.linkedError);
        return check;
    }
    if (env.outGasRateUsed) {
        // A refused or impossible rate computation leaves the rates at their reset; the
        // contents still deserve their comparison.
        const RateOutcome rates = computeGasProductionRates(data, linkedData, env);
        check.ratesComputed = rates.computed;
        check.ratesNotComputed = rates.whyNot;
        if (rates.computed) {
            collectGasRates(data, linkedData);
            data.working.ratesComputed = true;
        }
    }
    compareAttentionValues(data, attentionLimitsFor(env.device));
    return check;
}

}  // namespace dgaws
