#include "InfoDocument.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/ChromatogramKinds.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/Interchange.h"
#include "dga/RateRecord.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace dgaws::cli {
namespace {

std::string lowerExtension(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

bool startsWithFormatTag(const std::string& bytes)
{
    return bytes.size() >= 3 &&
        std::all_of(bytes.begin(), bytes.begin() + 3, [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

const char* infoFileTypeTag(InfoFileType type)
{
    switch (type) {
    case InfoFileType::Chromatogram: return "chg";
    case InfoFileType::Binary: return "dat";
    case InfoFileType::Method: return "she";
    case InfoFileType::Cdf: return "cdf";
    case InfoFileType::PlainText: return "txt";
    case InfoFileType::StandardText: return "std";
    case InfoFileType::Csv: return "csv";
    case InfoFileType::RateRecord: return "lcd";
    }
    return "";
}

InfoDocument loadInfoDocument(const std::string& path, int pointsPerSecond)
{
    InfoDocument doc;
    doc.path = path;
    const std::string ext = lowerExtension(path);
    if (ext == ".chg") {
        doc.type = InfoFileType::Chromatogram;
        doc.record = readChromatogramFile(path);
    } else if (ext == ".dat") {
        doc.type = InfoFileType::Binary;
        doc.record = readBinaryChromatogram(path, pointsPerSecond);
    } else if (ext == ".she") {
        doc.type = InfoFileType::Method;
        doc.record = loadMethodFile(path);
    } else if (ext == ".lcd") {
        doc.type = InfoFileType::RateRecord;
        doc.record = readRateRecordFile(path);
    } else if (const auto kind = kindOfFile(path);
               kind && *kind != ChromatogramKind::Chg && *kind != ChromatogramKind::Dat) {
        // Interchange files: AIA netCDF and the text layouts, at the given or else the
        // default rate where the file carries none.
        doc.type = *kind == ChromatogramKind::Cdf ? InfoFileType::Cdf
            : *kind == ChromatogramKind::Txt      ? InfoFileType::PlainText
            : *kind == ChromatogramKind::Std      ? InfoFileType::StandardText
                                                  : InfoFileType::Csv;
        doc.record = readChromatogramOfKind(path, *kind, pointsPerSecond);
    } else {
        // Renamed or extensionless chromatograms are common on shared drives; the three
        // tag digits every .chg starts with are the only sign there is.
        std::string bytes = readWholeFile(path);
        if (!startsWithFormatTag(bytes))
            throw FileError("unknown file type (info reads .chg, .dat, .she, .cdf, .txt, .std, "
                            ".csv and .lcd files)");
        doc.type = InfoFileType::Chromatogram;
        doc.record = loadChromatogram(std::move(bytes));
    }
    return doc;
}

}  // namespace dgaws::cli
