#include "ui/shell/CProgStatusBar.h"

#include <QLabel>
#include <QProgressBar>

namespace dgaws {

CProgStatusBar::CProgStatusBar(QWidget* parent)
    : QStatusBar(parent), progress_(new QProgressBar(this))
{
    const int widths[kPanes] = {0, 160, 160, 200, 90, 140};
    for (int i = 0; i < kPanes; ++i) {
        auto* label = new QLabel(this);
        label->setMinimumWidth(widths[i]);
        label->setFrameShape(QFrame::NoFrame);
        panes_[static_cast<size_t>(i)] = label;
        if (i == Text)
            addWidget(label, 1);
        else
            addPermanentWidget(label);
    }
    panes_[Text]->setText(QStringLiteral("就绪"));
    progress_->setRange(0, 100);
    progress_->setMaximumWidth(160);
    progress_->setVisible(false);
    addPermanentWidget(progress_);
}

void CProgStatusBar::setPaneText(int pane, const QString& text)
{
    if (pane >= 0 && pane < kPanes)
        panes_[static_cast<size_t>(pane)]->setText(text);
}

QString CProgStatusBar::paneText(int pane) const
{
    return pane >= 0 && pane < kPanes ? panes_[static_cast<size_t>(pane)]->text() : QString();
}

void CProgStatusBar::onProgress(unsigned int percent)
{
    const int value = static_cast<int>(std::min(percent, 100u));
    progress_->setValue(value);
    progress_->setVisible(value > 0 && value < 100);
}

}  // namespace dgaws
