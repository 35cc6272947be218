#include "TableWorkbook.h"

#include "NewWorkbook.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>

namespace dgaws {

namespace {

struct Number {
    double value;
    int decimals;
};

std::optional<Number> numberIn(const std::string& text)
{
    double value = 0.0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(begin, end, value, std::chars_format::fixed);
    if (text.empty() || ec != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    const size_t point = text.find('.');
    return Number{value, point == std::string::npos ? 0 : int(text.size() - point - 1)};
}

}  // namespace

void writeTableWorkbook(const std::string& path, const std::string& sheetName,
                        const std::vector<std::string>& headers,
                        const std::vector<std::vector<std::string>>& rows)
{
    NewWorkbook file(path);
    lxw_workbook* book = file.book();
    lxw_worksheet* sheet = workbook_add_worksheet(book, sheetName.c_str());
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    std::map<int, lxw_format*> byDecimals;
    const auto numberFormat = [&](int decimals) {
        lxw_format*& f = byDecimals[decimals];
        if (!f) {
            f = workbook_add_format(book);
            format_set_num_format(
                f,
                (decimals ? "0." + std::string(size_t(decimals), '0') : std::string("0")).c_str());
        }
        return f;
    };
    std::vector<size_t> widths(headers.size(), 0);
    const auto widen = [&](size_t column, const std::string& text) {
        if (column >= widths.size())
            widths.resize(column + 1, 0);
        widths[column] = std::max(widths[column], text.size());
    };
    for (size_t c = 0; c < headers.size(); ++c) {
        worksheet_write_string(sheet, 0, lxw_col_t(c), headers[c].c_str(), bold);
        widen(c, headers[c]);
    }
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c) {
            const std::string& text = rows[r][c];
            widen(c, text);
            if (text.empty())
                continue;
            if (const auto n = numberIn(text))
                worksheet_write_number(sheet, lxw_row_t(r + 1), lxw_col_t(c), n->value,
                                       numberFormat(std::min(n->decimals, 15)));
            else
                worksheet_write_string(sheet, lxw_row_t(r + 1), lxw_col_t(c), text.c_str(),
                                       nullptr);
        }
    // UTF-8 bytes overcount Chinese characters a little, which suits their double width.
    for (size_t c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c),
                             double(std::clamp<size_t>(widths[c], 6, 40)) + 1.0, nullptr);
    file.finish();
}

}  // namespace dgaws
