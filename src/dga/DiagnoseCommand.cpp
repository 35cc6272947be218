#include "DiagnoseCommand.h"

#include "AttentionValues.h"
#include "RateRecord.h"
#include "StoredGasOrder.h"
#include "ThreeRatio.h"

#include <cstdio>

namespace dgaws {
namespace {

std::string ratioCodesText(const ChromatogramData& d)
{
    if (d.ratioCode1 == -1 || d.ratioCode2 == -1 || d.ratioCode3 == -1)
        return {};
    char buf[48];
    std::snprintf(buf, sizeof buf, "%d,%d,%d", d.ratioCode1, d.ratioCode2, d.ratioCode3);
    return buf;
}

// An abnormal test stays abnormal once judged: the judgement names its fault, it does not
// clear it. The attention rule is asked again on the contents alone.
bool attentionExceeded(const ChromatogramData& data)
{
    ChromatogramData contents;
    contents.gasInOil = data.gasInOil;
    contents.totalHydrocarbons = data.totalHydrocarbons;
    compareAttentionValues(contents);
    return contents.diagnosisCode == kAttentionExceededCode;
}

}  // namespace

DiagnosisView diagnosisView(const ChromatogramData& data)
{
    DiagnosisView v;
    if (data.totalHydrocarbons == 0.0) {
        v.totalHydrocarbons = kTotalNotObtained;
    } else {
        char buf[400];  // "%0.4f" of the largest double is 309 digits and the fraction
        std::snprintf(buf, sizeof buf, "%0.4f", data.totalHydrocarbons);
        v.totalHydrocarbons = buf;
    }
    v.ratioCodes = ratioCodesText(data);
    v.conclusion = data.conclusion;
    v.advice = data.advice;
    v.diagnosisCode = data.diagnosisCode;
    return v;
}

TestRecord makeTestRecord(const ChromatogramData& data)
{
    TestRecord r;
    r.batchNo = data.method.serialNo;
    r.injectTime = data.injectionTime.format(kInjectTimeFormat);
    const auto& g = data.gasInOil;
    r.values = {g[gas::H2], g[gas::CH4], g[gas::C2H6], g[gas::C2H4], g[gas::C2H2],
                g[gas::CO], g[gas::CO2], g[gas::O2],   g[gas::N2],   data.totalHydrocarbons};
    r.status = attentionExceeded(data) ? kAttentionExceededCode : data.diagnosisCode;
    return r;
}

std::optional<DiagnosisView> diagnose(ChromatogramData& data, ChromatogramData& linkedData,
                                      const DiagnosisEnvironment& env, const SaveTestStep& save)
{
    const AttentionCheck check = checkAttentionValues(data, linkedData, env);
    if (!check.linkedError.empty()) {
        env.message(check.linkedError);
        return std::nullopt;
    }
    if (save) {
        const TestSaveResult saved =
            save(data.method.sendingCompany, data.method.deviceNo, makeTestRecord(data));
        if (saved == TestSaveResult::CompanyNotFound || saved == TestSaveResult::DeviceNotFound)
            return std::nullopt;
        // A database that refused the row has said so; the diagnosis itself stands and is
        // still shown.
    }
    DiagnosisView view = diagnosisView(data);
    view.ratesComputed = check.ratesComputed;
    view.ratesNotComputed = check.ratesNotComputed;
    view.device = env.device;
    if (check.ratesComputed)
        view.previousTest = previousTestSummary(data.method.testRecord);
    return view;
}

DiagnosisView judgeFromDialog(ChromatogramData& data)
{
    judgeThreeRatio(data);
    return diagnosisView(data);
}

}  // namespace dgaws
