#pragma once

#include <QDialog>
#include <QDialogButtonBox>

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

}  // namespace dgaws
