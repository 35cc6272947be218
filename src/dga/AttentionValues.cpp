#include "AttentionValues.h"

#include "GasProductionRate.h"
#include "StoredGasOrder.h"

#include <stdexcept>

namespace dgaws {

void compareAttentionValues(ChromatogramData& data)
{
    data.conclusion = kContentsNormal;
    data.advice.clear();
    const auto exceeded = [&data](const char* text) {
        data.conclusion = kAttentionExceeded;
        data.diagnosisCode = kAttentionExceededCode;
        data.advice += text;
    };
    if (data.gasInOil[gas::H2] >= kHydrogenAttention)
        exceeded(kHydrogenExceeded);
    if (data.gasInOil[gas::C2H2] > kAcetyleneAttention)
        exceeded(kAcetyleneExceeded);
    if (data.totalHydrocarbons >= kTotalHydrocarbonAttention)
        exceeded(kTotalHydrocarbonsExceeded);
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
        if (rates.computed)
            collectGasRates(data, linkedData);
    }
    compareAttentionValues(data);
    return check;
}

}  // namespace dgaws
