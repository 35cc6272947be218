#pragma once

#include "chromatogram/ChromatogramData.h"

#include <optional>
#include <vector>

namespace dgaws {

// The device record card keeps one test per column; the rows of a test start here.
inline constexpr int kRecordCardFirstRow = 13;
inline constexpr int kRecordCardLastRow = 27;
inline constexpr int kRecordCardColumnChoices = 4;
// Above and below them, the test's date ("试验日期") and its tester ("试验人").
inline constexpr int kRecordCardDateRow = 11;
inline constexpr int kRecordCardTesterRow = 28;

// "第一列" … "第四列" (0 … 3) → the sheet columns 4, 6, 8 and 9 the card's layout gives
// them; none for anything else.
std::optional<int> recordCardColumn(int choice);

// Whole days from the previous test to the injection, cut towards zero; 0 or less (and a
// date without a calendar form) counts as 1, so a rate is always per at least a day.
long long recordCardDays(const OleDateTime& previous, const OleDateTime& injection);

// One cell of a test's column.
struct RecordCardCell {
    int row = 0;
    double value = 0.0;
};

// The test's rows in the order of the card: the nine contents in oil (H2, O2, N2, CO, CO2,
// CH4, C2H4, C2H6, C2H2) and the total hydrocarbons from `gasInOil` and
// `totalHydrocarbons`, two zero rows, then the growth of the total hydrocarbons over the
// previous test held in the method, the days between them and the absolute rate with the
// equipment's oil mass and density. The last three rows are left out when there is no
// previous test, and the rate also when the mass or the density is missing: a number
// there would be wrong, an empty cell says it is not known.
std::vector<RecordCardCell> recordCardCells(const ChromatogramData& data);

}  // namespace dgaws
