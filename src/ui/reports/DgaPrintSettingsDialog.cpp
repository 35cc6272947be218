#include "ui/reports/DgaPrintSettingsDialog.h"

#include "ui/common/DialogButtons.h"
#include "ui/common/QtText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace dgaws {

DgaPrintSettingsDialog::DgaPrintSettingsDialog(const DgaPrintSettings& s, QWidget* parent)
    : QDialog(parent), filters_(new QButtonGroup(this)), language_(new QComboBox(this))
{
    setWindowTitle(qs(DgaPrintSettings::kCaption));
    auto* which = new QGroupBox(QStringLiteral("打印的组份"), this);
    auto* whichLayout = new QVBoxLayout(which);
    for (int f = 0; f < 3; ++f) {
        auto* button = new QRadioButton(qs(DgaPrintSettings::kFilterTexts[f]), which);
        filters_->addButton(button, f);
        whichLayout->addWidget(button);
    }
    if (QAbstractButton* chosen = filters_->button(s.filter))
        chosen->setChecked(true);

    auto* columns = new QGroupBox(QStringLiteral("打印的列"), this);
    auto* grid = new QGridLayout(columns);
    for (int c = 0; c < DgaPrintSettings::ColumnCount; ++c) {
        const auto column = DgaPrintSettings::Column(c);
        auto* box = new QCheckBox(qs(dgaColumnTitle(column, ReportLanguage::Chinese)), columns);
        box->setChecked(s.columns[size_t(c)]);
        columns_[size_t(c)] = box;
        grid->addWidget(box, c / 3, c % 3);
    }

    language_->addItem(QStringLiteral("按分析方法的设置"));
    language_->addItem(QStringLiteral("中文"));
    language_->addItem(QStringLiteral("English"));
    language_->setCurrentIndex(s.language ? 1 + int(*s.language) : 0);
    auto* languageRow = new QFormLayout;
    languageRow->addRow(QStringLiteral("报告语言:"), language_);

    auto* buttons = okCancelButtons(this);
    // A table without columns would print its rows as nothing: OK waits for one.
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    const auto anyColumn = [this, ok] {
        ok->setEnabled(std::any_of(columns_.begin(), columns_.end(),
                                   [](const QCheckBox* box) { return box->isChecked(); }));
    };
    for (QCheckBox* box : columns_)
        connect(box, &QCheckBox::toggled, this, anyColumn);
    anyColumn();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(which);
    layout->addWidget(columns);
    layout->addLayout(languageRow);
    layout->addWidget(buttons);
}

DgaPrintSettings DgaPrintSettingsDialog::settings() const
{
    DgaPrintSettings s;
    s.filter = std::max(0, filters_->checkedId());
    for (size_t c = 0; c < columns_.size(); ++c)
        s.columns[c] = columns_[c]->isChecked();
    if (language_->currentIndex() > 0)
        s.language = ReportLanguage(language_->currentIndex() - 1);
    return s;
}

}  // namespace dgaws
