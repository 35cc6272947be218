#pragma once

#include <QWidget>

class QLabel;

namespace dgaws {

// The floating wait window of the connection: no caption, one line of green text on black,
// centred on the window it waits for (or on the screen).
class WaitWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kInitialText = "正在等待连接信息...";

    explicit WaitWindow(QWidget* centreOn = nullptr);

    // Shows the text and centres the window again, as every progress step does.
    void showText(const QString& text);
    QString text() const;

private:
    void centre();

    QWidget* centreOn_;
    QLabel* label_;
};

}  // namespace dgaws
