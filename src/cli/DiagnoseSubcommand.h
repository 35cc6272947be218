#pragma once

#include "RecordJson.h"

#include "chromatogram/ChromatogramData.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace dgaws::cli {

struct DiagnoseOptions {
    std::string file;                // a chromatogram, or empty with `gases`
    std::vector<std::string> gases;  // "H2=12.5" (formula or full component name)
    std::string linked;              // replaces the chromatogram's linkedFile
    std::string previous;            // .lcd of the previous test
    std::string recordLcd;           // "记录产气数据" into this .lcd
    std::string home;                // data root (settings, database)
    bool forceOneDay = false;        // the answer to the "less than a day" question
    // Override the device's class for this diagnosis.
    std::optional<double> voltageKv;
    bool openBreathing = false;
    std::string standard;  // "dlt722", "iec60599" or "ieee-c57.104"
    bool saveDb = false;
    bool json = false;
};

// Fills gasInOil and totalHydrocarbons of a chromatogram read from `ownPath` from its
// peaks and those of its linked chromatogram; unset, collectDgaValues does.
using CollectFromPeaks = std::function<void(ChromatogramData& data, ChromatogramData& linkedData,
                                            const std::string& ownPath)>;

// The command without its parser. Prints the gas contents, total hydrocarbons, the
// attention result, and once an attention value is exceeded the three-ratio judgement,
// then the production rates; messages and refusals go to `err`. Returns the exit status:
// 0, 1 for a failure (unreadable file, unknown company or device, database refused), 2 for
// options that do not fit together.
int runDiagnose(const DiagnoseOptions& options, const CollectFromPeaks& collect, std::ostream& out,
                std::ostream& err);

// `diagnose FILE.chg [--linked B.chg] [--previous P.lcd] [--force-one-day] [--save-db]
// [--record-lcd OUT.lcd] [--voltage-kv N] [--open-breathing] [--standard S] [--home DIR]
// [--json]` and `diagnose --gas H2=V ... [--json]`.
void addDiagnoseCommand(CLI::App& app);

}  // namespace dgaws::cli
