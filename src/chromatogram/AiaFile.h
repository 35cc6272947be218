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
// The rate is 1 / `actual_sampling_interval` rounded up. Without a usable interval it comes
// from the mean step of the `raw_data_retention` times (non-uniform sampling), then from
// `actual_run_time_length` / point count, and a file with no time information at all keeps
// `currentRate`. A record holds whole points per second only, so the samples of a file that
// are not on the grid of its rate (0.4 s, or irregular scans) are interpolated onto it; the
// peak times of the file then point at the right samples. Files on the grid keep their
// samples unchanged.
ChromatogramData importCdf(const std::string& path, int currentRate = kDefaultPointsPerSecond);

}  // namespace dgaws
