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

// Processes every chromatogram on `jobs` threads, writes one summary row per file and
// identified component (and one per file without any, or with its error), and the processed
// files under `outputDir` beside their input's layout. Goes on past a file that fails and
// lists it on `err` at the end. Returns 0, 1 when any file failed or the summary could not
// be written, 2 for options that do not fit.
int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& err);

}  // namespace dgaws::cli
