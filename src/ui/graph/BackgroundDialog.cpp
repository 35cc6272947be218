#include "ui/graph/BackgroundDialog.h"

#include "ui/common/DialogButtons.h"
#include "ui/common/QtText.h"

#include "app/CChrEDoc.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace dgaws {

BackgroundDialog::BackgroundDialog(const CChrEDoc& doc, QWidget* parent)
    : QDialog(parent), file_(new QLineEdit(qs(doc.backgroundFile), this)),
      show_(new QCheckBox(QStringLiteral("显示背景参照图谱"), this)),
      colorButton_(new QPushButton(this)), color_(doc.backgroundTraceColor)
{
    setWindowTitle(QString::fromUtf8(kCaption));
    show_->setChecked(doc.showBackground != 0);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    const QString folder = QFileInfo(qs(doc.pathName)).absolutePath();
    connect(browse, &QPushButton::clicked, this, [this, folder] {
        const QString chosen = QFileDialog::getOpenFileName(
            this, QString::fromUtf8(kCaption), file_->text().isEmpty() ? folder : file_->text(),
            QStringLiteral("*.chg"));
        if (!chosen.isEmpty())
            file_->setText(chosen);
    });
    connect(colorButton_, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(toQColor(color_), this);
        if (c.isValid())
            setTraceColor(fromQColor(c));
    });
    setTraceColor(color_);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file_);
    fileRow->addWidget(browse);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("背景图谱文件"), fileRow);
    form->addRow(QString(), show_);
    form->addRow(QStringLiteral("背景图谱颜色"), colorButton_);
    QDialogButtonBox* buttons = okCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString BackgroundDialog::file() const
{
    return file_->text();
}
bool BackgroundDialog::showBackground() const
{
    return show_->isChecked();
}

void BackgroundDialog::setTraceColor(int32_t color)
{
    color_ = color;
    colorButton_->setStyleSheet(
        QStringLiteral("background-color: %1; min-height: 18px;").arg(toQColor(color).name()));
}

}  // namespace dgaws
