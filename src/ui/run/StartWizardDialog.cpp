#include "ui/run/StartWizardDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace dgaws {

StartWizardDialog::StartWizardDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(kCaption));
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(QStringLiteral("请选择与采集器的连接方式："), this);
    layout->addWidget(note);
    const char* texts[] = {"启动自动连接(&O)", "手动连接(&M)", "模拟连接（&V）", "取消连接(&C)"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(texts[i]), this);
        b->setMinimumHeight(32);
        buttons_[i] = b;
        layout->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, i] { choose(static_cast<Choice>(i)); });
    }
    buttons_[Automatic]->setDefault(true);
}

QPushButton* StartWizardDialog::button(Choice c) const
{
    return buttons_[c];
}

void StartWizardDialog::choose(Choice c)
{
    choice_ = c;
    if (c == NoConnection)
        reject();
    else
        accept();
}

}  // namespace dgaws
