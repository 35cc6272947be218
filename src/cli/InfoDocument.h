#pragma once

#include "chromatogram/ChromatogramData.h"
#include "chromatogram/MethodFile.h"

#include <string>
#include <variant>

namespace dgaws::cli {

// How a file was read; chosen from its extension (and, for unknown ones, its first bytes).
enum class InfoFileType {
    Chromatogram,
    Binary,
    Method,
    Cdf,
    PlainText,
    StandardText,
    Csv,
    RateRecord
};

// The tag reported for a type: "chg", "dat", "she", "cdf", "txt", "std", "csv" or "lcd".
const char* infoFileTypeTag(InfoFileType type);

// One file as `info` shows it: a chromatogram (from .chg or .dat), a library method, or
// the previous test kept for the gas production rates (.lcd).
struct InfoDocument {
    std::string path;
    InfoFileType type = InfoFileType::Chromatogram;
    std::variant<ChromatogramData, MethodLibraryEntry, TestRecordBlock> record;
};

// `pointsPerSecond` is the rate of a file that keeps none (.dat, plain text); 0 when it is
// not known. Throws FileError, ArchiveError or another std::exception whose text explains
// the failure once the path is put in front of it.
InfoDocument loadInfoDocument(const std::string& path, int pointsPerSecond = 0);

}  // namespace dgaws::cli
