#include "ui/settings/PasswordDialog.h"

#include "ui/common/DialogButtons.h"
#include "ui/common/QtText.h"

#include "app/WorkstationApp.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace dgaws {

PasswordDialog::PasswordDialog(Change change, Show show, QWidget* parent)
    : QDialog(parent), change_(std::move(change)), show_(std::move(show)),
      old_(new QLineEdit(this)), new_(new QLineEdit(this)), confirm_(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("启动身份验证"));
    for (QLineEdit* e : {old_, new_, confirm_})
        e->setEchoMode(QLineEdit::Password);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("原密码:"), old_);
    form->addRow(QStringLiteral("新密码:"), new_);
    form->addRow(QStringLiteral("确认新密码:"), confirm_);
    QDialogButtonBox* buttons = okCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void PasswordDialog::accept()
{
    const std::string result = change_(ss(old_->text()), ss(new_->text()), ss(confirm_->text()));
    if (show_)
        show_(qs(result));
    if (result == WorkstationApp::kPasswordSet)
        QDialog::accept();
}

}  // namespace dgaws
