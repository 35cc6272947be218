#pragma once

#include "RecordJson.h"

#include "app/CChrEDoc.h"
#include "chromatogram/ChromatogramData.h"
#include "chromatogram/MethodFile.h"
#include "chromatogram/MethodLibrary.h"

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace dgaws::cli {

struct ProcessOptions {
    std::string path;
    std::string methodPath;    // empty: the chromatogram's own method
    std::string calibration;   // a curve of that method to identify and quantify with
    std::string methodFolder;  // the library a chromatogram is linked to; empty: none
    int pointsPerSecond = 0;   // 0: the file's own rate (10 for a .dat, which stores none)
    std::string outputPath;    // empty: nothing written
    bool json = false;
    // The settings CacuFrequence and AutoDelUnusedPeak.
    int cacuFrequence = 1;
    bool keepExcluded = false;
};

// The result table as JSON: the shown rows with their row numbers and the totals row,
// then the calculation and the group results.
Json resultJson(const ChromatogramData& data);
// The result table as text, with its columns and the totals row "合计".
void printResultTable(std::ostream& out, const ChromatogramData& data);
// The group results as text ("组号", "组名", "峰个数", "总峰高", "总面积", "总含量");
// nothing when there are none.
void printGroupResults(std::ostream& out, const ChromatogramData& data);

// What processing many chromatograms with one set of options shares: the method library
// and the chosen method, read once. One session serves one thread.
class ProcessSession {
public:
    explicit ProcessSession(const ProcessOptions& options);
    // Reads the chosen method and finds its curve; the reason when it cannot.
    std::string prepare();
    // Reads `path` into `doc`, links it to its method and detects, identifies and quantifies
    // it; false with the reason in `error`.
    bool process(const std::string& path, CChrEDoc& doc, std::string& error);

private:
    const ProcessOptions& options_;
    MethodLibrary library_;
    int method_ = -1;
    int curve_ = -1;
};

// The whole command without the parser. Returns 0, or 1 with one line on `err`.
int runProcess(const ProcessOptions& options, std::ostream& out, std::ostream& err);

// Registers `process FILE [--method M.she [--calibration NAME]] [--points-per-second N]
// [-o OUT.chg] [--home DIR] [--json]`.
void addProcessCommand(CLI::App& app);

}  // namespace dgaws::cli
