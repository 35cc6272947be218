#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace dgaws {

// The OK and Cancel row every dialog of the workstation ends with. OK goes through the
// dialog's own accept, so a dialog that checks its fields before closing keeps doing so.
inline QDialogButtonBox* okCancelButtons(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// A table with its add and delete buttons stacked beside it, as the editable lists of the
// method and its dialogs show them.
inline QHBoxLayout* tableWithSideButtons(QWidget* table, QPushButton* add, QPushButton* remove)
{
    auto* side = new QVBoxLayout;
    side->addWidget(add);
    side->addWidget(remove);
    side->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(table);
    row->addLayout(side);
    return row;
}

}  // namespace dgaws
