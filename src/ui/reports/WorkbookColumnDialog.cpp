#include "ui/reports/WorkbookColumnDialog.h"

#include "ui/common/DialogButtons.h"
#include "ui/common/QtText.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace dgaws {

WorkbookColumnDialog::WorkbookColumnDialog(QWidget* parent)
    : QDialog(parent), columns_(new QButtonGroup(this))
{
    setWindowTitle(qs(kCaption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(qs(kPrompt), this));
    auto* row = new QHBoxLayout;
    static const char* const kNames[] = {"第一列", "第二列", "第三列", "第四列"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QRadioButton(qs(kNames[i]), this);
        columns_->addButton(button, i);
        row->addWidget(button);
    }
    columns_->button(0)->setChecked(true);
    layout->addLayout(row);
    layout->addWidget(okCancelButtons(this));
}

int WorkbookColumnDialog::column() const
{
    return columns_->checkedId();
}

void WorkbookColumnDialog::setColumn(int column)
{
    if (QAbstractButton* button = columns_->button(column))
        button->setChecked(true);
}

}  // namespace dgaws
