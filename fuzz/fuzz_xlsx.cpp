#include "report/XlsxWorkbook.h"

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

// Any bytes taken as a workbook are refused with WorkbookError or filled; what a filled
// workbook is written as must read again as a workbook with the same sheets.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace dgaws;
    try {
        XlsxWorkbook book = XlsxWorkbook::fromBytes(
            std::string(reinterpret_cast<const char*>(data), size), "fuzz.xlsx");
        if (!book.sheetNames().empty()) {
            const std::string first = book.sheetNames().front();
            book.setCell(first, 13, 4, 1.5);
            book.setCell(first, 2, 2, std::string("东郊"));
        }
        book.fillPlaceholders({{"H2", 2.5}, {"deviceNo", std::string("1#")}});
        book.requestRecalculation();
        const XlsxWorkbook again = XlsxWorkbook::fromBytes(book.bytes(), "again.xlsx");
        if (again.sheetNames() != book.sheetNames())
            std::abort();
    } catch (const WorkbookError&) {}
    return 0;
}
