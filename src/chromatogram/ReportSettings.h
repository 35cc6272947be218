#pragma once

#include "RecordFields.h"

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

template <class V> void visitFields(V& v, Record<ReportColumn>)
{
    using C = ReportColumn;
    v.field("key", &C::key);
    v.field("caption", &C::caption);
    v.field("visible", &C::visible);
    v.field("width", &C::width);
}

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
    int showDiagnosis = 1;

    static std::vector<ReportColumn> defaultColumns()
    {
        return {
            {"number", "峰号", 1, 6},           {"retentionTime", "保留时间", 1, 10},
            {"componentName", "组份名", 1, 16}, {"area", "峰面积", 1, 12},
            {"height", "峰高", 1, 12},          {"areaPercent", "面积%", 0, 10},
            {"gasContent", "含量", 1, 12},      {"oilContent", "油中含量", 1, 12},
            {"typeFlags", "峰类型", 0, 14},
        };
    }

    bool operator==(const ReportSettings&) const = default;
};

template <class V> void visitFields(V& v, Record<ReportSettings>)
{
    using S = ReportSettings;
    v.field("language", &S::language);
    v.field("title", &S::title);
    v.field("subtitle", &S::subtitle);
    v.field("laboratory", &S::laboratory);
    v.field("footer", &S::footer);
    v.field("columns", &S::columns);
    v.field("marginLeft", &S::marginLeft);
    v.field("marginTop", &S::marginTop);
    v.field("marginRight", &S::marginRight);
    v.field("marginBottom", &S::marginBottom);
    v.field("showChromatogram", &S::showChromatogram);
    v.field("showPeakTable", &S::showPeakTable);
    v.field("showInstrument", &S::showInstrument);
    v.field("showSampleInfo", &S::showSampleInfo);
    v.field("decimals", &S::decimals);
    if (v.format() >= Format::ReportDiagnosis)
        v.field("showDiagnosis", &S::showDiagnosis);
}

}  // namespace dgaws
