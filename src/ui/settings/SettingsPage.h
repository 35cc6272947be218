#pragma once

#include "app/SystemSettings.h"

#include <QWidget>

class QCheckBox;
class QFormLayout;
class QLineEdit;

namespace dgaws {

// A page of the system settings sheet. Each control carries its key as object name, so a
// page binds keys to controls once and loads and stores them all alike.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    virtual void load(const SystemSettings& settings);
    virtual void store(SystemSettings& settings) const;

protected:
    QCheckBox* addCheck(QLayout* layout, const char* key, const char* text);
    QLineEdit* addText(QFormLayout* form, const char* key, const char* label);
    // A path with a browse button; `file` browses for a file, otherwise for a folder.
    QLineEdit* addPath(QFormLayout* form, const char* key, const char* label, bool file);

private:
    static SystemSettings::Field* find(std::vector<SystemSettings::Field>& fields,
                                       const QString& key);
};

}  // namespace dgaws
