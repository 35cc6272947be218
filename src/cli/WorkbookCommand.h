#pragma once

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace dgaws::cli {

struct WorkbookOptions {
    std::string kind;  // card, append, other, label, custom
    std::string file;
    int column = 1;    // 1 … 4, the card's test column
    std::string card;  // the card appended to
    std::string linked;
    std::string previous;
    std::string out;  // folder; default the method's base folder, else the working folder
    std::string home;
    bool replace = false;  // a new card may take the place of one already there
};

// Fills the workbook and prints its path on `out`. Returns 0, 1 for a failure (unreadable
// chromatogram, linked chromatogram or previous test, a template or card that is no
// workbook, a new card where one is already and no --replace, a failed save; nothing is
// written then), 2 for options that do not fit together.
int runWorkbook(const WorkbookOptions& options, std::ostream& out, std::ostream& err);

// `workbook card|append|other|label|custom FILE.chg [--column 1-4] [--card CARD.xlsx]
// [--linked OTHER.chg] [--previous P.lcd] [--out DIR] [--home DIR] [--replace]`.
void addWorkbookCommand(CLI::App& app);

}  // namespace dgaws::cli
