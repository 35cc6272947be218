#include "ChromatogramKinds.h"

#include "AiaFile.h"
#include "ChromatogramFile.h"
#include "FileIO.h"
#include "TextChromatogram.h"

#include <algorithm>
#include <filesystem>

namespace dgaws {
namespace {

std::string lowerExtension(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return ext;
}

TextLayout layoutOf(ChromatogramKind kind)
{
    switch (kind) {
    case ChromatogramKind::Std: return TextLayout::Standard;
    case ChromatogramKind::Csv: return TextLayout::CommaSeparated;
    default: return TextLayout::Plain;
    }
}

}  // namespace

const char* kindName(ChromatogramKind kind)
{
    switch (kind) {
    case ChromatogramKind::Chg: return "chg";
    case ChromatogramKind::Dat: return "dat";
    case ChromatogramKind::Cdf: return "cdf";
    case ChromatogramKind::Txt: return "txt";
    case ChromatogramKind::Std: return "std";
    case ChromatogramKind::Csv: return "csv";
    }
    return "";
}

std::optional<ChromatogramKind> kindFromName(const std::string& name)
{
    for (auto k : {ChromatogramKind::Chg, ChromatogramKind::Dat, ChromatogramKind::Cdf,
                   ChromatogramKind::Txt, ChromatogramKind::Std, ChromatogramKind::Csv})
        if (name == kindName(k))
            return k;
    return std::nullopt;
}

std::optional<ChromatogramKind> kindForNewFile(const std::string& path)
{
    const std::string ext = lowerExtension(path);
    return ext.size() > 1 ? kindFromName(ext.substr(1)) : std::nullopt;
}

std::optional<ChromatogramKind> kindOfFile(const std::string& path)
{
    const auto kind = kindForNewFile(path);
    if (kind != ChromatogramKind::Txt)
        return kind;
    switch (textLayoutOfFile(path)) {
    case TextLayout::Standard: return ChromatogramKind::Std;
    case TextLayout::CommaSeparated: return ChromatogramKind::Csv;
    case TextLayout::Plain: break;
    }
    return kind;
}

ChromatogramData readChromatogramOfKind(const std::string& path, ChromatogramKind kind,
                                        int currentRate)
{
    switch (kind) {
    case ChromatogramKind::Chg: return readChromatogramFile(path);
    case ChromatogramKind::Dat: return readBinaryChromatogram(path, currentRate);
    case ChromatogramKind::Cdf: return importCdf(path, currentRate);
    default: return loadText(path, layoutOf(kind), currentRate);
    }
}

void writeChromatogramOfKind(const std::string& path, ChromatogramKind kind,
                             const ChromatogramData& data, const std::string& sourcePath)
{
    switch (kind) {
    case ChromatogramKind::Chg: writeChromatogramFile(path, data); return;
    case ChromatogramKind::Dat:
        if (!data.hasData || data.signal.count() == 0)
            throw InterchangeError(kExportNoData);
        writeBinaryChromatogram(path, data);
        return;
    case ChromatogramKind::Cdf: exportCdf(data, path, sourcePath); return;
    default: saveText(data, path, layoutOf(kind)); return;
    }
}

}  // namespace dgaws
