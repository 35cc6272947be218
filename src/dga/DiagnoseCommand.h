#pragma once

#include "DiagnosisEnvironment.h"
#include "TestRecord.h"

#include "chromatogram/ChromatogramData.h"

#include <functional>
#include <optional>
#include <string>

namespace dgaws {

inline constexpr const char* kDiagnoseCommandText = "诊断并查看诊断报告";
inline constexpr const char* kTotalNotObtained = "未能正常获取，请检查含量是否正确";
inline constexpr const char* kInjectTimeFormat = "%Y/%m/%d %H:%M:%S";

// What the diagnosis dialog shows.
struct DiagnosisView {
    std::string totalHydrocarbons;  // "%0.4f", or kTotalNotObtained when exactly 0
    std::string ratioCodes;         // "%d,%d,%d", empty while any code is -1
    std::string conclusion;
    std::string advice;
    int diagnosisCode = -1;
    // Set by diagnose(): the production rates of this diagnosis are in the working results.
    bool ratesComputed = false;
    // Set by diagnose(): why the rates that OutGasRateUsed asks for are missing, in words.
    std::string ratesNotComputed;
    // Set by diagnose(): the class of the transformer the test was judged for.
    DeviceClass device;
    // Set by diagnose(): the previous test the rates were computed against
    // (previousTestSummary); empty without rates.
    std::string previousTest;

    // "三比值判定" is offered only once an attention value was exceeded.
    bool judgementOffered() const { return diagnosisCode != -1; }
    bool operator==(const DiagnosisView&) const = default;
};

DiagnosisView diagnosisView(const ChromatogramData& data);

// The test as the database stores it: the method's serialNo as batch number, the injection
// time, the nine contents in oil with the total hydrocarbons, and as status the attention
// code when a content exceeds its attention value (judged or not; the judgement names the
// fault of an abnormal test, it does not make it normal), else diagnosisCode.
TestRecord makeTestRecord(const ChromatogramData& data);

// How saving a test into the database ended.
enum class TestSaveResult {
    Inserted,
    Replaced,        // the single row of the same device and injection time was rewritten
    NothingWritten,  // two or more rows of that device already hold that injection time
    CompanyNotFound,
    DeviceNotFound,
    Failed,  // the database refused; its message has been shown
};

// Looks the company and the device of that company up by name, fills the record's ids and
// saves it; shows its own messages.
using SaveTestStep = std::function<TestSaveResult(const std::string& company,
                                                  const std::string& device, TestRecord record)>;

// The command "诊断并查看诊断报告" without its dialog: checks the attention values, saves
// the test through `save` (skipped when unset), and returns what the dialog shows. None
// when the linked chromatogram cannot be read (which is shown) or the company or the device
// is unknown: nothing was saved or shown, although the results are already recomputed.
// Given a view, the caller marks the document modified.
std::optional<DiagnosisView> diagnose(ChromatogramData& data, ChromatogramData& linkedData,
                                      const DiagnosisEnvironment& env, const SaveTestStep& save);

// The dialog's "三比值判定": the judgement, then the fields as they show afterwards.
DiagnosisView judgeFromDialog(ChromatogramData& data);

}  // namespace dgaws
