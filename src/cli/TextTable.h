#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace dgaws::cli {

// Terminal columns taken by a UTF-8 text: East Asian wide characters take two, so Chinese
// component names line up with Latin ones. Bytes that are not valid UTF-8 count as one.
int displayWidth(std::string_view utf8);

// A number with a fixed count of decimals, as the tables and fields print it; any magnitude
// fits.
std::string fixedText(double v, int decimals);

// A plain-text table whose columns are as wide as their widest cell.
class TextTable {
public:
    enum class Align { Left, Right };

    void addColumn(std::string header, Align align = Align::Right);
    // A row shorter than the header is padded with empty cells; extra cells are dropped.
    void addRow(std::vector<std::string> cells);

    // Two spaces between columns; the last column is never padded on the right.
    void print(std::ostream& out, std::string_view indent = "  ") const;

private:
    struct Column {
        std::string header;
        Align align;
    };
    std::vector<Column> columns_;
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace dgaws::cli
