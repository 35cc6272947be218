#pragma once

#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace pugi {
class xml_document;
}

namespace dgaws {

// Why a workbook could not be read, filled or saved, in the operator's words.
class WorkbookError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a cell is given: a number, or a text.
using CellValue = std::variant<double, std::string>;

// An .xlsx workbook edited in place: only the sheets' cells that are written change, every
// other part of the package (styles, merged cells, column widths, print set-up, formulas,
// pictures) is written back byte for byte, so a laboratory's template keeps its look.
class XlsxWorkbook {
public:
    // Reads the whole package; WorkbookError when the file cannot be read or is no .xlsx
    // workbook (an old binary .xls is named as such).
    static XlsxWorkbook open(const std::string& path);
    static XlsxWorkbook fromBytes(std::string bytes, const std::string& nameForMessages);

    XlsxWorkbook(XlsxWorkbook&&) noexcept;
    XlsxWorkbook& operator=(XlsxWorkbook&&) noexcept;
    ~XlsxWorkbook();

    bool hasSheet(const std::string& sheetName) const;
    // In the workbook's order.
    const std::vector<std::string>& sheetNames() const;
    // Row and column count from 1 (row 13, column 4 is D13). WorkbookError for a sheet the
    // workbook does not have.
    void setCell(const std::string& sheetName, int row, int column, const CellValue& value);
    // Every cell of every sheet whose whole text is "{name}" for a name in `values` takes
    // that value. Returns how many cells were filled.
    int fillPlaceholders(const std::map<std::string, CellValue>& values);
    // Asks the spreadsheet program to recalculate every formula when it opens the workbook,
    // so totals over the written cells are right.
    void requestRecalculation();

    // The package with the edits. Parts not edited are copied without recompressing.
    std::string bytes() const;
    // Replaces `path` through a temporary file; the previous file survives any failure.
    void save(const std::string& path) const;

private:
    struct Package;
    explicit XlsxWorkbook(std::unique_ptr<Package> package);
    pugi::xml_document& part(const std::string& name) const;
    std::string sheetPart(const std::string& sheetName) const;
    void dropCalculationChain() const;

    std::unique_ptr<Package> package_;
};

// "D13" from row 13, column 4.
std::string cellReference(int row, int column);

}  // namespace dgaws
