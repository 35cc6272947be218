#pragma once

#include "XlsxWorkbook.h"

#include <memory>
#include <string>
#include <vector>

namespace dgaws {

class NewWorkbook;

// A one-sheet workbook written row after row with flat memory: a header row in bold, then
// rows of numbers and texts. The file appears at its path only when finished.
class RowWorkbook {
public:
    RowWorkbook(const std::string& path, const std::string& sheetName,
                const std::vector<std::string>& headers);
    ~RowWorkbook();

    void addRow(const std::vector<CellValue>& cells);
    void finish();

private:
    std::unique_ptr<NewWorkbook> file_;
    void* sheet_;
    unsigned row_ = 0;
};

}  // namespace dgaws
