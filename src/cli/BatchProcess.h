#pragma once

#include "ProcessCommand.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace dgaws::cli {

struct BatchOptions {
    std::vector<std::string> inputs;  // chromatograms and folders of them
    bool recursive = false;           // folders with their subfolders
    std::string outputDir;            // the processed chromatograms; empty: none written
    std::string summary;              // .csv, .jsonl or .xlsx; empty: none
    int jobs = 0;                     // threads; 0: one per core
    bool progress = false;            // a progress line on `err`
    ProcessOptions process;           // the method, curve and settings for every file
};

// The chromatograms (.chg, .dat) named or held in the inputs, each once, in path order;
// a missing input is named in `missing`.
std::vector<std::string> collectChromatograms(const std::vector<std::string>& inputs,
                                              bool recursive, std::vector<std::string>& missing);

// Processes every chromatogram on `jobs` threads, writes one summary row per file and
// identified component (and one per file without any, or with its error), and the processed
// files under `outputDir` beside their input's layout. Goes on past a file that fails and
// lists it on `err` at the end. Memory stays flat in the number of files: rows are written
// as files finish. Returns 0, 1 when any file failed or the summary could not be written,
// 2 for options that do not fit.
int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& err);

}  // namespace dgaws::cli
