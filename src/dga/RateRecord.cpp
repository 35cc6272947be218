#include "RateRecord.h"

#include "StoredGasOrder.h"

#include "chromatogram/Archive.h"
#include "chromatogram/FileIO.h"

#include <filesystem>

namespace dgaws {
namespace {

// A rate record is small; anything larger is not one.
constexpr size_t kMaxRateFile = size_t(1) << 20;

void serialize(Archive& ar, RateRecord& r)
{
    ar.io(r.testTime);
    ar.ioText(r.text1);
    ar.ioText(r.text2);
    for (double& v : r.values)
        ar.io(v);
}

void show(const std::function<void(const std::string&)>& sink, const char* text)
{
    if (sink)
        sink(text);
}

}  // namespace

std::string previousTestSummary(const RateRecord& record)
{
    if (!record.testTime.isValid() || record.testTime.date == 0.0)
        return {};
    std::string files;
    for (const std::string& f : {record.text1, record.text2}) {
        if (f.empty())
            continue;
        files += files.empty() ? "" : ", ";
        files += std::filesystem::path(f).filename().string();
    }
    std::string text = record.testTime.format("%Y/%m/%d %H:%M:%S");
    return files.empty() ? text : text + " (" + files + ")";
}

RateRecord rateRecordOf(const ChromatogramData& data, const std::string& pathName)
{
    RateRecord r;
    r.testTime = data.injectionTime;
    r.text1 = pathName;
    r.text2 = data.linkedFile;
    for (size_t s = 0; s < rate::Count; ++s)
        r.values[s] = data.gasInOil[rate::kGasOf[s]];
    return r;
}

std::string storeRateRecord(const RateRecord& record)
{
    Archive ar = Archive::forStoring();
    RateRecord copy = record;
    serialize(ar, copy);
    return ar.takeBytes();
}

RateRecord loadRateRecord(std::string bytes)
{
    Archive ar = Archive::forLoading(std::move(bytes));
    RateRecord r;
    serialize(ar, r);
    if (r.testTime.status < OleDateTime::Valid || r.testTime.status > OleDateTime::Null)
        throw ArchiveError("unknown date status " + std::to_string(r.testTime.status));
    if (ar.remaining() != 0)
        throw ArchiveError(std::to_string(ar.remaining()) +
                           " bytes after the end of the rate record");
    return r;
}

RateRecord readRateRecordFile(const std::string& path)
{
    return loadRateRecord(readWholeFile(path, kMaxRateFile));
}

int saveRateRecord(const RateRecord& record, const std::string& path)
{
    try {
        writeFileAtomically(path, storeRateRecord(record));
    } catch (const std::exception&) {
        return 0;
    }
    return 1;
}

int loadRateRecord(RateRecord& record, const std::string& path)
{
    try {
        record = readRateRecordFile(path);
    } catch (const std::exception&) {
        return 0;
    }
    return 1;
}

bool recordGasProductionData(ChromatogramData& data, const std::string& pathName,
                             const std::function<std::optional<std::string>()>& choosePath,
                             const std::function<void(const std::string&)>& showMessage)
{
    data.method.testRecord = rateRecordOf(data, pathName);
    const std::optional<std::string> path = choosePath ? choosePath() : std::nullopt;
    if (!path || path->empty()) {
        show(showMessage, kRecordCancelled);
        return false;
    }
    if (saveRateRecord(data.method.testRecord, *path) == 0) {
        show(showMessage, kRateFileSaveFailed);
        return false;
    }
    show(showMessage, kRecordSucceeded);
    return true;
}

}  // namespace dgaws
