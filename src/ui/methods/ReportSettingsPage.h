#pragma once

#include "ui/methods/MethodPage.h"

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace dgaws {

// "报告设置": what the method's printed reports say and show: title, subtitle, laboratory and
// footer, the margins, the language, the decimals, which columns of the result table and
// which sections print.
class ReportSettingsPage : public MethodPage {
    Q_OBJECT
public:
    static constexpr const char* kMarginRange = "页边距必须在0到60毫米之间。";
    static constexpr const char* kDecimalsRange = "小数位数必须在0到10之间。";

    explicit ReportSettingsPage(QWidget* parent = nullptr);
    QString caption() const override { return QStringLiteral("报告设置"); }
    void load(const AnalysisMethod& method) override;
    bool store(AnalysisMethod& method, InputProblem& problem) const override;

    QLineEdit* title() const { return title_; }
    QLineEdit* margin(size_t side) const { return margins_[side]; }
    QComboBox* language() const { return language_; }
    QListWidget* columns() const { return columns_; }
    // Chromatogram, peak table, instrument, sample information, diagnosis.
    QCheckBox* section(size_t which) const { return sections_[which]; }

private:
    QLineEdit* title_;
    QLineEdit* subtitle_;
    QLineEdit* laboratory_;
    QLineEdit* footer_;
    std::array<QLineEdit*, 4> margins_{};  // left, top, right, bottom
    QComboBox* language_;
    QLineEdit* decimals_;
    QListWidget* columns_;
    std::array<QCheckBox*, 5> sections_{};
    std::vector<ReportColumn> shown_;
};

}  // namespace dgaws
