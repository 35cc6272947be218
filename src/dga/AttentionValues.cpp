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

bool CheckAttentionValues(ChromatogramData& data, ChromatogramData& linkedData,
                          const DiagnosisEnvironment& env)
{
    if (!env.collect)
        throw std::logic_error("the diagnosis has no collection step");
    data.resetResults();
    env.collect(data, linkedData);
    // A refused or failed rate computation has told the operator; the contents still
    // deserve their comparison.
    const bool rates = env.outGasRateUsed && ComputeGasProductionRates(data, linkedData, env);
    if (rates)
        CollectGasRates(data, linkedData);
    compareAttentionValues(data);
    return rates;
}

}  // namespace dgaws
