#include "XlsxReader.h"

#include "chromatogram/TempDir.h"

#include "chromatogram/FileIO.h"
#include "dga/StoredGasOrder.h"
#include "report/DefaultTemplates.h"
#include "report/RecordCard.h"
#include "report/TemplateWorkbooks.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace dgaws;
using dgaws::test::TempDir;

namespace {

// A test whose nine gases in oil differ from each other, so a gas written to the wrong row
// shows.
ChromatogramData testedSample()
{
    ChromatogramData d;
    const double contents[gas::Count] = {31.5,    12.25,  1.5,   20.0,  8.75,
                                         52000.0, 9100.0, 410.0, 2210.0};
    for (size_t g = 0; g < gas::Count; ++g)
        d.gasInOil[g] = contents[g];
    d.totalHydrocarbons = 12.25 + 1.5 + 20.0 + 8.75;
    d.injectionTime = OleDateTime::fromCivil(2026, 11, 20, 15, 30);
    d.method.sendingCompany = "东郊变电站";
    d.method.deviceNo = "1#主变";
    return d;
}

// The previous test in the rate order (CH4, C2H2, C2H4, C2H6, H2, CO, CO2).
void withPreviousTest(ChromatogramData& d, OleDateTime when)
{
    d.method.testRecord.testTime = when;
    const double previous[7] = {10.0, 1.0, 15.0, 6.0, 25.0, 380.0, 2000.0};
    std::copy(std::begin(previous), std::end(previous), d.method.testRecord.values);
    d.method.oilValue1 = 40.0;   // t
    d.method.oilValue2 = 0.875;  // t/m3
}

double number(const std::map<std::string, ReadCell>& cells, const std::string& ref)
{
    const auto it = cells.find(ref);
    if (it == cells.end() || !it->second.type.empty())
        return std::nan("");
    return std::stod(it->second.value);
}

struct Templates {
    TempDir dir;
    std::string methods = dir.path("方法库");
    std::string out = dir.path("out");
    Templates() { writeDefaultTemplates((std::filesystem::create_directories(methods), methods)); }
};

}  // namespace

TEST(RecordCardWorkbook, TheChosenColumnTakesTheTestAsNumbersAndTheTemplateKeepsItsLook)
{
    Templates t;
    ChromatogramData d = testedSample();
    // The same day as the injection, earlier: a part of a day counts as one.
    withPreviousTest(d, OleDateTime::fromCivil(2026, 11, 20, 8, 0));
    d.method.text4 = t.out;
    const std::string path =
        writeTemplateWorkbook(WorkbookKind::RecordCard, d, "B20261120", t.methods,
                              workbookFolder(d.method, "/nowhere"), 3);
    EXPECT_EQ(path, t.out + "/B20261120_设备档案卡片.xlsx");

    const XlsxReader card(path);
    ASSERT_TRUE(card.ok());
    const auto cells = card.sheet("设备档案卡片");
    // "第四列" is column I; rows 13 to 21 in the card's gas order.
    const double expected[] = {31.5, 9100.0, 52000.0, 410.0, 2210.0, 12.25, 20.0, 8.75, 1.5};
    for (int row = 13; row <= 21; ++row)
        EXPECT_DOUBLE_EQ(number(cells, "I" + std::to_string(row)), expected[row - 13]) << row;
    EXPECT_DOUBLE_EQ(number(cells, "I22"), 42.5);
    EXPECT_DOUBLE_EQ(number(cells, "I23"), 0.0);
    EXPECT_DOUBLE_EQ(number(cells, "I24"), 0.0);
    const double growth = 42.5 - (10.0 + 1.0 + 15.0 + 6.0);
    EXPECT_DOUBLE_EQ(number(cells, "I25"), growth);
    EXPECT_DOUBLE_EQ(number(cells, "I26"), 1.0);
    EXPECT_DOUBLE_EQ(number(cells, "I27"), growth * 40.0 / 0.875);
    EXPECT_EQ(cells.count("J13"), 0u);
    EXPECT_TRUE(cells.at("H13").value.empty());
    // The placeholders of the card's head are filled too.
    EXPECT_EQ(cells.at("D2").value, "东郊变电站");

    const XlsxReader original(t.methods + "/template1.xlsx");
    EXPECT_EQ(card.part("xl/styles.xml"), original.part("xl/styles.xml"));
    EXPECT_EQ(cells.at("I13").style, original.sheet("设备档案卡片").at("I13").style);
    EXPECT_NE(card.part("xl/workbook.xml")->find("fullCalcOnLoad=\"1\""), std::string::npos);

    // Days are whole days cut towards zero; the rate is left empty, not wrong, without density.
    EXPECT_EQ(recordCardDays(OleDateTime::fromCivil(2026, 11, 17, 16, 0), d.injectionTime), 2);
    EXPECT_EQ(recordCardDays(OleDateTime::fromCivil(2026, 11, 21), d.injectionTime), 1);
    d.method.oilValue2 = 0.0;
    EXPECT_EQ(recordCardCells(d).back().row, 26);
    d.method.testRecord = {};
    EXPECT_EQ(recordCardCells(d).back().row, 24);

    // Appending twice fills two more columns and keeps the first.
    ChromatogramData second = testedSample();
    second.gasInOil[gas::H2] = 77.0;
    appendToRecordCard(path, second, 1);
    second.gasInOil[gas::H2] = 99.0;
    appendToRecordCard(path, second, 2);
    const auto appended = XlsxReader(path).sheet("设备档案卡片");
    EXPECT_DOUBLE_EQ(number(appended, "F13"), 77.0);
    EXPECT_DOUBLE_EQ(number(appended, "H13"), 99.0);
    EXPECT_DOUBLE_EQ(number(appended, "H22"), 42.5);
    EXPECT_DOUBLE_EQ(number(appended, "I13"), 31.5);
    EXPECT_DOUBLE_EQ(number(appended, "I25"), growth);
}

TEST(TemplateWorkbooks, WhatIsNoWorkbookIsRefusedAndNothingIsWritten)
{
    Templates t;
    const ChromatogramData d = testedSample();
    const auto refused = [&](const std::string& methods, const std::string& needle) {
        try {
            writeTemplateWorkbook(WorkbookKind::RecordCard, d, "X", methods, t.out, 0);
        } catch (const WorkbookError& e) {
            EXPECT_NE(std::string(e.what()).find(needle), std::string::npos) << e.what();
            EXPECT_FALSE(std::filesystem::exists(t.out + "/X_设备档案卡片.xlsx"));
            return;
        }
        ADD_FAILURE() << "accepted " << needle;
    };
    refused(t.dir.path("empty"), "找不到模板文件");

    const std::string bad = t.dir.path("bad");
    std::filesystem::create_directories(bad);
    writeFileAtomically(bad + "/template1.xlsx",
                        std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) +
                            std::string(504, '\0'));
    refused(bad, ".xls");
    writeFileAtomically(bad + "/template1.xlsx", "PK\x03\x04 not really");
    refused(bad, "不是Excel工作簿");
    const std::string whole = readWholeFile(t.methods + "/template1.xlsx");
    writeFileAtomically(bad + "/template1.xlsx", whole.substr(0, whole.size() / 2));
    refused(bad, "不是Excel工作簿");
    // A workbook without the card's sheet.
    std::filesystem::copy_file(t.methods + "/template2.xlsx", bad + "/template1.xlsx",
                               std::filesystem::copy_options::overwrite_existing);
    refused(bad, "设备档案卡片");

    // A failed append leaves the chosen file as it was.
    const std::string other = t.methods + "/template2.xlsx";
    const std::string before = readWholeFile(other);
    EXPECT_THROW(appendToRecordCard(other, d, 0), WorkbookError);
    EXPECT_THROW(appendToRecordCard(other, d, 4), WorkbookError);
    EXPECT_EQ(readWholeFile(other), before);
}

TEST(TemplateWorkbooks, PlaceholderCellsTakeTheTestsValues)
{
    Templates t;
    ChromatogramData d = testedSample();
    d.conclusion = "高温过热";
    const std::string path =
        writeTemplateWorkbook(WorkbookKind::CustomReport, d, "R", t.methods, t.out);
    EXPECT_EQ(path, t.out + "/R_自定义报告1.xlsx");
    const auto cells = XlsxReader(path).sheet("自定义报告1");
    std::map<std::string, std::string> shown;
    for (const auto& [ref, cell] : cells)
        shown[cell.value] = cell.type;
    EXPECT_EQ(shown.count("31.5"), 1u);
    EXPECT_EQ(shown.at("31.5"), "");  // a number, not a text
    EXPECT_EQ(shown.at("东郊变电站"), "inlineStr");
    EXPECT_EQ(shown.at("高温过热"), "inlineStr");
    EXPECT_EQ(shown.at("2026/11/20 15:30:00"), "inlineStr");
    for (const auto& [text, type] : shown)
        EXPECT_EQ(text.find('{'), std::string::npos) << text;
}
