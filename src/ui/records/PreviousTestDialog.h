#pragma once

#include "dga/RateRecord.h"

#include <QDialog>

#include <array>
#include <optional>

class QLineEdit;

namespace dgaws {

class OperatorPrompts;

// "显示上次产气率采样计算数据": the previous test of the device that the gas production
// rates are computed against, read from and kept in .lcd files.
class PreviousTestDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "显示上次产气率采样计算数据";
    static constexpr const char* kBadDate = "上次的实验日期应写作 年-月-日 时:分:秒";
    static constexpr const char* kBadValue = "含量应是不小于0的数";
    static constexpr const char* kClearButton = "清除(&L)";

    PreviousTestDialog(const RateRecord& record, OperatorPrompts& prompts,
                       QWidget* parent = nullptr);

    // The fields as a record; none (the reason shown, the focus on the field) when a field
    // does not read. An empty date is no previous test at all: the empty record.
    std::optional<RateRecord> record();

    QLineEdit* dateEdit() const { return date_; }
    QLineEdit* valueEdit(size_t slot) const { return values_[slot]; }

    // The record the dialog ended with through "确定(&O)".
    const RateRecord& accepted() const { return accepted_; }

    void load();
    bool store();
    // "清除(&L)": empties the fields, so the dialog ends with no previous test and the rates
    // are no longer counted from a test that does not belong to this device.
    void clear();
    void accept() override;

private:
    void show(const RateRecord& record);

    OperatorPrompts& prompts_;
    QLineEdit* date_;
    QLineEdit* file1_;
    QLineEdit* file2_;
    std::array<QLineEdit*, 7> values_{};
    RateRecord accepted_;
};

}  // namespace dgaws
