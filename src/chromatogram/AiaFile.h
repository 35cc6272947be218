#pragma once

#include "ChromatogramData.h"
#include "Interchange.h"

#include <string>

namespace dgaws {

// Texts of the AIA commands.
inline constexpr const char* kCdfExportFailed = "输出谱图文件失败!";
inline constexpr const char* kCdfOpenedLog = "用户打开了一张国际通用色谱文件%s。";

// Writes the chromatogram as an AIA chromatography netCDF file (classic format): the
// samples, the display range, the rate and the peak table. `sourceFile` goes into
// `source_file_reference` (the path the chromatogram was last saved to or read from).
// The file is built beside `path` and renamed over it, so a failed export leaves a previous
// file intact. Throws InterchangeError (kExportNoData for an empty chromatogram, otherwise
// a description of the netCDF failure) or FileError.
void exportCdf(const ChromatogramData& data, const std::string& path,
               const std::string& sourceFile);

// Reads an AIA chromatography file of this or any other system into a fresh record: the
// samples, extrema, run length, rate and peak table. Only classic and 64-bit-offset netCDF
// files are taken; everything the header declares is checked against the file before the
// netCDF library sees it, so a damaged or hostile file gives InterchangeError or FileError,
// never a crash, a huge allocation or silently zeroed samples.
//
// The rate is 1 / `actual_sampling_interval` rounded up. A file without a usable interval
// but with `raw_data_retention` times (non-uniform sampling) is resampled onto the grid of
// the rate derived from the mean time step, so that its peak times and its signal agree;
// a file with neither takes the rate from `actual_run_time_length`, and a file with no time
// information at all keeps `currentRate`.
ChromatogramData importCdf(const std::string& path,
                           int currentRate = kDefaultPointsPerSecond);

}  // namespace dgaws
