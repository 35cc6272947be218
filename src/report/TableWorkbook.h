#pragma once

#include <string>
#include <vector>

namespace dgaws {

// A table as a new workbook of one sheet: the headers in bold, then the rows. A cell whose
// whole text is a number is written as that number, shown with as many decimals as the
// text had, so the spreadsheet computes with it and shows what the table showed; any other
// cell is written as its text. Replaces `path` through a temporary file; WorkbookError when
// it cannot be written.
void writeTableWorkbook(const std::string& path, const std::string& sheetName,
                        const std::vector<std::string>& headers,
                        const std::vector<std::vector<std::string>>& rows);

}  // namespace dgaws
