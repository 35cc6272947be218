#pragma once

#include "ui/settings/SettingsPage.h"

class QButtonGroup;

namespace dgaws {

// "常规设置"
class CSysSet_GeneralDlg : public SettingsPage {
    Q_OBJECT
public:
    explicit CSysSet_GeneralDlg(QWidget* parent = nullptr);
};

// "工作路径"
class CSysSet_PathDlg : public SettingsPage {
    Q_OBJECT
public:
    explicit CSysSet_PathDlg(QWidget* parent = nullptr);
};

// "采集卡": the card type (which takes effect at the next start) and the point rate.
class CSysSet_CardDlg : public SettingsPage {
    Q_OBJECT
public:
    explicit CSysSet_CardDlg(QWidget* parent = nullptr);
    void load(const SystemSettings& settings) override;
    void store(SystemSettings& settings) const override;

    QButtonGroup* cardTypes() const { return cardTypes_; }
    QButtonGroup* rates() const { return rates_; }

private:
    QButtonGroup* cardTypes_;
    QButtonGroup* rates_;
};

// "文件设置": joining the channels after a run, and the baseline-levelling windows.
class CSysSet_FileSetDlg : public SettingsPage {
    Q_OBJECT
public:
    explicit CSysSet_FileSetDlg(QWidget* parent = nullptr);
    void load(const SystemSettings& settings) override;
    void store(SystemSettings& settings) const override;

    QButtonGroup* mergeDirection() const { return mergeDirection_; }

private:
    QButtonGroup* mergeDirection_;
};

}  // namespace dgaws
