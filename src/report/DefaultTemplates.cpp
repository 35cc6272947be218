#include "DefaultTemplates.h"

#include "NewWorkbook.h"
#include "RecordCard.h"

#include <filesystem>

namespace dgaws {

namespace fs = std::filesystem;

namespace {

constexpr uint8_t kPaperA4 = 9;

// The few cell looks the templates share.
struct Looks {
    lxw_format* title;
    lxw_format* label;   // framed, left
    lxw_format* header;  // framed, bold, centred
    lxw_format* value;   // framed, two decimals
    lxw_format* whole;   // framed, no decimals
    lxw_format* text;    // framed, wrapped
    lxw_format* plain;

    explicit Looks(lxw_workbook* book)
    {
        title = workbook_add_format(book);
        format_set_bold(title);
        format_set_font_size(title, 16);
        format_set_align(title, LXW_ALIGN_CENTER);
        format_set_align(title, LXW_ALIGN_VERTICAL_CENTER);
        label = framed(book);
        header = framed(book);
        format_set_bold(header);
        format_set_align(header, LXW_ALIGN_CENTER);
        value = framed(book);
        format_set_num_format(value, "0.00");
        format_set_align(value, LXW_ALIGN_RIGHT);
        whole = framed(book);
        format_set_num_format(whole, "0");
        format_set_align(whole, LXW_ALIGN_RIGHT);
        text = framed(book);
        format_set_text_wrap(text);
        format_set_align(text, LXW_ALIGN_VERTICAL_TOP);
        plain = workbook_add_format(book);
    }

    static lxw_format* framed(lxw_workbook* book)
    {
        lxw_format* f = workbook_add_format(book);
        format_set_border(f, LXW_BORDER_THIN);
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        return f;
    }
};

lxw_worksheet* sheetFor(lxw_workbook* book, const char* name)
{
    lxw_worksheet* sheet = workbook_add_worksheet(book, name);
    worksheet_set_paper(sheet, kPaperA4);
    worksheet_fit_to_pages(sheet, 1, 1);
    return sheet;
}

// Rows and columns below count from 1, as the card's rows are named.
void labelRow(lxw_worksheet* sheet, int row, const char* text, lxw_format* format)
{
    worksheet_merge_range(sheet, lxw_row_t(row - 1), 0, lxw_row_t(row - 1), 2, text, format);
}

void recordCard(lxw_workbook* book, const Looks& looks)
{
    lxw_worksheet* sheet = sheetFor(book, workbookTemplate(WorkbookKind::RecordCard).sheet);
    worksheet_set_column(sheet, 0, 2, 7, nullptr);
    // The card's tests sit in the columns D, F, H and I; the narrow E and G keep the first
    // tests apart. Column ranges must not overlap, or the spreadsheet program repairs the file.
    for (lxw_col_t c = 3; c <= 8; ++c)
        worksheet_set_column(sheet, c, c, c == 4 || c == 6 ? 2 : 13, nullptr);
    worksheet_set_row(sheet, 0, 30, nullptr);
    worksheet_merge_range(sheet, 0, 0, 0, 8, "变压器油中溶解气体分析 设备档案卡片", looks.title);

    static const char* const kDeviceLabels[][2] = {
        {"送样单位", "{sendingCompany}"},
        {"设备编号", "{deviceNo}"},
        {"设备型号", ""},
        {"电压等级", ""},
        {"制造厂", ""},
        {"出厂日期", ""},
        {"投运日期", ""},
        {"油重(t)", ""},
        {"油种", ""},
    };
    int row = 2;
    for (const auto& [labelText, value] : kDeviceLabels) {
        labelRow(sheet, row, labelText, looks.label);
        worksheet_merge_range(sheet, lxw_row_t(row - 1), 3, lxw_row_t(row - 1), 8, value,
                              looks.label);
        ++row;
    }
    const int columns[kRecordCardColumnChoices] = {4, 6, 8, 9};
    static const char* const kTestNames[] = {"第一次", "第二次", "第三次", "第四次"};
    labelRow(sheet, 11, "试验日期", looks.header);
    labelRow(sheet, 12, "项目  (uL/L)", looks.header);
    for (int i = 0; i < kRecordCardColumnChoices; ++i) {
        worksheet_write_blank(sheet, 10, lxw_col_t(columns[i] - 1), looks.header);
        worksheet_write_string(sheet, 11, lxw_col_t(columns[i] - 1), kTestNames[i], looks.header);
    }
    static const char* const kRows[] = {
        "氢气 H2",  "氧气 O2",   "氮气 N2",   "一氧化碳 CO", "二氧化碳 CO2",
        "甲烷 CH4", "乙烯 C2H4", "乙烷 C2H6", "乙炔 C2H2",   "总烃",
        "(保留)",   "(保留)",    "总烃增量",  "间隔天数(d)", "总烃绝对产气率(mL/d)"};
    for (int r = kRecordCardFirstRow; r <= kRecordCardLastRow; ++r) {
        labelRow(sheet, r, kRows[r - kRecordCardFirstRow], looks.label);
        lxw_format* cell = r == kRecordCardLastRow - 1 ? looks.whole : looks.value;
        for (const int c : columns)
            worksheet_write_blank(sheet, lxw_row_t(r - 1), lxw_col_t(c - 1), cell);
    }
    labelRow(sheet, 28, "试验人", looks.label);
    labelRow(sheet, 29, "备注", looks.label);
    for (const int c : columns) {
        worksheet_write_blank(sheet, 27, lxw_col_t(c - 1), looks.label);
        worksheet_write_blank(sheet, 28, lxw_col_t(c - 1), looks.label);
    }
}

void otherSituation(lxw_workbook* book, const Looks& looks)
{
    lxw_worksheet* sheet = sheetFor(book, workbookTemplate(WorkbookKind::OtherSituation).sheet);
    worksheet_set_column(sheet, 0, 0, 14, nullptr);
    worksheet_set_column(sheet, 1, 1, 60, nullptr);
    worksheet_set_column(sheet, 2, 2, 12, nullptr);
    worksheet_set_row(sheet, 0, 30, nullptr);
    worksheet_merge_range(sheet, 0, 0, 0, 2, "设备其他情况记录", looks.title);
    worksheet_write_string(sheet, 1, 0, "送样单位", looks.label);
    worksheet_merge_range(sheet, 1, 1, 1, 2, "{sendingCompany}", looks.label);
    worksheet_write_string(sheet, 2, 0, "设备编号", looks.label);
    worksheet_merge_range(sheet, 2, 1, 2, 2, "{deviceNo}", looks.label);
    worksheet_write_string(sheet, 4, 0, "日期", looks.header);
    worksheet_write_string(sheet, 4, 1, "情况记录", looks.header);
    worksheet_write_string(sheet, 4, 2, "记录人", looks.header);
    for (lxw_row_t r = 5; r < 30; ++r) {
        worksheet_set_row(sheet, r, 24, nullptr);
        for (lxw_col_t c = 0; c < 3; ++c)
            worksheet_write_blank(sheet, r, c, looks.text);
    }
}

void sampleLabel(lxw_workbook* book, const Looks& looks)
{
    lxw_worksheet* sheet = sheetFor(book, workbookTemplate(WorkbookKind::SampleLabel).sheet);
    worksheet_set_column(sheet, 0, 0, 12, nullptr);
    worksheet_set_column(sheet, 1, 1, 30, nullptr);
    worksheet_set_row(sheet, 0, 26, nullptr);
    worksheet_merge_range(sheet, 0, 0, 0, 1, "油样标签", looks.title);
    static const char* const kFields[][2] = {
        {"送样单位", "{sendingCompany}"},
        {"设备编号", "{deviceNo}"},
        {"样品编号", "{serialNo}"},
        {"进样时间", "{injectionTime}"},
        {"试验人", "{tester}"},
        {"取样部位", ""},
        {"油温(℃)", ""},
        {"备注", "{sampleText1}"},
    };
    lxw_row_t r = 1;
    for (const auto& [labelText, value] : kFields) {
        worksheet_set_row(sheet, r, 20, nullptr);
        worksheet_write_string(sheet, r, 0, labelText, looks.label);
        worksheet_write_string(sheet, r, 1, value, looks.label);
        ++r;
    }
}

void customReport(lxw_workbook* book, const Looks& looks)
{
    lxw_worksheet* sheet = sheetFor(book, "自定义报告1");
    worksheet_set_column(sheet, 0, 0, 22, nullptr);
    worksheet_set_column(sheet, 1, 1, 18, nullptr);
    worksheet_set_column(sheet, 2, 2, 18, nullptr);
    worksheet_set_row(sheet, 0, 30, nullptr);
    worksheet_merge_range(sheet, 0, 0, 0, 2, "变压器油中溶解气体分析报告", looks.title);
    static const char* const kInfo[][2] = {
        {"送样单位", "{sendingCompany}"}, {"设备编号", "{deviceNo}"}, {"样品编号", "{serialNo}"},
        {"进样时间", "{injectionTime}"},  {"试验人", "{tester}"},
    };
    lxw_row_t r = 2;
    for (const auto& [labelText, value] : kInfo) {
        worksheet_write_string(sheet, r, 0, labelText, looks.label);
        worksheet_merge_range(sheet, r, 1, r, 2, value, looks.label);
        ++r;
    }
    ++r;
    worksheet_merge_range(sheet, r, 0, r, 1, "组份", looks.header);
    worksheet_write_string(sheet, r, 2, "油中含量(uL/L)", looks.header);
    ++r;
    static const char* const kGases[][2] = {
        {"氢气 H2", "{H2}"},       {"甲烷 CH4", "{CH4}"},
        {"乙烷 C2H6", "{C2H6}"},   {"乙烯 C2H4", "{C2H4}"},
        {"乙炔 C2H2", "{C2H2}"},   {"一氧化碳 CO", "{CO}"},
        {"二氧化碳 CO2", "{CO2}"}, {"氧气 O2", "{O2}"},
        {"氮气 N2", "{N2}"},       {"总烃", "{totalHydrocarbons}"},
    };
    for (const auto& [name, content] : kGases) {
        worksheet_merge_range(sheet, r, 0, r, 1, name, looks.label);
        worksheet_write_string(sheet, r, 2, content, looks.value);
        ++r;
    }
    ++r;
    worksheet_write_string(sheet, r, 0, "故障类型", looks.label);
    worksheet_merge_range(sheet, r, 1, r, 2, "{conclusion}", looks.text);
    ++r;
    worksheet_set_row(sheet, r, 60, nullptr);
    worksheet_write_string(sheet, r, 0, "注意事项", looks.label);
    worksheet_merge_range(sheet, r, 1, r, 2, "{advice}", looks.text);
}

}  // namespace

void writeDefaultTemplate(WorkbookKind kind, const std::string& path)
{
    NewWorkbook file(path);
    lxw_workbook* book = file.book();
    const Looks looks(book);
    switch (kind) {
    case WorkbookKind::RecordCard: recordCard(book, looks); break;
    case WorkbookKind::OtherSituation: otherSituation(book, looks); break;
    case WorkbookKind::SampleLabel: sampleLabel(book, looks); break;
    case WorkbookKind::CustomReport: customReport(book, looks); break;
    }
    file.finish();
}

std::vector<std::string> writeDefaultTemplates(const std::string& folder)
{
    std::vector<std::string> written;
    for (const WorkbookKind kind : {WorkbookKind::RecordCard, WorkbookKind::OtherSituation,
                                    WorkbookKind::SampleLabel, WorkbookKind::CustomReport}) {
        const std::string path = (fs::path(folder) / workbookTemplate(kind).fileName).string();
        writeDefaultTemplate(kind, path);
        written.push_back(path);
    }
    return written;
}

}  // namespace dgaws
