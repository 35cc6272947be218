#include "ui/methods/MethodChoiceDialog.h"

#include "ui/common/QtText.h"

#include "app/MethodSelection.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace dgaws {

namespace {
constexpr int kIndexRole = Qt::UserRole + 1;

int indexOf(const QListWidgetItem* item)
{
    return item ? item->data(kIndexRole).toInt() : -1;
}
}  // namespace

MethodChoiceDialog::MethodChoiceDialog(const MethodLibrary& library, const MethodChoice& preset,
                                       QWidget* parent)
    : QDialog(parent), library_(library), methods_(new QListWidget(this)),
      curves_(new QListWidget(this))
{
    setWindowTitle(qs(MethodSelection::kChooseCaption));
    methods_->setObjectName(QStringLiteral("methods"));
    curves_->setObjectName(QStringLiteral("curves"));
    for (size_t i = 0; i < library_.size(); ++i) {
        const MethodLibraryEntry& entry = library_.at(i);
        const int index = static_cast<int>(i);
        if (!entry.method.visible && index != preset.libraryMethodIndex)
            continue;
        auto* item = new QListWidgetItem(qs(entry.method.name), methods_);
        item->setData(kIndexRole, index);
        if (index == preset.libraryMethodIndex)
            methods_->setCurrentItem(item);
    }
    fillCurves(preset.libraryCalibrationIndex);
    connect(methods_, &QListWidget::currentItemChanged, this, [this] { fillCurves(-1); });

    auto* buttons = new QDialogButtonBox(this);
    confirm_ = buttons->addButton(qs(kConfirm), QDialogButtonBox::AcceptRole);
    buttons->addButton(qs(kCancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(qs(kMethodsLabel), this), 0, 0);
    layout->addWidget(new QLabel(qs(kCurvesLabel), this), 0, 1);
    layout->addWidget(methods_, 1, 0);
    layout->addWidget(curves_, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
}

void MethodChoiceDialog::fillCurves(int curve)
{
    curves_->clear();
    const int method = indexOf(methods_->currentItem());
    if (method < 0)
        return;
    const MethodLibraryEntry& entry = library_.at(static_cast<size_t>(method));
    for (size_t c = 0; c < entry.curves.size(); ++c) {
        auto* item = new QListWidgetItem(qs(entry.curves[c].name), curves_);
        item->setData(kIndexRole, static_cast<int>(c));
        if (static_cast<int>(c) == curve)
            curves_->setCurrentItem(item);
    }
}

MethodChoice MethodChoiceDialog::choice() const
{
    const int method = indexOf(methods_->currentItem());
    return {method, method < 0 ? -1 : indexOf(curves_->currentItem())};
}

}  // namespace dgaws
