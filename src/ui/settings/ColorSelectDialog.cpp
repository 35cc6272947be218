#include "ui/settings/ColorSelectDialog.h"

#include "ui/common/DialogButtons.h"
#include "ui/common/QtText.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace dgaws {

namespace {
const char* const kLabels[ColorSelectDialog::kColors] = {"标尺颜色",   "标尺背景颜色", "基线颜色",
                                                         "峰信息颜色", "峰标志颜色",   "选择峰颜色",
                                                         "谱图颜色",   "背景颜色"};
}  // namespace

int32_t& ColorSelectDialog::colorAt(DisplayColors& c, int index)
{
    int32_t* all[kColors] = {&c.rulerColor,    &c.rulerBackColor, &c.baselineColor,
                             &c.peakInfoColor, &c.peakMarkColor,  &c.selectedPeakColor,
                             &c.traceColor,    &c.backgroundColor};
    return *all[index];
}

ColorSelectDialog::ColorSelectDialog(const DisplayColors& colors, QWidget* parent)
    : QDialog(parent), colors_(colors)
{
    setWindowTitle(QString::fromUtf8(kCaption));
    auto* form = new QFormLayout;
    for (int i = 0; i < kColors; ++i) {
        auto* b = new QPushButton(this);
        b->setFixedWidth(90);
        buttons_[static_cast<size_t>(i)] = b;
        connect(b, &QPushButton::clicked, this, [this, i] { pick(i); });
        form->addRow(QString::fromUtf8(kLabels[i]), b);
        paintButton(i);
    }
    QDialogButtonBox* buttons = okCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void ColorSelectDialog::setColor(int index, int32_t color)
{
    colorAt(colors_, index) = color;
    paintButton(index);
}

void ColorSelectDialog::pick(int index)
{
    const QColor chosen = QColorDialog::getColor(toQColor(colorAt(colors_, index)), this,
                                                 QString::fromUtf8(kLabels[index]));
    if (chosen.isValid())
        setColor(index, fromQColor(chosen));
}

void ColorSelectDialog::paintButton(int index)
{
    const QColor c = toQColor(colorAt(colors_, index));
    buttons_[static_cast<size_t>(index)]->setStyleSheet(
        QStringLiteral("background-color: %1; border: 1px solid gray; min-height: 18px;")
            .arg(c.name()));
}

}  // namespace dgaws
