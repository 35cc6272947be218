#pragma once

#include "CChrEDoc.h"
#include "chromatogram/TextChromatogram.h"

#include <string>

namespace dgaws {

// The document side of the interchange commands: refusals, operator messages, log lines
// and document state around the file formats. Each answers whether it did its work and,
// when not, why.
namespace document_interchange {

inline constexpr const char* kExportFailed = "输出谱图文件失败!";
inline constexpr const char* kCdfOpenedLog = "用户打开了一张国际通用色谱文件%s。";

// Refused with the no-data or still-acquiring text; a file that cannot be written shows
// the export failure text with its reason and leaves any previous file as it was.
Result<void> exportCdf(CChrEDoc& doc, const std::string& path);
Result<void> saveText(CChrEDoc& doc, const std::string& path, TextLayout layout);

// Into a new document: state 3, the log line with the file name. A file that cannot be
// read leaves the document empty and shows nothing; the failure holds the reason, which
// an operator is better off seeing than a bare failure.
Result<void> importCdf(CChrEDoc& doc, const std::string& path, int currentRate);
Result<void> loadText(CChrEDoc& doc, const std::string& path, TextLayout layout, int currentRate);

// "合并谱图文件(&T)": the chosen .chg joins the open chromatogram without a step at the
// junction; the document is evaluated again when it holds data and is not acquiring. A
// file that cannot be read shows the load failure text with its reason.
Result<void> mergeWith(CChrEDoc& doc, const std::string& chosenPath, bool chosenFirst);

}  // namespace document_interchange
}  // namespace dgaws
