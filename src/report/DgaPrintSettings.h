#pragma once

#include "Report.h"

#include <array>
#include <optional>
#include <string>

namespace dgaws {

// "诊断结果的打印设置": which peaks the DGA result table lists and which of its columns print.
struct DgaPrintSettings {
    enum Filter { AllComponents = 0, ValidComponents = 1, RatioComponents = 2 };
    enum Column {
        RowNumber,
        ComponentName,
        RetentionTime,
        Factor,
        GasContent,
        OilContent,
        Rate,
        Area,
        Height,
        HalfWidth,
        PeakType,
        ColumnCount
    };
    static constexpr const char* kCaption = "诊断结果的打印设置";
    static constexpr const char* kFilterTexts[] = {
        "打印所有组份", "打印有效组份(变压器油诊断分析的组份)", "打印参与三比值计算的组份"};

    int filter = ValidComponents;
    std::array<bool, ColumnCount> columns = {true, true,  true,  false, true, true,
                                             true, false, false, false, false};
    // The titles' language; none: the method's report settings decide.
    std::optional<ReportLanguage> language;

    bool operator==(const DgaPrintSettings&) const = default;
};

// The column titles of the DGA result table in the table's order.
const char* dgaColumnTitle(DgaPrintSettings::Column column, ReportLanguage language);

// Kept in the settings file (group "Print"); a missing or damaged value keeps its default.
DgaPrintSettings loadDgaPrintSettings(const std::string& settingsFile);
void saveDgaPrintSettings(const std::string& settingsFile, const DgaPrintSettings& settings);

}  // namespace dgaws
