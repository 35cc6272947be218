#include "ResultRows.h"

#include "quant/ContentStatus.h"

#include <cstdio>

namespace dgaws {

namespace {

std::string format(const char* pattern, double value)
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

std::string format(int value)
{
    return std::to_string(value);
}

}  // namespace

std::vector<std::string> ResultRows::headers(bool showEfficiency)
{
    // The contents carry their unit on screen; the copied header stays as it was, for
    // whatever reads it.
    std::vector<std::string> h = {
        "行号",         "峰号",        "组份名",           "保留时间",       "峰高",
        "峰面积(uv*s)", "面积百分比%", "气相中含量(uL/L)", "油中含量(uL/L)", "峰标志"};
    if (showEfficiency)
        h.insert(h.end(), {"半峰宽(分)", "分离度", "拖尾因子", "理论塔板数"});
    return h;
}

std::vector<int> ResultRows::widths(bool showEfficiency)
{
    if (showEfficiency)
        return {40, 40, 50, 70, 50, 50, 80, 120, 100, 50, 100, 100, 100, 0};
    return {40, 40, 50, 70, 50, 50, 80, 120, 100, 0};
}

std::string ResultRows::copyHeader(bool showEfficiency)
{
    std::string h =
        "行号\t峰号\t组份名\t保留时间\t峰高\t峰面积\t面积百分比%\t气相中含量\t油中含量\t峰标志\t";
    if (showEfficiency)
        h += "半峰宽(分)\t分离度\t拖尾因子\t理论塔板数\t";
    return h + "\n";
}

std::vector<ResultRows::Row> ResultRows::build(const PeakTable& peaks, const Options& options)
{
    std::vector<Row> rows;
    double height = 0.0, area = 0.0, percent = 0.0, gas = 0.0, oil = 0.0;
    bool anyUncalibrated = false;
    for (int i = 0; i < peaks.size(); ++i) {
        const PeakRecord& p = peaks[i];
        const bool uncalibrated = static_cast<size_t>(i) < options.uncalibrated.size() &&
            options.uncalibrated[static_cast<size_t>(i)];
        if (p.excluded == 0) {
            height += p.height;
            area += p.area;
            percent += p.areaPercent;
            if (!uncalibrated) {
                gas += p.gasContent;
                oil += p.oilContent;
            }
            anyUncalibrated = anyUncalibrated || uncalibrated;
        } else if (!options.showAllPeaks) {
            continue;
        }
        Row row;
        row.peakIndex = i;
        row.cells = {format(static_cast<int>(rows.size()) + 1),
                     format(p.number),
                     p.componentName,
                     format("%1.3lf", p.retentionTime),
                     format("%1.1lf", p.height),
                     format("%1.1lf", p.area),
                     format("%1.4lf", p.areaPercent),
                     uncalibrated ? kNotCalibratedText : format("%1.4lf", p.gasContent),
                     uncalibrated ? kNotCalibratedText : format("%1.4lf", p.oilContent),
                     peakTypeName(peakTypeCode(p.typeFlags))};
        if (options.showEfficiency)
            row.cells.insert(row.cells.end(),
                             {format("%1.3lf", p.halfWidth), format("%1.3lf", p.resolution),
                              format("%1.3lf", p.tailingFactor), format("%1.0lf", p.plates)});
        rows.push_back(std::move(row));
    }
    Row totals;
    totals.cells.assign(static_cast<size_t>(columnCount(options.showEfficiency)), std::string());
    totals.cells[0] = kTotalsLabel;
    // Each sum in its column's own format: six decimals under columns of one to four
    // claim a precision the rows do not have.
    totals.cells[4] = format("%1.1lf", height);
    totals.cells[5] = format("%1.1lf", area);
    totals.cells[6] = format("%1.4lf", percent);
    totals.cells[7] = format("%1.4lf", gas);
    totals.cells[8] = format("%1.4lf", oil);
    if (anyUncalibrated)
        totals.cells[9] = kWithoutUncalibratedText;
    rows.push_back(std::move(totals));
    return rows;
}

std::string ResultRows::copyText(const std::vector<Row>& rows, const std::vector<int>& selected,
                                 bool showEfficiency)
{
    std::string text = copyHeader(showEfficiency);
    for (int r : selected) {
        if (r < 0 || r >= static_cast<int>(rows.size()))
            continue;
        for (const std::string& cell : rows[static_cast<size_t>(r)].cells)
            text += cell + "\t";
        text += "\n";
    }
    return text;
}

}  // namespace dgaws
