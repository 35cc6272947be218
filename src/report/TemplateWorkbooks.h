#pragma once

#include "XlsxWorkbook.h"

#include "chromatogram/ChromatogramData.h"
#include "dga/TestRecord.h"

#include <map>
#include <string>

namespace dgaws {

// The workbooks a chromatogram fills from the laboratory's templates in the method folder.
enum class WorkbookKind { RecordCard, OtherSituation, SampleLabel, CustomReport };

struct WorkbookTemplate {
    const char* fileName;      // in the method folder
    const char* sheet;         // the sheet written; none for the custom report, which fills all
    const char* savedSuffix;   // document title + this = the saved workbook
    const char* savedMessage;  // with the saved path for %s
};
const WorkbookTemplate& workbookTemplate(WorkbookKind kind);

inline constexpr const char* kWorkbookExtension = ".xlsx";
inline constexpr const char* kRecordCardFilter = "设备档案卡片文件(*.xlsx)|*.xlsx||";

// Where a chromatogram's workbooks go: the method's base folder, else the working folder.
std::string workbookFolder(const AnalysisMethod& method, const std::string& workingFolder);

// The values a template's "{name}" cells take, by the names of the records' fields: the
// nine gases in oil by formula ({H2} … {CO2}), {totalHydrocarbons}, {injectionTime}, the
// sample information ({sendingCompany}, {deviceNo}, {serialNo}, {tester}, {sampleText1},
// {sampleText2}), {methodName}, {calibrationName}, {conclusion} and {advice}.
std::map<std::string, CellValue> placeholderValues(const ChromatogramData& data);

// The same names for a test of the database ("打印当前报告" of the database view): the
// contents in oil, {totalHydrocarbons}, {injectionTime}, {sendingCompany}, {deviceNo} and
// the batch number as {serialNo}.
std::map<std::string, CellValue>
placeholderValues(const TestRecord& test, const std::string& company, const std::string& device);

// The custom report from `values`, saved in `folder` as `title` + "_自定义报告1.xlsx".
std::string writeCustomReport(const std::map<std::string, CellValue>& values,
                              const std::string& title, const std::string& schemePath,
                              const std::string& folder);

// A record card already there (with %s its path): the window's question, and the command
// line's refusal.
inline constexpr const char* kReplaceCardQuestion =
    "设备档案卡片%s已经存在，它记录的实验将被新卡片替换。要替换它吗?";
inline constexpr const char* kCardExists = "设备档案卡片%s已经存在，未被替换";

// Where writeTemplateWorkbook saves the kind's workbook of `title` in `folder`.
std::string templateWorkbookPath(WorkbookKind kind, const std::string& title,
                                 const std::string& folder);

// Whether a new record card may take the place of one already there.
enum class ExistingCard { Keep, Replace };

// Fills a new workbook from the kind's template in `schemePath` and saves it in `folder`
// as `title` + the kind's suffix; returns the saved path. For the record card `column`
// (0 … 3) chooses the test column. `data` holds the contents in oil. WorkbookError when the
// template or its sheet is missing or the workbook cannot be saved; nothing is written then.
// A record card holds tests appended over years: one already at that path is kept, with
// kCardExists, unless `existing` says Replace.
std::string writeTemplateWorkbook(WorkbookKind kind, const ChromatogramData& data,
                                  const std::string& title, const std::string& schemePath,
                                  const std::string& folder, int column = 0,
                                  ExistingCard existing = ExistingCard::Keep);

inline constexpr const char* kWorkbookNotWritten = "；工作簿未写入。";

// The chromatogram as its workbooks show it: the contents in oil of its peaks and of the
// linked chromatogram of the other channel (found from `ownPath` and `dataFolder` as
// linkedChromatogramPath finds it) collected into `gasInOil` and `totalHydrocarbons`, as
// the diagnosis collects them; `data` is left as it is. A linked chromatogram that is
// named but cannot be read would make half a test: WorkbookError naming it and the reason.
ChromatogramData workbookData(const ChromatogramData& data, const std::string& ownPath,
                              const std::string& dataFolder);

// The kind's template in `schemePath`, written there from the workstation's own when the
// laboratory has none; returns its path.
std::string ensureTemplate(WorkbookKind kind, const std::string& schemePath);

// Writes the test into `column` of an existing record card and replaces the card.
void appendToRecordCard(const std::string& cardPath, const ChromatogramData& data, int column);

}  // namespace dgaws
