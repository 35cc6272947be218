#include "DgaReport.h"

#include "dga/DgaValues.h"
#include "dga/DiagnoseCommand.h"
#include "dga/DuvalPentagon.h"
#include "dga/DuvalTriangle.h"
#include "dga/GasProductionRate.h"
#include "dga/Interpretations.h"
#include "dga/RateRecord.h"
#include "dga/StoredGasOrder.h"
#include "quant/ContentStatus.h"
#include "quant/Identification.h"

#include <cmath>
#include <cstdio>

namespace dgaws {

namespace {

template <class... A> std::string format(const char* pattern, A... values)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, pattern, values...);
    return buffer;
}

bool isGas(const std::string& name)
{
    for (const std::string_view gasName : gas::kComponentNames)
        if (name == gasName)
            return true;
    return false;
}

// The five gases whose ratios the judgement codes.
bool isRatioGas(const std::string& name)
{
    return name == GasSet::CH4 || name == GasSet::C2H2 || name == GasSet::C2H4 ||
        name == GasSet::C2H6 || name == GasSet::H2;
}

// The seven gases that have a production rate (N2 and O2 have none).
bool isRateGas(const std::string& name)
{
    for (const size_t g : rate::kGasOf)
        if (name == gas::kComponentNames[g])
            return true;
    return false;
}

bool kept(const PeakRecord& peak, int filter)
{
    switch (filter) {
    case DgaPrintSettings::ValidComponents: return isGas(peak.componentName);
    case DgaPrintSettings::RatioComponents: return isRatioGas(peak.componentName);
    default: return true;
    }
}

// How a content cell reads: the amount, or why there is none.
struct ContentShown {
    bool uncalibrated = false;
    bool english = false;

    std::string operator()(double content) const
    {
        if (uncalibrated)
            return english ? kNotCalibratedEnglish : kNotCalibratedText;
        return format("%6.4f ", content);
    }
};

std::string cell(DgaPrintSettings::Column column, int rowNumber, const PeakRecord& p,
                 const ChromatogramData& data, const ComponentTable& components,
                 const ContentShown& content)
{
    using C = DgaPrintSettings;
    switch (column) {
    case C::RowNumber: return format("%d", rowNumber);
    case C::ComponentName: return format("%s ", p.componentName.c_str());
    case C::RetentionTime: return format("%6.3f ", p.retentionTime);
    case C::Factor:
        return format("%1.4g ",
                      validComponentIndex(components, p.componentIndex)
                          ? components[size_t(p.componentIndex)].factor1
                          : 0.0);
    case C::GasContent: return content(p.gasContent);
    case C::OilContent: return content(p.oilContent);
    case C::Rate:
        // A rate no diagnosis formed (no previous test, no oil mass or density, or a file
        // just read, since no file stores rates) is left blank: a printed 0 would read as no
        // gas produced.
        return data.working.ratesComputed && isRateGas(p.componentName)
            ? format("%6.4f ", p.workValue)
            : std::string();
    case C::Area: return format("%6.4f ", p.area);
    case C::Height: return format("%6.4f ", p.height);
    case C::HalfWidth: return format("%6.1f ", p.halfWidth);
    case C::PeakType:
    case C::ColumnCount: break;
    }
    return peakTypeName(peakTypeCode(p.typeFlags));
}

// The methods beside the three ratios, the limits and the diagrams, as the diagnosis dialog
// shows them.
std::vector<ReportBlock> interpretationBlocks(const ChromatogramData& data,
                                              const DeviceClass& device, ReportLanguage language)
{
    const bool en = language == ReportLanguage::English;
    std::vector<ReportBlock> blocks;
    const KeyGases gases = KeyGases::of(data);
    const LimitsJudgement limits = judgeLimits(data, device, data.working.ratesComputed);
    blocks.push_back(ReportHeading{en ? "Interpretation Methods" : "各方法诊断结果"});
    // Every test with hydrocarbons falls in some zone; below the limits a zone is no fault.
    if (!limits.anyExceeded())
        blocks.push_back(ReportText{en ? "No limit is exceeded: the methods below are for "
                                         "reference only and do not indicate a fault."
                                       : "各气体含量均未超过注意值，以下判断仅供参考，"
                                         "不表示设备存在故障。"});
    ReportTable methods{{en ? "Method" : "方法", en ? "Zone" : "区域", en ? "Read" : "依据"}, {}};
    for (const Interpretation& i : interpretGases(gases)) {
        std::string used;
        for (const auto& [name, value] : i.used)
            used +=
                (used.empty() ? "" : ", ") + name + " " + (value ? format("%.2f", *value) : "∞");
        methods.rows.push_back({interpretationCaption(i.method, en),
                                i.zone ? *i.zone : std::string(en ? "n/a" : "不适用"), used});
    }
    blocks.push_back(std::move(methods));
    blocks.push_back(
        ReportHeading{std::string(en ? "Limits: " : "限值: ") + limitsBasis(limits, en)});
    ReportTable table{{en ? "Quantity" : "项目", en ? "Check" : "类别", en ? "Value" : "数值",
                       en ? "Limit" : "限值", en ? "Unit" : "单位", en ? "Result" : "判断"},
                      {}};
    for (const LimitCheck& c : limits.checks)
        table.rows.push_back({limitQuantityName(c, en), limitKindName(c, en),
                              format("%.3f", c.value), format("%g", c.limit), c.unit,
                              c.exceeded ? (en ? "EXCEEDED" : "超过") : (en ? "within" : "正常")});
    blocks.push_back(std::move(table));
    if (pentagonShares(gases))
        blocks.push_back(ReportDuval{gases});
    return blocks;
}

}  // namespace

Report reportPage(const ChromatogramData& data, const DgaPrintSettings& settings,
                  const std::string& printedAt)
{
    const ReportSettings& s = data.method.report;
    Report r;
    r.language = reportLanguage(data, settings);
    r.title = s.title;
    r.subtitle = s.subtitle;
    r.laboratory = s.laboratory;
    r.footer = s.footer;
    r.reportNumber = data.method.serialNo;
    r.printedAt = printedAt;
    r.marginLeft = s.marginLeft;
    r.marginTop = s.marginTop;
    r.marginRight = s.marginRight;
    r.marginBottom = s.marginBottom;
    return r;
}

bool usableReportMargin(double millimetres)
{
    return std::isfinite(millimetres) && millimetres >= 0.0 && millimetres <= kMaxReportMargin;
}

ReportLanguage reportLanguage(const ChromatogramData& data, const DgaPrintSettings& settings)
{
    if (settings.language)
        return *settings.language;
    return data.method.report.language == 1 ? ReportLanguage::English : ReportLanguage::Chinese;
}

ReportTable dgaResultTable(const ChromatogramData& data, const ChromatogramData& linked,
                           const DgaPrintSettings& settings, ReportLanguage language,
                           const CalibrationCurve* curve)
{
    ReportTable table;
    std::vector<DgaPrintSettings::Column> columns;
    for (int c = 0; c < DgaPrintSettings::ColumnCount; ++c)
        if (settings.columns[size_t(c)]) {
            columns.push_back(DgaPrintSettings::Column(c));
            table.headers.push_back(dgaColumnTitle(DgaPrintSettings::Column(c), language));
        }
    int number = 0;
    for (const ChromatogramData* d : {&data, &linked}) {
        const CalibrationCurve* own = d == &data ? curve : nullptr;
        const ComponentTable& components = componentTableFor(*d, own);
        const std::vector<bool> uncalibrated = uncalibratedPeaks(*d, own);
        for (int i = 0; i < d->peaks.size(); ++i) {
            const PeakRecord& peak = d->peaks[i];
            if (!kept(peak, settings.filter))
                continue;
            ++number;
            const ContentShown content{uncalibrated[size_t(i)],
                                       language == ReportLanguage::English};
            std::vector<std::string> row;
            for (const auto column : columns)
                row.push_back(cell(column, number, peak, data, components, content));
            table.rows.push_back(std::move(row));
        }
    }
    return table;
}

ReportFields sampleFields(const ChromatogramData& data, const std::string& fileName,
                          ReportLanguage language)
{
    const bool en = language == ReportLanguage::English;
    const AnalysisMethod& m = data.method;
    return ReportFields{{
        {en ? "Sending Company:" : "送样单位:", m.sendingCompany},
        {en ? "Device No.:" : "设备编号:", m.deviceNo},
        {en ? "Serial No.:" : "样品编号:", m.serialNo},
        {en ? "Tester:" : "试验人:", m.tester},
        {en ? "Injection Time:" : "进样时间:", data.injectionTime.format(kInjectTimeFormat)},
        {en ? "File:" : "谱图文件:", fileName},
        {en ? "Method:" : "分析方法:", data.methodName},
        {en ? "Calibration:" : "校正曲线:", data.calibrationName},
    }};
}

std::vector<ReportBlock> dgaBlocks(const ChromatogramData& data, const ChromatogramData& linked,
                                   const DgaPrintSettings& settings, ReportLanguage language,
                                   const CalibrationCurve* curve)
{
    const bool en = language == ReportLanguage::English;
    std::vector<ReportBlock> blocks;
    blocks.push_back(ReportHeading{en ? "Dissolved Gas Analysis" : "油中溶解气体分析结果"});
    blocks.push_back(dgaResultTable(data, linked, settings, language, curve));
    std::string codes;
    if (data.ratioCode1 >= 0 && data.ratioCode2 >= 0 && data.ratioCode3 >= 0)
        codes = format("%3d, %3d, %3d ", data.ratioCode1, data.ratioCode2, data.ratioCode3);
    const std::optional<DuvalPoint> point = duvalPoint(data);
    const std::string zone = point
        ? std::string(duvalZoneCode(duvalZone(*point))) + " " + duvalZoneName(duvalZone(*point), en)
        : std::string();
    std::string total = format("%12.4f ", data.totalHydrocarbons);
    if (totalLeavesOutGases(uncalibratedGases(data, curve, linked)))
        total += en ? kWithoutUncalibratedEnglish : kWithoutUncalibratedText;
    ReportFields results{{
        {en ? "Total Hydrocarbon Conc:" : "总烃含量:", total},
        {en ? "Three Comparing Results:" : "三比值:", codes},
        {en ? "Duval Triangle 1:" : "Duval三角形:", zone},
    }};
    // The rates are counted from this test; a reader years later must know which one. No
    // rates, no test they were counted from.
    if (const std::string previous = previousTestSummary(data.method.testRecord);
        data.working.ratesComputed && !previous.empty())
        results.fields.push_back({en ? "Previous Test:" : kPreviousTestLabel, previous});
    blocks.push_back(std::move(results));
    blocks.push_back(ReportText{en ? "Note: total hydrocarbons are the sum of methane, ethane, "
                                     "ethylene and acetylene."
                                   : "注意:总烃指甲烷、乙烷、乙烯、乙炔四种气体的总和。"});
    blocks.push_back(
        ReportText{std::string(en ? "Breaking-down Type: " : "故障类型: ") + data.conclusion});
    blocks.push_back(
        ReportText{std::string(en ? "Breaking-down Sample: " : "故障实例: ") + data.advice});
    return blocks;
}

Report dgaReport(const ChromatogramData& data, const ChromatogramData& linked,
                 const std::string& fileName, const DgaPrintSettings& settings,
                 const std::string& printedAt, const DeviceClass& device,
                 const CalibrationCurve* curve)
{
    Report r = reportPage(data, settings, printedAt);
    r.title = r.pick("变压器油中溶解气体分析报告", "Dissolved Gas Analysis Report");
    r.subtitle.clear();
    r.blocks.push_back(ReportHeading{r.pick("样品信息", "Sample")});
    r.blocks.push_back(sampleFields(data, fileName, r.language));
    for (ReportBlock& b : dgaBlocks(data, linked, settings, r.language, curve))
        r.blocks.push_back(std::move(b));
    for (ReportBlock& b : interpretationBlocks(data, device, r.language))
        r.blocks.push_back(std::move(b));
    return r;
}

}  // namespace dgaws
