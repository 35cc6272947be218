#pragma once

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace dgaws::cli {

struct ReportOptions {
    std::string file;
    std::string kind = "analysis";  // analysis, dga
    std::string pdf;
    std::string png;   // page 1 as a picture
    std::string lang;  // zh, en; empty: the print settings, else the method's
    std::string linked;
    std::string home;
};

// Writes the report and prints the written paths. Returns 0, 1 when the chromatogram or
// the linked one cannot be read or the file cannot be written (no partial file is left),
// 2 for options that do not fit together.
int runReport(const ReportOptions& options, std::ostream& out, std::ostream& err);

// `report FILE.chg [--kind analysis|dga] (--pdf OUT.pdf | --png PAGE1.png)... [--lang zh|en]
// [--linked OTHER.chg] [--home DIR]`.
void addReportCommand(CLI::App& app);

}  // namespace dgaws::cli
