#include "ui/methods/ReportSettingsPage.h"

#include "report/DgaReport.h"
#include "ui/common/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace dgaws {

namespace {

constexpr const char* kMarginLabels[] = {
    "左边距(mm):", "上边距(mm):", "右边距(mm):", "下边距(mm):"};
constexpr const char* kSectionTexts[] = {"谱图", "峰表", "仪器条件", "样品信息", "诊断结果"};
constexpr int ReportSettings::*kSections[] = {
    &ReportSettings::showChromatogram, &ReportSettings::showPeakTable,
    &ReportSettings::showInstrument, &ReportSettings::showSampleInfo,
    &ReportSettings::showDiagnosis};
constexpr double ReportSettings::*kMargins[] = {
    &ReportSettings::marginLeft, &ReportSettings::marginTop, &ReportSettings::marginRight,
    &ReportSettings::marginBottom};

}  // namespace

ReportSettingsPage::ReportSettingsPage(QWidget* parent) : MethodPage(parent)
{
    auto* texts = new QFormLayout;
    title_ = new QLineEdit(this);
    subtitle_ = new QLineEdit(this);
    laboratory_ = new QLineEdit(this);
    footer_ = new QLineEdit(this);
    language_ = new QComboBox(this);
    language_->addItems({QStringLiteral("中文"), QStringLiteral("English")});
    texts->addRow(QStringLiteral("报告标题:"), title_);
    texts->addRow(QStringLiteral("副标题:"), subtitle_);
    texts->addRow(QStringLiteral("实验室:"), laboratory_);
    texts->addRow(QStringLiteral("页脚:"), footer_);
    texts->addRow(QStringLiteral("语言:"), language_);
    decimals_ = addNumberField(texts, "小数位数:", this);

    auto* page = new QGroupBox(QStringLiteral("页边距"), this);
    auto* marginForm = new QFormLayout(page);
    for (size_t side = 0; side < margins_.size(); ++side)
        margins_[side] = addNumberField(marginForm, kMarginLabels[side], page);

    auto* sections = new QGroupBox(QStringLiteral("打印的部分"), this);
    auto* sectionList = new QVBoxLayout(sections);
    for (size_t i = 0; i < sections_.size(); ++i) {
        sections_[i] = new QCheckBox(qs(kSectionTexts[i]), sections);
        sectionList->addWidget(sections_[i]);
    }
    sectionList->addStretch();

    auto* columnBox = new QGroupBox(QStringLiteral("结果表的列"), this);
    columns_ = new QListWidget(columnBox);
    (new QVBoxLayout(columnBox))->addWidget(columns_);

    auto* sides = new QHBoxLayout;
    sides->addWidget(page);
    sides->addWidget(sections);
    sides->addWidget(columnBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(texts);
    layout->addLayout(sides);
}

void ReportSettingsPage::load(const AnalysisMethod& method)
{
    const ReportSettings& s = method.report;
    title_->setText(qs(s.title));
    subtitle_->setText(qs(s.subtitle));
    laboratory_->setText(qs(s.laboratory));
    footer_->setText(qs(s.footer));
    language_->setCurrentIndex(s.language == 1 ? 1 : 0);
    showInteger(decimals_, s.decimals);
    for (size_t side = 0; side < margins_.size(); ++side)
        showNumber(margins_[side], s.*kMargins[side]);
    for (size_t i = 0; i < sections_.size(); ++i)
        sections_[i]->setChecked(s.*kSections[i] != 0);
    shown_ = s.columns;
    columns_->clear();
    for (const ReportColumn& c : shown_) {
        auto* item = new QListWidgetItem(qs(c.caption), columns_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(c.visible ? Qt::Checked : Qt::Unchecked);
    }
}

bool ReportSettingsPage::store(AnalysisMethod& method, InputProblem& problem) const
{
    ReportSettings s = method.report;
    for (size_t side = 0; side < margins_.size(); ++side) {
        double mm = 0.0;
        if (!readNumber(margins_[side], mm, problem))
            return false;
        if (!usableReportMargin(mm)) {
            problem.message = qs(kMarginRange);
            problem.field = margins_[side];
            return false;
        }
        s.*kMargins[side] = mm;
    }
    if (!readInteger(decimals_, 0, s.decimals, problem))
        return false;
    if (s.decimals > kMaxReportDecimals) {
        problem.message = qs(kDecimalsRange);
        problem.field = decimals_;
        return false;
    }
    s.title = ss(title_->text());
    s.subtitle = ss(subtitle_->text());
    s.laboratory = ss(laboratory_->text());
    s.footer = ss(footer_->text());
    s.language = language_->currentIndex() == 1 ? 1 : 0;
    for (size_t i = 0; i < sections_.size(); ++i)
        s.*kSections[i] = sections_[i]->isChecked() ? 1 : 0;
    s.columns = shown_;
    for (size_t c = 0; c < s.columns.size(); ++c)
        s.columns[c].visible =
            columns_->item(static_cast<int>(c))->checkState() == Qt::Checked ? 1 : 0;
    method.report = std::move(s);
    return true;
}

}  // namespace dgaws
