#pragma once

#include "chromatogram/AnalysisMethod.h"

#include <array>
#include <string>
#include <vector>

namespace dgaws {

// The manual event table dialog without its widgets. It works on a copy of the method's
// rows: deleting and clearing change only the copy until it is committed, so closing the
// dialog discards them.
class ManualEventTable {
public:
    static constexpr const char* kCaption = "手动积分事件表";
    static constexpr const char* kAskClearAll = "确认要全部删除吗?";
    static constexpr std::array<const char*, 3> kColumns{"序号", "时间(分)", "事件"};

    struct RowText {
        std::string number;  // from 1
        std::string time;    // "%1.3f" minutes
        std::string event;   // the kind's text
    };

    explicit ManualEventTable(const AnalysisMethod& method) : rows_(method.manualEvents) {}

    int size() const { return static_cast<int>(rows_.size()); }
    const std::vector<ManualEvent>& rows() const { return rows_; }
    RowText rowText(int row) const;

    // "删除(&D)": false for a row that does not exist.
    bool deleteRow(int row);
    // "清空(&E)", once the question has been answered Yes.
    void clear() { rows_.clear(); }
    // "确定(&O)".
    void commitTo(AnalysisMethod& method) const { method.manualEvents = rows_; }

private:
    std::vector<ManualEvent> rows_;
};

}  // namespace dgaws
