#include "cli/CliTestSupport.h"

#include "report/PdfText.h"

#include "app/DocumentDiagnosis.h"
#include "chromatogram/ChromatogramFile.h"
#include "cli/DocumentFiles.h"
#include "cli/ToolRunner.h"
#include "dga/StoredGasOrder.h"
#include "dga/ThreeRatio.h"
#include "report/DgaReport.h"

#include "quant/GasSet.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>

namespace dgaws::cli::test {
namespace {

// Channel B's gases with channel A's named relative to it, kept in the data folder rather
// than beside it; a previous test ten days before, so both channels' peaks get rates.
class DgaReportTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        ChromatogramData a = gases({{gas::H2, 80.0}, {gas::CO, 400.0}, {gas::CO2, 2600.0}});
        std::filesystem::create_directories(dataFolderOf(path("home")));
        writeChromatogramFile(dataFolderOf(path("home")) + "/A_1.chg", a);
        ChromatogramData b =
            gases({{gas::CH4, 60.0}, {gas::C2H6, 20.0}, {gas::C2H4, 90.0}, {gas::C2H2, 12.0}});
        b.linkedFile = "A_1.chg";
        b.injectionTime = OleDateTime::fromCivil(2024, 4, 11, 9, 0, 0);
        b.method.testRecord.testTime = OleDateTime::fromCivil(2024, 4, 1, 9, 0, 0);
        b.method.testRecord.values[rate::H2] = 40.0;
        b.method.oilValue1 = 20.0;
        b.method.oilValue2 = 0.88;
        writeChromatogramFile(path("B_1.chg"), b);
    }

    static ChromatogramData gases(std::initializer_list<std::pair<gas::Slot, double>> contents)
    {
        ChromatogramData d = sampleChromatogram();
        d.peaks.clear();
        for (const auto& [slot, oil] : contents) {
            PeakRecord p;
            p.componentName = std::string(gas::kComponentNames[slot]);
            p.oilContent = oil;
            d.peaks.append(p);
        }
        return d;
    }

    static std::string printedText(const std::string& pdf)
    {
        std::istringstream lines(pdfText(pdf));
        std::string kept;
        // Cell for cell, whatever room the page gives each column.
        for (std::string line; std::getline(lines, line);) {
            if (line.find("打印时间") != std::string::npos)
                continue;
            std::istringstream cells(line);
            std::string row;
            for (std::string cell; cells >> cell;)
                row += cell + " ";
            if (!row.empty())
                kept += row + "\n";
        }
        return kept;
    }
};

TEST_F(DgaReportTest, TheWindowPrintsTheDiagnosisItMadeAsTheCommandLineDoes)
{
    // The window's way: open, diagnose, judge, draw again (which reads the linked file
    // again), then print.
    CChrEDoc doc;
    std::ostringstream err;
    ASSERT_TRUE(openChromatogram(doc, path("B_1.chg"), err)) << err.str();
    doc.dataFolder = dataFolderOf(path("home"));
    DiagnosisEnvironment env;
    const auto view = diagnoseDocument(doc, env, nullptr);
    ASSERT_TRUE(view && view->ratesComputed);
    ASSERT_TRUE(view->judgementOffered());
    judgeThreeRatio(doc.data);
    doc.readLinkedData();
    const DgaPrintSettings settings;
    const Report window = dgaReport(doc.data, doc.linkedData, "B_1.chg", settings, "now");

    // Every gas of both channels has its row, and each row the rate computed for its gas.
    const ReportTable table =
        dgaResultTable(doc.data, doc.linkedData, settings, ReportLanguage::Chinese);
    ASSERT_EQ(table.rows.size(), 7u);
    const size_t rateColumn = 5;  // number, name, time, gas, oil, rate
    ASSERT_EQ(table.headers[rateColumn],
              dgaColumnTitle(DgaPrintSettings::Rate, ReportLanguage::Chinese));
    for (const auto& row : table.rows) {
        const std::string name = row[1].substr(0, row[1].size() - 1);
        for (size_t r = 0; r < rate::Count; ++r)
            if (gas::kComponentNames[rate::kGasOf[r]] == name) {
                char expected[64];
                std::snprintf(expected, sizeof expected, "%6.4f ", doc.data.working.gasRates[r]);
                EXPECT_EQ(row[rateColumn], expected) << name;
                EXPECT_NE(doc.data.working.gasRates[r], 0.0) << name;
            }
    }

    // The command line, as a user runs it, prints the same rows cell for cell.
    ToolProcess cli({"report", path("B_1.chg"), "--kind", "dga", "--pdf", path("cli.pdf"), "--home",
                     path("home")},
                    dir_.string());
    ASSERT_EQ(cli.wait(), 0);
    const std::string printed = printedText(path("cli.pdf"));
    for (const auto& row : table.rows) {
        std::string cells;
        for (const std::string& cell : row) {
            std::istringstream words(cell);
            for (std::string word; words >> word;)
                cells += word + " ";
        }
        EXPECT_NE(printed.find(cells + "\n"), std::string::npos) << cells << "\nin\n" << printed;
    }
    EXPECT_NE(printed.find(window.title), std::string::npos);
}

// A gas whose curve has no usable fit was never measured: neither the diagnosis nor a report
// may print its content as 0 or count it in the total hydrocarbons.
TEST_F(DgaReportTest, AGasThatCouldNotBeCalibratedIsSaidSoInTheDiagnosisAndBothReports)
{
    ChromatogramData b = readChromatogramFile(path("B_1.chg"));
    b.method.calcMethod = 3;  // external standard
    b.sampleAmount = 1.0;
    b.method.components.clear();
    for (int i = 0; i < b.peaks.size(); ++i) {
        ComponentEntry c;
        c.index = i;
        c.name = b.peaks[i].componentName;
        c.factor1 = c.name == GasSet::C2H2 ? 0.0 : 1.0;
        b.method.components.push_back(c);
        if (c.factor1 == 0.0)  // as the quantitation leaves it
            b.peaks[i].oilContent = b.peaks[i].gasContent = 0.0;
        b.peaks[i].componentIndex = i;
    }
    writeChromatogramFile(path("B_1.chg"), b);
    const std::string home = " --home " + path("home");
    const std::string c2h2(GasSet::C2H2);

    const ToolResult diagnosed =
        runTool("diagnose " + path("B_1.chg") + " --json" + home, path(""));
    ASSERT_EQ(diagnosed.status, 0) << diagnosed.err;
    const auto j = nlohmann::json::parse(diagnosed.out);
    EXPECT_TRUE(j["gasInOil"][c2h2].is_null()) << j["gasInOil"];
    EXPECT_EQ(j["gasInOil"][std::string(GasSet::CH4)].get<double>(), 60.0);
    EXPECT_NE(j["gasInOilNotes"][c2h2].get<std::string>().find(c2h2), std::string::npos);
    EXPECT_EQ(j["totalHydrocarbons"].get<double>(), 170.0);
    EXPECT_EQ(j["totalHydrocarbonsNote"], "不含未校正组份");
    const ToolResult text = runTool("diagnose " + path("B_1.chg") + home, path(""));
    EXPECT_NE(text.out.find("未校正"), std::string::npos) << text.out;

    for (const char* kind : {"dga", "analysis"}) {
        const std::string pdf = path(std::string(kind) + ".pdf");
        const ToolResult printed = runTool(
            "report " + path("B_1.chg") + " --kind " + kind + " --pdf " + pdf + home, path(""));
        ASSERT_EQ(printed.status, 0) << printed.err;
        const std::string words = printedText(pdf);
        EXPECT_NE(words.find("未校正"), std::string::npos) << kind << "\n" << words;
        EXPECT_NE(words.find("不含未校正组份"), std::string::npos) << kind << "\n" << words;
    }
}

// Printed unattended, the test is judged by the limits of its device's class in the library,
// as the window judges it; a data root without a database gets none made.
TEST_F(DgaReportTest, TheLimitsPrintedAreThoseOfTheDevicesClass)
{
    ChromatogramData b = readChromatogramFile(path("B_1.chg"));
    b.method.sendingCompany = "东郊变电站";
    b.method.deviceNo = "1号主变";
    writeChromatogramFile(path("B_1.chg"), b);
    const std::string home = " --home " + path("home");
    const auto limitsLine = [&] {
        const ToolResult printed = runTool(
            "report " + path("B_1.chg") + " --kind dga --pdf " + path("dga.pdf") + home, path(""));
        EXPECT_EQ(printed.status, 0) << printed.err;
        const std::string words = printedText(path("dga.pdf"));
        const size_t at = words.find("限值:");
        return at == std::string::npos ? words : words.substr(at, words.find('\n', at) - at);
    };
    EXPECT_NE(limitsLine().find("电压等级未知"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path("home/toqlsh.db")));
    ASSERT_EQ(runTool("db company add 东郊变电站" + home, path("")).status, 0);
    ASSERT_EQ(
        runTool("db device add 1号主变 --company 东郊变电站 --voltage-kv 500" + home, path(""))
            .status,
        0);
    EXPECT_NE(limitsLine().find("500 kV"), std::string::npos);
}

}  // namespace
}  // namespace dgaws::cli::test
