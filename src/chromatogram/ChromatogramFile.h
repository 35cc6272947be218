#pragma once

#include "Archive.h"
#include "ChromatogramData.h"

#include <string>

namespace dgaws {

// The .chg record serialiser, both directions. Storing always writes format 755; loading
// follows the file head's tag into every sub-block.
void serializeChromatogram(Archive& ar, ChromatogramData& data);

// Bytes of a .chg file for a record, and a record from such bytes (ArchiveError on damage).
std::string storeChromatogram(const ChromatogramData& data);
ChromatogramData loadChromatogram(std::string bytes);

// File level: reading throws FileError or ArchiveError; writing goes through a temporary
// file and a rename, so a failed save leaves the previous file as it was.
ChromatogramData readChromatogramFile(const std::string& path);
void writeChromatogramFile(const std::string& path, const ChromatogramData& data);

// The binary sample file: consecutive floats, nothing else.
void writeBinaryChromatogram(const std::string& path, const ChromatogramData& data);
// Fills signal, extrema, injection time (the file's time), hasData and the display range.
ChromatogramData readBinaryChromatogram(const std::string& path);

}  // namespace dgaws
