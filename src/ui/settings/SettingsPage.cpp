#include "ui/settings/SettingsPage.h"

#include "ui/common/QtText.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace dgaws {

SystemSettings::Field* SettingsPage::find(std::vector<SystemSettings::Field>& fields,
                                          const QString& key)
{
    for (auto& f : fields)
        if (qs(f.key) == key)
            return &f;
    return nullptr;
}

void SettingsPage::load(const SystemSettings& settings)
{
    SystemSettings copy = settings;
    auto fields = copy.fields();
    for (QCheckBox* box : findChildren<QCheckBox*>()) {
        if (auto* f = find(fields, box->objectName()); f && std::holds_alternative<int*>(f->value))
            box->setChecked(*std::get<int*>(f->value) != 0);
    }
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        if (auto* f = find(fields, edit->objectName());
            f && std::holds_alternative<std::string*>(f->value))
            edit->setText(qs(*std::get<std::string*>(f->value)));
    }
}

void SettingsPage::store(SystemSettings& settings) const
{
    auto fields = settings.fields();
    for (QCheckBox* box : findChildren<QCheckBox*>()) {
        if (auto* f = find(fields, box->objectName()); f && std::holds_alternative<int*>(f->value))
            *std::get<int*>(f->value) = box->isChecked() ? 1 : 0;
    }
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        if (auto* f = find(fields, edit->objectName());
            f && std::holds_alternative<std::string*>(f->value))
            *std::get<std::string*>(f->value) = ss(edit->text().trimmed());
    }
}

QCheckBox* SettingsPage::addCheck(QLayout* layout, const char* key, const char* text)
{
    auto* box = new QCheckBox(QString::fromUtf8(text), this);
    box->setObjectName(QString::fromLatin1(key));
    layout->addWidget(box);
    return box;
}

QLineEdit* SettingsPage::addText(QFormLayout* form, const char* key, const char* label)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(key));
    form->addRow(QString::fromUtf8(label), edit);
    return edit;
}

QLineEdit* SettingsPage::addPath(QFormLayout* form, const char* key, const char* label, bool file)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(key));
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setFixedWidth(32);
    connect(browse, &QPushButton::clicked, this, [this, edit, file, label] {
        const QString chosen = file
            ? QFileDialog::getOpenFileName(this, QString::fromUtf8(label), edit->text())
            : QFileDialog::getExistingDirectory(this, QString::fromUtf8(label), edit->text());
        if (!chosen.isEmpty())
            edit->setText(chosen);
    });
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    row->addWidget(browse);
    form->addRow(QString::fromUtf8(label), row);
    return edit;
}

}  // namespace dgaws
