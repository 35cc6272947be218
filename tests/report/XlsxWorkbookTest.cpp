#include "XlsxReader.h"

#include "chromatogram/TempDir.h"

#include "report/XlsxWorkbook.h"

#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <cstdlib>
#include <cstring>

using namespace dgaws;
using dgaws::test::TempDir;

namespace {

// A workbook as a spreadsheet program leaves it: formulas, and the list of them in
// calculation order that the program keeps in a part of its own.
std::string workbookWithFormulas(const TempDir& dir)
{
    const std::string path = dir.path("formulas.xlsx");
    lxw_workbook* book = workbook_new(path.c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "卡片");
    worksheet_write_formula(sheet, 12, 3, "=1+1", nullptr);           // D13
    worksheet_write_formula(sheet, 29, 3, "=SUM(D13:D21)", nullptr);  // D30
    worksheet_write_number(sheet, 14, 5, 7.0, nullptr);               // F15
    workbook_close(book);

    int error = 0;
    zip_t* zip = zip_open(path.c_str(), 0, &error);
    const auto put = [zip](const char* name, const std::string& text) {
        auto* copy = static_cast<char*>(std::malloc(text.size()));
        std::memcpy(copy, text.data(), text.size());
        zip_file_add(zip, name, zip_source_buffer(zip, copy, text.size(), 1), ZIP_FL_OVERWRITE);
    };
    XlsxReader reader(path);
    std::string rels = *reader.part("xl/_rels/workbook.xml.rels");
    rels.insert(rels.find("</Relationships>"),
                "<Relationship Id=\"rId99\" Type=\"http://schemas.openxmlformats.org/"
                "officeDocument/2006/relationships/calcChain\" Target=\"calcChain.xml\"/>");
    std::string types = *reader.part("[Content_Types].xml");
    types.insert(types.find("</Types>"),
                 "<Override PartName=\"/xl/calcChain.xml\" ContentType=\"application/"
                 "vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml\"/>");
    put("xl/_rels/workbook.xml.rels", rels);
    put("[Content_Types].xml", types);
    put("xl/calcChain.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<calcChain xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/"
        "2006/main\"><c r=\"D13\" i=\"1\"/><c r=\"D30\"/></calcChain>");
    zip_close(zip);
    return path;
}

}  // namespace

TEST(XlsxWorkbook, AFormulaReplacedByAValueLeavesNoStaleCalculationOrder)
{
    TempDir dir;
    const std::string path = workbookWithFormulas(dir);
    ASSERT_TRUE(XlsxReader(path).part("xl/calcChain.xml"));

    XlsxWorkbook book = XlsxWorkbook::open(path);
    book.setCell("卡片", 13, 4, 5.0);
    book.setCell("卡片", 15, 5, std::string("备注"));  // E15, before F15 in its row
    book.setCell("卡片", 14, 2, 3.0);                  // a row that did not exist
    book.save(path);

    const XlsxReader written(path);
    const auto cells = written.sheet("卡片");
    EXPECT_FALSE(cells.at("D13").formula);
    EXPECT_EQ(cells.at("D13").value, "5");
    EXPECT_TRUE(cells.at("D30").formula);
    EXPECT_EQ(cells.at("E15").value, "备注");
    EXPECT_EQ(cells.at("F15").value, "7");
    EXPECT_EQ(cells.at("B14").value, "3");
    EXPECT_FALSE(written.part("xl/calcChain.xml"));
    EXPECT_EQ(written.part("xl/_rels/workbook.xml.rels")->find("calcChain"), std::string::npos);
    EXPECT_EQ(written.part("[Content_Types].xml")->find("calcChain"), std::string::npos);

    // Rows and cells stay in order, as spreadsheet programs require.
    const std::string sheet = *written.part("xl/worksheets/sheet1.xml");
    EXPECT_LT(sheet.find("r=\"D13\""), sheet.find("r=\"B14\""));
    EXPECT_LT(sheet.find("r=\"B14\""), sheet.find("r=\"E15\""));
    EXPECT_LT(sheet.find("r=\"E15\""), sheet.find("r=\"F15\""));
    EXPECT_LT(sheet.find("r=\"F15\""), sheet.find("r=\"D30\""));
}
