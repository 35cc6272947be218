#pragma once

#include "report/DgaPrintSettings.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;

namespace dgaws {

// "诊断结果的打印设置": the peaks the DGA result table lists, its columns, and the language
// of the reports' titles.
class DgaPrintSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit DgaPrintSettingsDialog(const DgaPrintSettings& settings, QWidget* parent = nullptr);

    DgaPrintSettings settings() const;

    QButtonGroup* filters() const { return filters_; }
    QCheckBox* column(DgaPrintSettings::Column c) const { return columns_[size_t(c)]; }
    QComboBox* language() const { return language_; }

private:
    QButtonGroup* filters_;
    std::array<QCheckBox*, DgaPrintSettings::ColumnCount> columns_{};
    QComboBox* language_;
};

}  // namespace dgaws
