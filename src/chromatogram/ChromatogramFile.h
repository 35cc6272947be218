#pragma once

#include "Archive.h"
#include "ChromatogramData.h"

#include <string>

namespace dgaws {

// Bytes of a .chg file for a record, and a record from such bytes (ArchiveError on damage).
// Storing always writes the current format; loading follows the file head's tag into every
// block.
std::string storeChromatogram(const ChromatogramData& data);
ChromatogramData loadChromatogram(std::string bytes);

// File level: reading throws FileError or ArchiveError; writing goes through a temporary
// file and a rename, so a failed save leaves the previous file as it was.
ChromatogramData readChromatogramFile(const std::string& path);
void writeChromatogramFile(const std::string& path, const ChromatogramData& data);

// The binary sample file: consecutive floats, nothing else; it keeps no rate.
void writeBinaryChromatogram(const std::string& path, const ChromatogramData& data);
// The rate a binary file is read at when nobody says otherwise.
inline constexpr int kBinaryPointsPerSecond = 10;
// Fills signal, extrema, injection time (the file's time), hasData, the rate and the display
// range. The samples are taken at `pointsPerSecond`, or kBinaryPointsPerSecond when it is
// not positive (the rate is not known).
ChromatogramData readBinaryChromatogram(const std::string& path, int pointsPerSecond = 0);

}  // namespace dgaws
