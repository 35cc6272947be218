#pragma once

#include <string>
#include <vector>

namespace dgaws {

// One column of the printed result table; `key` is the PeakRecord field it shows.
struct ReportColumn {
    std::string key;
    std::string caption;
    int visible = 1;
    int width = 12;  // characters

    bool operator==(const ReportColumn&) const = default;
};

// What the analysis and diagnosis reports print, carried by every method.
struct ReportSettings {
    int language = 0;  // 0 Chinese, 1 English
    std::string title = "色谱分析报告";
    std::string subtitle;
    std::string laboratory;
    std::string footer;
    std::vector<ReportColumn> columns = defaultColumns();
    double marginLeft = 20.0;  // millimetres
    double marginTop = 20.0;
    double marginRight = 20.0;
    double marginBottom = 20.0;
    int showChromatogram = 1;
    int showPeakTable = 1;
    int showInstrument = 1;
    int showSampleInfo = 1;
    int decimals = 3;
    int showDiagnosis = 1;  // stored from format 753 on

    static std::vector<ReportColumn> defaultColumns()
    {
        return {
            {"number", "峰号", 1, 6},
            {"retentionTime", "保留时间", 1, 10},
            {"componentName", "组份名", 1, 16},
            {"area", "峰面积", 1, 12},
            {"height", "峰高", 1, 12},
            {"areaPercent", "面积%", 0, 10},
            {"gasContent", "含量", 1, 12},
            {"oilContent", "油中含量", 1, 12},
            {"typeFlags", "峰类型", 0, 14},
        };
    }

    bool operator==(const ReportSettings&) const = default;
};

}  // namespace dgaws
