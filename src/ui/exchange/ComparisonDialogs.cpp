#include "ui/exchange/ComparisonDialogs.h"

#include "ui/common/DialogButtons.h"
#include "ui/common/QtText.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

namespace dgaws {

namespace {

QDoubleSpinBox* minutesBox(QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(0.0, 100000.0);
    box->setDecimals(3);
    box->setSuffix(QStringLiteral(" 分"));
    return box;
}

// The operator sees why and lands on the field to mend.
void refuse(QWidget* parent, const char* text, QWidget* field)
{
    QMessageBox::warning(parent, parent->windowTitle(), qs(text));
    field->setFocus();
}

}  // namespace

DifferenceDialog::DifferenceDialog(double firstLength, double secondLength, QWidget* parent)
    : QDialog(parent), useOffset_(new QCheckBox(QStringLiteral("使用保留时间偏差"), this)),
      offset_(minutesBox(this)), partial_(new QCheckBox(QStringLiteral("使用部分相减"), this)),
      start_(minutesBox(this)), end_(minutesBox(this))
{
    setWindowTitle(qs(kCaption));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("谱图长度："),
                 new QLabel(QStringLiteral("%1 分 / %2 分")
                                .arg(firstLength, 0, 'f', 3)
                                .arg(secondLength, 0, 'f', 3),
                            this));
    form->addRow(partial_);
    form->addRow(QStringLiteral("谱图相减起始："), start_);
    form->addRow(QStringLiteral("结束："), end_);
    form->addRow(useOffset_);
    form->addRow(QStringLiteral("保留时间偏差："), offset_);
    end_->setValue(std::min(firstLength, secondLength));
    const auto follow = [this] {
        start_->setEnabled(partial_->isChecked());
        end_->setEnabled(partial_->isChecked());
        useOffset_->setEnabled(partial_->isChecked());
        offset_->setEnabled(partial_->isChecked() && useOffset_->isChecked());
    };
    connect(partial_, &QCheckBox::toggled, this, follow);
    connect(useOffset_, &QCheckBox::toggled, this, follow);
    follow();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(this));
}

comparison::DifferenceOptions DifferenceDialog::options() const
{
    comparison::DifferenceOptions o;
    o.partial = partial_->isChecked();
    o.startTime = start_->value();
    o.endTime = end_->value();
    o.useOffset = useOffset_->isChecked();
    o.offsetTime = offset_->value();
    return o;
}

void DifferenceDialog::setOptions(const comparison::DifferenceOptions& o)
{
    partial_->setChecked(o.partial);
    start_->setValue(o.startTime);
    end_->setValue(o.endTime);
    useOffset_->setChecked(o.useOffset);
    offset_->setValue(o.offsetTime);
}

void DifferenceDialog::accept()
{
    if (partial_->isChecked() && end_->value() <= start_->value()) {
        refuse(this, kEndBeforeStart, end_);
        return;
    }
    QDialog::accept();
}

NormalisationDialog::NormalisationDialog(QWidget* parent)
    : QDialog(parent), normalize_(new QCheckBox(QStringLiteral("归一化显示"), this)),
      start_(minutesBox(this)), end_(minutesBox(this))
{
    setWindowTitle(qs(kCaption));
    auto* form = new QFormLayout;
    form->addRow(normalize_);
    form->addRow(QStringLiteral("开始时间:"), start_);
    form->addRow(QStringLiteral("截至时间:"), end_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(this));
}

void NormalisationDialog::setValues(bool normalize, double start, double end)
{
    normalize_->setChecked(normalize);
    start_->setValue(start);
    end_->setValue(end);
}

bool NormalisationDialog::normalize() const
{
    return normalize_->isChecked();
}

double NormalisationDialog::start() const
{
    return start_->value();
}

double NormalisationDialog::end() const
{
    return end_->value();
}

void NormalisationDialog::accept()
{
    if (normalize_->isChecked() && end_->value() <= start_->value()) {
        refuse(this, kEndBeforeStart, end_);
        return;
    }
    QDialog::accept();
}

}  // namespace dgaws
