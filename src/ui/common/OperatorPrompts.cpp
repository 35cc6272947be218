#include "ui/common/OperatorPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace dgaws {

namespace {

QMessageBox::Icon boxIcon(OperatorPrompts::Icon icon)
{
    switch (icon) {
    case OperatorPrompts::Icon::Information: return QMessageBox::Information;
    case OperatorPrompts::Icon::Question: return QMessageBox::Question;
    case OperatorPrompts::Icon::Warning:
    case OperatorPrompts::Icon::Exclamation: break;
    }
    return QMessageBox::Warning;
}

QString applicationTitle()
{
    return QApplication::applicationDisplayName();
}

}  // namespace

void DialogPrompts::message(const QString& text, Icon icon)
{
    QMessageBox box(boxIcon(icon), applicationTitle(), text, QMessageBox::Ok, parent_);
    box.exec();
}

bool DialogPrompts::askYesNo(const QString& text, Icon icon)
{
    QMessageBox box(boxIcon(icon), applicationTitle(), text, QMessageBox::Yes | QMessageBox::No,
                    parent_);
    return box.exec() == QMessageBox::Yes;
}

OperatorPrompts::Answer DialogPrompts::askYesNoCancel(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, applicationTitle(), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

bool DialogPrompts::askOkCancel(const QString& text)
{
    QMessageBox box(QMessageBox::Question, applicationTitle(), text,
                    QMessageBox::Ok | QMessageBox::Cancel, parent_);
    return box.exec() == QMessageBox::Ok;
}

bool DialogPrompts::askOkCancelTitled(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent_);
    return box.exec() == QMessageBox::Ok;
}

bool DialogPrompts::confirm(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent_);
    QPushButton* ok = box.addButton(QStringLiteral("确认(&O)"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("取消(&C)"), QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok;
}

std::optional<QString> DialogPrompts::openFile(const QString& caption, const QString& folder,
                                               const QStringList& filters)
{
    QFileDialog dialog(parent_, caption, folder);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

QStringList DialogPrompts::openFiles(const QString& caption, const QString& folder,
                                     const QStringList& filters)
{
    QFileDialog dialog(parent_, caption, folder);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

std::optional<QString> DialogPrompts::chooseFolder(const QString& caption, const QString& folder)
{
    const QString chosen = QFileDialog::getExistingDirectory(parent_, caption, folder);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

std::optional<QString> DialogPrompts::saveFile(const QString& caption, const QString& proposed,
                                               const QStringList& filters,
                                               const QString& defaultSuffix)
{
    QFileDialog dialog(parent_, caption);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

std::optional<int> DialogPrompts::askInteger(const QString& caption, const QString& label,
                                             int value, int min, int max)
{
    bool ok = false;
    const int chosen = QInputDialog::getInt(parent_, caption, label, value, min, max, 1, &ok);
    if (!ok)
        return std::nullopt;
    return chosen;
}

std::optional<int> DialogPrompts::choose(const QString& caption, const QString& text,
                                         const QStringList& choices)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Cancel, parent_);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices)
        buttons << box.addButton(choice, QMessageBox::AcceptRole);
    box.exec();
    const auto index = buttons.indexOf(box.clickedButton());
    if (index < 0)
        return std::nullopt;
    return static_cast<int>(index);
}

std::optional<QString> DialogPrompts::askText(const QString& caption, const QString& label,
                                              const QString& value)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, caption, label, QLineEdit::Normal, value, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

}  // namespace dgaws
