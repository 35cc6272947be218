#pragma once

#include "ChromatogramData.h"

#include <optional>
#include <string>

namespace dgaws {

// The file kinds a chromatogram can be read from and written to.
enum class ChromatogramKind { Chg, Dat, Cdf, Txt, Std, Csv };

// "chg", "dat", "cdf", "txt" (plain text), "std" (standard text), "csv".
const char* kindName(ChromatogramKind kind);
std::optional<ChromatogramKind> kindFromName(const std::string& name);

// The kind of an existing file by its extension. The text layouts share ".txt": its first
// line tells them apart (textLayoutOfFile). Nothing for an extension of no chromatogram
// kind.
std::optional<ChromatogramKind> kindOfFile(const std::string& path);
// The kind a new file gets from its extension (".txt" is plain text, ".std" standard).
std::optional<ChromatogramKind> kindForNewFile(const std::string& path);

// Reads a chromatogram of the kind; `currentRate` is the rate of kinds that carry none, and
// when it is not positive each such kind takes its own default (.dat 10, the others 20).
// Throws FileError, ArchiveError or InterchangeError.
ChromatogramData readChromatogramOfKind(const std::string& path, ChromatogramKind kind,
                                        int currentRate);
// Writes a chromatogram as the kind, through a temporary file and a rename. Kinds other
// than .chg refuse a chromatogram without samples. `sourcePath` is the file the record came
// from, recorded by the AIA file.
void writeChromatogramOfKind(const std::string& path, ChromatogramKind kind,
                             const ChromatogramData& data, const std::string& sourcePath);

}  // namespace dgaws
