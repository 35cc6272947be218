#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QLineEdit;

namespace dgaws {

// "启动身份验证(&P)": the old password, the new one and its confirmation. The change
// itself is the application's; the dialog stays open until it succeeds or is cancelled.
class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    // Tries the change and returns the text to show.
    using Change =
        std::function<std::string(const std::string& oldPassword, const std::string& newPassword,
                                  const std::string& confirmation)>;
    using Show = std::function<void(const QString& text)>;

    PasswordDialog(Change change, Show show, QWidget* parent = nullptr);

    QLineEdit* oldPassword() const { return old_; }
    QLineEdit* newPassword() const { return new_; }
    QLineEdit* confirmation() const { return confirm_; }

    void accept() override;

private:
    Change change_;
    Show show_;
    QLineEdit* old_;
    QLineEdit* new_;
    QLineEdit* confirm_;
};

}  // namespace dgaws
