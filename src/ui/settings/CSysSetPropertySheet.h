#pragma once

#include "app/SystemSettings.h"

#include <QDialog>

#include <array>

class QTabWidget;

namespace dgaws {

class SettingsPage;

// "系统设置": the four pages over a copy of the settings; the caller takes the edited
// copy on OK.
class CSysSetPropertySheet : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "系统设置";

    explicit CSysSetPropertySheet(const SystemSettings& settings, QWidget* parent = nullptr);

    // The settings with every page's values.
    SystemSettings edited() const;
    QTabWidget* tabs() const { return tabs_; }
    SettingsPage* page(int index) const { return pages_[static_cast<size_t>(index)]; }

private:
    SystemSettings original_;
    QTabWidget* tabs_;
    std::array<SettingsPage*, 4> pages_{};
};

}  // namespace dgaws
