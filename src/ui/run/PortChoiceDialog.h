#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QListWidget;

namespace dgaws {

// "请从下表中选择要连接的端口": the serial ports by friendly name, the one chosen shown by
// its port name, and whether to use it from now on without asking.
class PortChoiceDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "请从下表中选择要连接的端口";
    static constexpr const char* kChosenLabel = "您当前选择的端口:";
    static constexpr const char* kRemember = "默认选择此端口，下次不要再询问我";

    // `portNames` are what opening uses, line by line with the friendly names.
    PortChoiceDialog(const QStringList& friendlyNames, const QStringList& portNames,
                     QWidget* parent = nullptr);

    // -1 until a line is chosen.
    int chosen() const { return chosen_; }
    QString chosenPort() const;
    bool remember() const;
    QListWidget* list() const { return list_; }
    QCheckBox* rememberBox() const { return remember_; }
    QString chosenText() const;

private:
    QStringList ports_;
    int chosen_ = -1;
    QListWidget* list_;
    QLabel* chosenName_;
    QCheckBox* remember_;
};

}  // namespace dgaws
