#pragma once

#include "chromatogram/ChromatogramData.h"
#include "chromatogram/MethodRecords.h"

#include <functional>
#include <optional>
#include <string>

namespace dgaws {

// The previous test of a device: its date, its chromatogram and linked chromatogram, and
// its seven contents in uL/L in the rate order (CH4, C2H2, C2H4, C2H6, H2, CO, CO2). The
// method copy of a chromatogram holds one as its testRecord; .lcd files hold one each.
using RateRecord = TestRecordBlock;

inline constexpr const char* kRateFileFilter = "绝对产气率计算数据文件(*.lcd)|*.lcd||";
inline constexpr const char* kRateFileExtension = ".lcd";
inline constexpr const char* kRecordCancelled = "记录失败！";
inline constexpr const char* kRecordSucceeded = "记录成功！";
inline constexpr const char* kRateFileSaveFailed = "保存绝对产气率计算数据文件失败。";
inline constexpr const char* kRateFileLoadFailed = "载入绝对产气率计算数据文件失败。";

inline constexpr const char* kPreviousTestLabel = "上次实验:";

// The previous test as the diagnosis dialog and the DGA report name it: its date and the
// names of its chromatogram files, e.g. "2024/04/09 09:00:00 (A_1.chg, B_1.chg)"; empty
// when the record holds no test.
std::string previousTestSummary(const RateRecord& record);

// The current test as the next one's previous test.
RateRecord rateRecordOf(const ChromatogramData& data, const std::string& pathName);

// The .lcd bytes: date (int32 status, double), file 1, file 2, seven doubles; no header.
std::string storeRateRecord(const RateRecord& record);
// Throws ArchiveError for anything but exactly one well-formed record.
RateRecord loadRateRecord(std::string bytes);
// Throws FileError or ArchiveError.
RateRecord readRateRecordFile(const std::string& path);

// 1 on success, 0 on failure. Saving replaces the file atomically, so a failed save leaves
// the previous file whole; a failed load leaves `record` untouched.
int saveRateRecord(const RateRecord& record, const std::string& path);
int loadRateRecord(RateRecord& record, const std::string& path);

// "记录产气数据": the current test becomes the document's previous test (the method's
// testRecord), then `choosePath` asks where to keep it (none: cancelled) and the record is
// written there. Returns whether a file was written; every outcome is shown.
bool recordGasProductionData(ChromatogramData& data, const std::string& pathName,
                             const std::function<std::optional<std::string>()>& choosePath,
                             const std::function<void(const std::string&)>& showMessage);

}  // namespace dgaws
