#include "TemplateWorkbooks.h"

#include "DefaultTemplates.h"
#include "RecordCard.h"

#include "dga/DgaValues.h"
#include "dga/DiagnoseCommand.h"
#include "dga/GasProductionRate.h"
#include "dga/StoredGasOrder.h"

#include <filesystem>

namespace dgaws {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRecordCardSheet = "设备档案卡片";

// "H2(氢气)" → "H2".
std::string formulaOf(std::string_view componentName)
{
    return std::string(componentName.substr(0, componentName.find('(')));
}

void writeRecordCard(XlsxWorkbook& workbook, const ChromatogramData& data, int choice)
{
    const std::optional<int> column = recordCardColumn(choice);
    if (!column)
        throw WorkbookError("只能选择第一列到第四列");
    if (!workbook.hasSheet(kRecordCardSheet))
        throw WorkbookError(std::string("工作簿中没有工作表“") + kRecordCardSheet + "”");
    for (const RecordCardCell& cell : recordCardCells(data))
        workbook.setCell(kRecordCardSheet, cell.row, *column, cell.value);
    // Both are known; a column of numbers without its date and tester is no record.
    if (data.injectionTime.isValid())
        workbook.setCell(kRecordCardSheet, kRecordCardDateRow, *column,
                         data.injectionTime.format("%Y-%m-%d"));
    if (!data.method.tester.empty())
        workbook.setCell(kRecordCardSheet, kRecordCardTesterRow, *column, data.method.tester);
}

}  // namespace

const WorkbookTemplate& workbookTemplate(WorkbookKind kind)
{
    static const WorkbookTemplate kTemplates[] = {
        {"template1.xlsx", kRecordCardSheet, "_设备档案卡片",
         "设备档案卡片的Excel文件已经保存到%s"},
        {"template2.xlsx", "设备其他情况记录", "_设备其他情况记录",
         "设备其他情况记录的Excel文件已经保存到%s"},
        {"template3.xlsx", "样品标签", "_样品标签", "样品标签的Excel文件已经保存到%s"},
        {"customer_report_1.xlsx", nullptr, "_自定义报告1", "自定义报告的Excel文件已经保存到%s"},
    };
    return kTemplates[static_cast<int>(kind)];
}

std::string workbookFolder(const AnalysisMethod& method, const std::string& workingFolder)
{
    return method.baseFolder().empty() ? workingFolder : method.baseFolder();
}

std::map<std::string, CellValue> placeholderValues(const ChromatogramData& data)
{
    std::map<std::string, CellValue> values;
    for (size_t g = 0; g < gas::Count; ++g)
        values[formulaOf(gas::kComponentNames[g])] = data.gasInOil[g];
    values["totalHydrocarbons"] = data.totalHydrocarbons;
    values["injectionTime"] = data.injectionTime.format(kInjectTimeFormat);
    const AnalysisMethod& m = data.method;
    values["sendingCompany"] = m.sendingCompany;
    values["deviceNo"] = m.deviceNo;
    values["serialNo"] = m.serialNo;
    values["tester"] = m.tester;
    values["sampleText1"] = m.sampleText1;
    values["sampleText2"] = m.sampleText2;
    values["methodName"] = data.methodName;
    values["calibrationName"] = data.calibrationName;
    values["conclusion"] = data.conclusion;
    values["advice"] = data.advice;
    // Rates no diagnosis formed leave their cells empty rather than claim no gas was
    // produced.
    const bool ratesKnown = data.working.ratesComputed;
    const auto rateValue = [&data, ratesKnown](size_t slot) -> CellValue {
        if (!ratesKnown)
            return std::string();
        return data.working.gasRates[slot];
    };
    for (size_t r = 0; r < rate::Count; ++r)
        values["rate" + formulaOf(gas::kComponentNames[rate::kGasOf[r]])] = rateValue(r);
    values["rateTotalHydrocarbons"] = rateValue(rate::TotalHydrocarbons);
    return values;
}

std::map<std::string, CellValue>
placeholderValues(const TestRecord& test, const std::string& company, const std::string& device)
{
    static constexpr std::pair<const char*, TestRecord::Value> kGases[] = {
        {"H2", TestRecord::H2},     {"CH4", TestRecord::CH4},   {"C2H6", TestRecord::C2H6},
        {"C2H4", TestRecord::C2H4}, {"C2H2", TestRecord::C2H2}, {"CO", TestRecord::CO},
        {"CO2", TestRecord::CO2},   {"O2", TestRecord::O2},     {"N2", TestRecord::N2}};
    std::map<std::string, CellValue> values;
    for (const auto& [name, slot] : kGases)
        values[name] = test.values[slot];
    values["totalHydrocarbons"] = test.values[TestRecord::AllC];
    values["injectionTime"] = test.injectTime;
    values["sendingCompany"] = company;
    values["deviceNo"] = device;
    values["serialNo"] = test.batchNo;
    return values;
}

std::string templateWorkbookPath(WorkbookKind kind, const std::string& title,
                                 const std::string& folder)
{
    return (fs::path(folder.empty() ? "." : folder) /
            (title + workbookTemplate(kind).savedSuffix + kWorkbookExtension))
        .string();
}

namespace {

std::string fillTemplate(WorkbookKind kind, const std::map<std::string, CellValue>& values,
                         const ChromatogramData* card, const std::string& title,
                         const std::string& schemePath, const std::string& folder, int column,
                         ExistingCard existing = ExistingCard::Keep)
{
    const WorkbookTemplate& t = workbookTemplate(kind);
    const fs::path target = templateWorkbookPath(kind, title, folder);
    if (kind == WorkbookKind::RecordCard && existing == ExistingCard::Keep) {
        std::error_code ec;
        if (fs::exists(target, ec) || ec) {
            std::string text = kCardExists;
            text.replace(text.find("%s"), 2, target.string());
            throw WorkbookError(text);
        }
    }
    const fs::path templatePath = fs::path(schemePath) / t.fileName;
    std::error_code ec;
    if (!fs::is_regular_file(templatePath, ec))
        throw WorkbookError("找不到模板文件" + templatePath.string());
    XlsxWorkbook workbook = XlsxWorkbook::open(templatePath.string());
    if (t.sheet && !workbook.hasSheet(t.sheet))
        throw WorkbookError("模板文件" + templatePath.string() + "中没有工作表“" + t.sheet + "”");
    if (card)
        writeRecordCard(workbook, *card, column);
    workbook.fillPlaceholders(values);
    workbook.requestRecalculation();

    fs::create_directories(target.parent_path(), ec);
    workbook.save(target.string());
    return target.string();
}

}  // namespace

std::string writeTemplateWorkbook(WorkbookKind kind, const ChromatogramData& data,
                                  const std::string& title, const std::string& schemePath,
                                  const std::string& folder, int column, ExistingCard existing)
{
    return fillTemplate(kind, placeholderValues(data),
                        kind == WorkbookKind::RecordCard ? &data : nullptr, title, schemePath,
                        folder, column, existing);
}

std::string writeCustomReport(const std::map<std::string, CellValue>& values,
                              const std::string& title, const std::string& schemePath,
                              const std::string& folder)
{
    return fillTemplate(WorkbookKind::CustomReport, values, nullptr, title, schemePath, folder, 0);
}

ChromatogramData workbookData(const ChromatogramData& data, const std::string& ownPath,
                              const std::string& dataFolder)
{
    ChromatogramData copy = data;
    ChromatogramData linked;
    const DgaCollection collected = collectDgaValues(copy, linked, ownPath, dataFolder);
    if (collected.incomplete())
        throw WorkbookError(linkedUnreadableText(collected.linkedPath, collected.linkedError) +
                            kWorkbookNotWritten);
    return copy;
}

std::string ensureTemplate(WorkbookKind kind, const std::string& schemePath)
{
    const fs::path path = fs::path(schemePath) / workbookTemplate(kind).fileName;
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        fs::create_directories(path.parent_path(), ec);
        writeDefaultTemplate(kind, path.string());
    }
    return path.string();
}

void appendToRecordCard(const std::string& cardPath, const ChromatogramData& data, int column)
{
    XlsxWorkbook workbook = XlsxWorkbook::open(cardPath);
    writeRecordCard(workbook, data, column);
    workbook.requestRecalculation();
    workbook.save(cardPath);
}

}  // namespace dgaws
