#pragma once

#include "chromatogram/PeakTable.h"

#include <string>
#include <vector>

namespace dgaws {

// The result table of a chromatogram window as text: its columns, one row per shown peak
// and the totals row, and the text the copy command puts on the clipboard. The list view
// shows these rows; the command line can print them.
class ResultRows {
public:
    static constexpr int kBaseColumns = 10;
    static constexpr int kEfficiencyColumns = 14;
    static constexpr const char* kTotalsLabel = "合计";

    struct Options {
        bool showEfficiency = false;
        bool showAllPeaks = false;
        // One flag per peak whose content could not be formed (see quant/ContentStatus):
        // its content cells say so, and the totals row notes that they are left out.
        std::vector<bool> uncalibrated;
    };

    struct Row {
        int peakIndex = -1;  // position in the PeakTable; -1 for the totals row
        std::vector<std::string> cells;

        bool isTotals() const { return peakIndex < 0; }
    };

    static int columnCount(bool showEfficiency)
    {
        return showEfficiency ? kEfficiencyColumns : kBaseColumns;
    }
    // Header texts of the list's columns.
    static std::vector<std::string> headers(bool showEfficiency);
    // Initial widths in pixels; 0 for the last column, which takes the rest of the view.
    static std::vector<int> widths(bool showEfficiency);
    // The header line of the copied text, with its line end.
    static std::string copyHeader(bool showEfficiency);

    // One row per shown peak in table order, then the totals row. Excluded peaks are listed
    // only with showAllPeaks, and never summed.
    static std::vector<Row> build(const PeakTable& peaks, const Options& options);

    // The copy command's text: the header line, then each selected row (numbers into
    // `rows`, in the order they were selected) as tab-terminated cells and a line end.
    static std::string copyText(const std::vector<Row>& rows, const std::vector<int>& selected,
                                bool showEfficiency);
};

}  // namespace dgaws
