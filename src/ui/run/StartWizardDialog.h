#pragma once

#include <QDialog>

class QPushButton;

namespace dgaws {

// "启动向导": how to reach the collector at start-up and with "连接采集器(&M)".
class StartWizardDialog : public QDialog {
    Q_OBJECT
public:
    enum Choice { Automatic, Manual, Simulated, NoConnection };

    static constexpr const char* kCaption = "启动向导";

    explicit StartWizardDialog(QWidget* parent = nullptr);

    Choice choice() const { return choice_; }
    QPushButton* button(Choice c) const;

private:
    void choose(Choice c);

    Choice choice_ = NoConnection;
    QPushButton* buttons_[4] = {};
};

}  // namespace dgaws
