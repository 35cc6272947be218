#include "AnalysisReport.h"

#include "DgaReport.h"

#include "app/ResultRows.h"
#include "quant/ContentStatus.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace dgaws {

namespace {

// Where a column of the report settings is in the window's result table, and its English
// title.
struct ResultColumn {
    int position;
    const char* english;
};

const std::map<std::string, ResultColumn>& resultColumns()
{
    static const std::map<std::string, ResultColumn> columns = {
        {"number", {1, "Peak No."}},      {"componentName", {2, "Name"}},
        {"retentionTime", {3, "R.Time"}}, {"height", {4, "Height"}},
        {"area", {5, "Area(uV*s)"}},      {"areaPercent", {6, "Area%"}},
        {"gasContent", {7, "Conc(gas)"}}, {"oilContent", {8, "Conc(oil)"}},
        {"typeFlags", {9, "PeakType"}},
    };
    return columns;
}

// The window's words for a content that could not be formed, as an English report says them.
std::string englishCell(const std::string& cell)
{
    if (cell == kNotCalibratedText)
        return kNotCalibratedEnglish;
    if (cell == kWithoutUncalibratedText)
        return kWithoutUncalibratedEnglish;
    return cell;
}

ReportTable peakTable(const ChromatogramData& data, const CalibrationCurve* curve,
                      ReportLanguage language)
{
    const bool en = language == ReportLanguage::English;
    std::vector<int> positions;
    ReportTable table;
    for (const ReportColumn& c : data.method.report.columns) {
        const auto known = resultColumns().find(c.key);
        if (!c.visible || known == resultColumns().end())
            continue;
        positions.push_back(known->second.position);
        table.headers.push_back(en ? known->second.english : c.caption);
    }
    ResultRows::Options options;
    options.uncalibrated = uncalibratedPeaks(data, curve);
    constexpr size_t kTypeColumn = 9;  // where the totals row notes what it leaves out
    const bool typePrinted =
        std::find(positions.begin(), positions.end(), int(kTypeColumn)) != positions.end();
    const auto shown = [en](const std::string& cell) { return en ? englishCell(cell) : cell; };
    for (const ResultRows::Row& row : ResultRows::build(data.peaks, options)) {
        std::vector<std::string> cells;
        for (const int p : positions)
            cells.push_back(shown(row.cells[size_t(p)]));
        // The totals row says so in its first printed cell, and what its sums leave out
        // even when the peak type column is not printed.
        if (row.isTotals() && !cells.empty() && cells.front().empty())
            cells.front() = en ? "Total" : ResultRows::kTotalsLabel;
        if (row.isTotals() && !typePrinted && !row.cells[kTypeColumn].empty() && !cells.empty())
            cells.front() += "(" + shown(row.cells[kTypeColumn]) + ")";
        table.rows.push_back(std::move(cells));
    }
    return table;
}

std::string format(const char* pattern, double v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, v);
    return buffer;
}

bool diagnosed(const ChromatogramData& d)
{
    return d.diagnosisCode != -1 || d.totalHydrocarbons != 0.0 || !d.conclusion.empty() ||
        !d.advice.empty();
}

}  // namespace

ReportTable groupResultTable(const ChromatogramData& data, ReportLanguage language)
{
    const bool en = language == ReportLanguage::English;
    ReportTable table;
    if (en)
        table.headers = {"GroupNo",     "GroupName", "PeakNumber",
                         "TotalHeight", "TotalArea", "TotalConc"};
    else
        table.headers = {"组号", "组名", "峰个数", "总峰高", "总面积", "总含量"};
    for (const GroupResult& g : data.groupResults)
        table.rows.push_back({std::to_string(g.groupNo), g.groupName, std::to_string(g.peakCount),
                              format("%1.1lf", g.totalHeight), format("%1.1lf", g.totalArea),
                              format("%1.4lf", g.totalContent)});
    return table;
}

Report analysisReport(const ChromatogramData& data, const ChromatogramData& linked,
                      const std::string& fileName, const DgaPrintSettings& settings,
                      const std::string& printedAt, const CalibrationCurve* curve)
{
    const ReportSettings& s = data.method.report;
    Report r = reportPage(data, settings, printedAt);
    const bool en = r.language == ReportLanguage::English;

    if (s.showSampleInfo) {
        r.blocks.push_back(ReportHeading{en ? "Sample" : "样品信息"});
        r.blocks.push_back(sampleFields(data, fileName, r.language));
    }
    if (s.showInstrument) {
        ReportFields instrument;
        for (const InstrumentEntry& e : data.method.instrumentInfo)
            if ((e.flags & 1) && !e.value.empty())
                instrument.fields.push_back({(en ? e.labelEn : e.label) + ":", e.value});
        if (!instrument.fields.empty()) {
            r.blocks.push_back(ReportHeading{en ? "Instrument" : "仪器条件"});
            r.blocks.push_back(std::move(instrument));
        }
    }
    if (s.showChromatogram) {
        r.blocks.push_back(ReportHeading{en ? "Chromatogram" : "色谱图"});
        r.blocks.push_back(ReportGraph{std::make_shared<const ChromatogramData>(data)});
    }
    if (s.showPeakTable) {
        r.blocks.push_back(ReportHeading{en ? "Results" : "分析结果"});
        r.blocks.push_back(peakTable(data, curve, r.language));
    }
    if (!data.groupResults.empty()) {
        r.blocks.push_back(ReportHeading{en ? "Group Results" : "分组结果"});
        r.blocks.push_back(groupResultTable(data, r.language));
    }
    if (s.showDiagnosis && diagnosed(data))
        for (ReportBlock& b : dgaBlocks(data, linked, settings, r.language, curve))
            r.blocks.push_back(std::move(b));
    return r;
}

}  // namespace dgaws
