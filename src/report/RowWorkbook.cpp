#include "RowWorkbook.h"

#include "NewWorkbook.h"

#include <cmath>

namespace dgaws {

RowWorkbook::RowWorkbook(const std::string& path, const std::string& sheetName,
                         const std::vector<std::string>& headers)
    : file_(std::make_unique<NewWorkbook>(path, true)),
      sheet_(workbook_add_worksheet(file_->book(), sheetName.c_str()))
{
    lxw_format* bold = workbook_add_format(file_->book());
    format_set_bold(bold);
    auto* sheet = static_cast<lxw_worksheet*>(sheet_);
    for (size_t c = 0; c < headers.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), headers[c].c_str(), bold);
}

RowWorkbook::~RowWorkbook() = default;

void RowWorkbook::addRow(const std::vector<CellValue>& cells)
{
    auto* sheet = static_cast<lxw_worksheet*>(sheet_);
    ++row_;
    for (size_t c = 0; c < cells.size(); ++c) {
        if (const double* n = std::get_if<double>(&cells[c])) {
            if (std::isfinite(*n))
                worksheet_write_number(sheet, row_, lxw_col_t(c), *n, nullptr);
        } else if (const auto& text = std::get<std::string>(cells[c]); !text.empty()) {
            worksheet_write_string(sheet, row_, lxw_col_t(c), text.c_str(), nullptr);
        }
    }
}

void RowWorkbook::finish()
{
    file_->finish();
}

}  // namespace dgaws
