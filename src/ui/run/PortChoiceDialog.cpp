#include "ui/run/PortChoiceDialog.h"

#include "ui/common/DialogButtons.h"
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace dgaws {

PortChoiceDialog::PortChoiceDialog(const QStringList& friendlyNames, const QStringList& portNames,
                                   QWidget* parent)
    : QDialog(parent), ports_(portNames), list_(new QListWidget(this)),
      chosenName_(new QLabel(this)), remember_(new QCheckBox(QString::fromUtf8(kRemember), this))
{
    setWindowTitle(QString::fromUtf8(kCaption));
    list_->addItems(friendlyNames);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        chosen_ = row;
        chosenName_->setText(chosenPort());
    });
    auto* chosenRow = new QHBoxLayout;
    chosenRow->addWidget(new QLabel(QString::fromUtf8(kChosenLabel), this));
    chosenRow->addWidget(chosenName_, 1);
    auto* note = new QLabel(
        QStringLiteral("端口按设备路径打开，例如 /dev/ttyUSB0；USB 转串口设备拔插后名称可能改变。"),
        this);
    note->setWordWrap(true);
    QDialogButtonBox* buttons = okCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(chosenRow);
    layout->addWidget(remember_);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

QString PortChoiceDialog::chosenPort() const
{
    return chosen_ >= 0 && chosen_ < ports_.size() ? ports_[chosen_] : QString();
}

QString PortChoiceDialog::chosenText() const
{
    return chosenName_->text();
}

bool PortChoiceDialog::remember() const
{
    return remember_->isChecked();
}

}  // namespace dgaws
