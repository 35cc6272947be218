#pragma once

#include "app/BatchProcessing.h"

#include <memory>
#include <string>
#include <vector>

namespace dgaws {

// The summary of a batch by its file's extension: ".csv" (UTF-8 with a byte-order mark, CRLF
// lines, numbers in their shortest exact form), ".jsonl" (one object per row, keyed by the
// column names) or ".xlsx" (one sheet). Each is written beside its place and renamed when
// finished. Nothing for another extension; throws when the file cannot be made. `headers`
// head the CSV and workbook columns (summaryColumns() unless given); JSON lines always key
// by summaryColumns().
std::unique_ptr<SummaryWriter> openBatchSummary(const std::string& path,
                                                const std::vector<std::string>& headers = {});

}  // namespace dgaws
