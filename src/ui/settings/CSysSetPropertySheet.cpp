#include "ui/settings/CSysSetPropertySheet.h"

#include "ui/common/DialogButtons.h"
#include "ui/settings/CSysSetPages.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace dgaws {

CSysSetPropertySheet::CSysSetPropertySheet(const SystemSettings& settings, QWidget* parent)
    : QDialog(parent), original_(settings), tabs_(new QTabWidget(this))
{
    setWindowTitle(QString::fromUtf8(kCaption));
    pages_ = {new CSysSet_GeneralDlg(this), new CSysSet_PathDlg(this), new CSysSet_CardDlg(this),
              new CSysSet_FileSetDlg(this)};
    const char* titles[] = {"常规设置", "工作路径", "采集卡", "文件设置"};
    for (size_t i = 0; i < pages_.size(); ++i) {
        pages_[i]->load(settings);
        tabs_->addTab(pages_[i], QString::fromUtf8(titles[i]));
    }
    QDialogButtonBox* buttons = okCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
}

SystemSettings CSysSetPropertySheet::edited() const
{
    SystemSettings s = original_;
    for (SettingsPage* page : pages_)
        page->store(s);
    return s;
}

}  // namespace dgaws
