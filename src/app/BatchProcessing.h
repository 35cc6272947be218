#pragma once

#include "CChrEDoc.h"

#include "chromatogram/ChromatogramData.h"
#include "chromatogram/MethodLibrary.h"

#include <atomic>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace dgaws {

// How each chromatogram of a batch is processed.
struct ProcessSettings {
    std::string methodPath;    // empty: the chromatogram's own method
    std::string calibration;   // a curve of that method to identify and quantify with
    std::string methodFolder;  // the library a chromatogram is linked to; empty: none
    int pointsPerSecond = 0;   // 0: the file's own rate (10 for a .dat, which stores none)
    // The settings CacuFrequence and AutoDelUnusedPeak.
    int cacuFrequence = 1;
    bool keepExcluded = false;
};

// A chromatogram file of any kind the workstation reads (.chg, .dat, the interchange kinds,
// or a renamed .chg known by its format tag). Throws with the reason; a method, a rate
// record or an unknown file is "not a chromatogram".
ChromatogramData readChromatogramToProcess(const std::string& path, int pointsPerSecond);

// What processing many chromatograms with one set of settings shares: the method library
// and the chosen method, read once. One session serves one thread.
class ProcessSession {
public:
    // `settings` must outlive the session.
    explicit ProcessSession(const ProcessSettings& settings);
    // Reads the chosen method and finds its curve; the reason when it cannot.
    std::string prepare();
    // Reads `path` into `doc`, links it to its method and detects, identifies and quantifies
    // it; false with the reason in `error`.
    bool process(const std::string& path, CChrEDoc& doc, std::string& error);

private:
    const ProcessSettings& settings_;
    MethodLibrary library_;
    int method_ = -1;
    int curve_ = -1;
};

// One row of a batch summary: a file and one identified component of it, or the file alone
// when it has none or failed (then with its error).
struct SummaryRow {
    std::string file, injectionTime, sendingCompany, deviceNo, component;
    double retentionTime = NAN, area = NAN, gasContent = NAN, oilContent = NAN;
    std::string error;
};

// The summary's column names, in the order of SummaryRow: the machine names that JSON
// lines key their values by and tools read.
const std::vector<std::string>& summaryColumns();
// The same columns as the window titles them, for the headers an operator reads.
const std::vector<std::string>& summaryColumnTitles();
std::vector<SummaryRow> summaryRowsOf(const std::string& file, const ChromatogramData& data);

// Where summary rows go. Rows arrive one at a time, never concurrently; the file appears at
// its place only when finished, and an unfinished writer leaves nothing behind when it is
// destroyed.
class SummaryWriter {
public:
    virtual ~SummaryWriter() = default;
    virtual void write(const SummaryRow& row) = 0;
    // Throws with the reason when the summary could not be completed.
    virtual void finish() = 0;
};

// The chromatograms (.chg, .dat) named or held in the inputs, each once, in path order;
// a missing input is named in `missing`.
std::vector<std::string> collectChromatograms(const std::vector<std::string>& inputs,
                                              bool recursive, std::vector<std::string>& missing);

// Where a processed file goes: its path below the input folder it was found in, or its name.
std::filesystem::path batchOutputFor(const std::string& file,
                                     const std::vector<std::string>& inputs,
                                     const std::string& outputDir);

// The first of `files` whose processed copy would land on the file itself (an output folder
// that is the folder of the inputs); empty when none would. A batch never writes over its
// inputs: they would lose the method and peaks they were stored with.
std::string firstOverwrittenInput(const std::vector<std::string>& files,
                                  const std::vector<std::string>& inputs,
                                  const std::string& outputDir);

struct BatchRequest {
    std::vector<std::string> inputs;  // chromatograms and folders of them
    std::string outputDir;            // the processed chromatograms; empty: none written
    int jobs = 0;                     // threads; 0: one per core
    ProcessSettings process;
};

// One file finished, as the progress callback hears of it.
struct BatchProgress {
    size_t done = 0;  // files finished so far, this one included
    size_t total = 0;
    std::string file;
    std::string error;  // empty when it went well
};

struct BatchFailure {
    std::string file;
    std::string error;
    bool operator<(const BatchFailure& o) const
    {
        return file != o.file ? file < o.file : error < o.error;
    }
};

struct BatchOutcome {
    size_t total = 0;
    size_t finished = 0;                 // processed or failed; less than total when cancelled
    std::vector<BatchFailure> failures;  // by file name
    bool cancelled = false;              // stopped before every file was taken
    std::string summaryError;            // why the summary could not be completed
    size_t processed() const { return finished - failures.size(); }
};

using BatchProgressCallback = std::function<void(const BatchProgress&)>;

// Processes `files` on `request.jobs` threads and writes each processed file (through a
// temporary file and a rename) under the output folder, one summary row per file and
// identified component as files finish, and finishes the summary. Goes on past a file that
// fails. Memory stays flat in the number of files.
//
// `cancel` is read before each file is taken: once it is set, the files in flight finish,
// no further file is started, and the summary is completed with the rows of the finished
// files. `progress` is called on the worker threads (never two at once) after each file's
// rows are written; it may set `cancel`. Blocks until every thread has ended.
BatchOutcome processBatch(const std::vector<std::string>& files, const BatchRequest& request,
                          SummaryWriter* summary, const std::atomic<bool>* cancel = nullptr,
                          const BatchProgressCallback& progress = {});

}  // namespace dgaws
