#pragma once

#include "RecordJson.h"

#include "app/BatchProcessing.h"
#include "chromatogram/ChromatogramData.h"

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace dgaws::cli {

// The method, curve and settings, with what processing one file adds.
struct ProcessOptions : ProcessSettings {
    std::string path;
    std::string outputPath;  // empty: nothing written
    bool json = false;
};

// The result table as JSON: the shown rows with their row numbers and the totals row,
// then the calculation and the group results. `linked` is the curve the contents were
// formed with (null: the chromatogram's own table): a content it could not form is null,
// with the reason, and left out of the totals, which name what they leave out.
Json resultJson(const ChromatogramData& data, const CalibrationCurve* linked);
// The result table as text, with its columns and the totals row "合计"; a content that
// could not be formed reads "未校正".
void printResultTable(std::ostream& out, const ChromatogramData& data,
                      const CalibrationCurve* linked);
// The group results as text ("组号", "组名", "峰个数", "总峰高", "总面积", "总含量");
// nothing when there are none.
void printGroupResults(std::ostream& out, const ChromatogramData& data);

// The whole command without the parser. Returns 0, or 1 with one line on `err`.
int runProcess(const ProcessOptions& options, std::ostream& out, std::ostream& err);

// Registers `process FILE [--method M.she [--calibration NAME]] [--points-per-second N]
// [-o OUT.chg] [--home DIR] [--json]`.
void addProcessCommand(CLI::App& app);

}  // namespace dgaws::cli
