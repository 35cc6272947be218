#pragma once

#include "ChromatogramData.h"
#include "Interchange.h"

#include <string>
#include <string_view>

namespace dgaws {

// The three text layouts of a chromatogram's samples. Only the samples (and, for two
// layouts, their times in minutes) travel; peaks, method and results do not.
enum class TextLayout {
    Plain,           // "%lf " per sample, no line breaks
    Standard,        // "%1.7f %lf\n": time, space, value
    CommaSeparated,  // "%f,%f\n\t": time, comma, value, line feed and tab
};

// Log lines of the three load commands.
inline constexpr const char* kPlainTextOpenedLog = "用户打开了一张色谱谱图文本文件%s。";
inline constexpr const char* kStandardTextOpenedLog = "用户打开了一张标准色谱谱图文本文件%s。";
inline constexpr const char* kCsvTextOpenedLog = "用户打开了一张EXCEL通用色谱文本文件%s。";
const char* textOpenedLog(TextLayout layout);

// The text of a chromatogram in a layout. Numbers are written as the C library's "%f" does
// in the "C" locale whatever the process locale is, so the files are the same on every
// machine.
std::string formatTextChromatogram(const ChromatogramData& data, TextLayout layout);

// Refuses an empty chromatogram with kExportNoData (InterchangeError); otherwise writes the
// file through a temporary file and a rename (FileError on failure).
void saveText(const ChromatogramData& data, const std::string& path, TextLayout layout);

// Reads a text chromatogram into a fresh record. Reading stops at the first text that is
// not a number (or not a pair, for the two-column layouts); the samples before it stay.
// The plain layout keeps `currentRate`; the two-column layouts derive the rate from their
// first two times (see rateFromTimeStep), and keep `currentRate` when they hold fewer than
// two pairs or times that give no usable step.
ChromatogramData parseTextChromatogram(std::string_view text, TextLayout layout,
                                       int currentRate = kDefaultPointsPerSecond);
// The same from a file; FileError when it cannot be read.
ChromatogramData loadText(const std::string& path, TextLayout layout,
                          int currentRate = kDefaultPointsPerSecond);

// The layout a text chromatogram is in, from its first line: the comma-separated one when
// that line holds a time, a comma and a value; the standard one when it holds exactly two
// numbers and a line break follows it; else the plain one (a single line of numbers, or
// one value per line). The window, the command line and the batch all decide by this.
TextLayout recogniseTextLayout(std::string_view head);
// The same from the first 64 KiB of a file; the plain layout when it cannot be read.
TextLayout textLayoutOfFile(const std::string& path);

// Points per second from the step between two consecutive times in minutes: 1/step/60,
// rounded up. The times of a text file are printed with six or seven decimals, which
// makes the step up to 0.2 % too short at 50 points per second (0.000333 for 1/3000), and a
// plain ceiling would turn 50 into 51 and 20 into 21. A figure less than 0.5 % above a
// whole number is therefore taken as that number. 0 when the step gives no usable rate
// (not positive, not finite, or above kMaxImportedRate).
int rateFromTimeStep(double stepMinutes);

}  // namespace dgaws
