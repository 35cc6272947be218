#pragma once

#include "chromatogram/DisplayColors.h"

#include <QDialog>

#include <array>

class QPushButton;

namespace dgaws {

// "谱图颜色选择": the eight display colours of a chromatogram, one button each.
class ColorSelectDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "谱图颜色选择";
    static constexpr int kColors = 8;

    explicit ColorSelectDialog(const DisplayColors& colors, QWidget* parent = nullptr);

    const DisplayColors& colors() const { return colors_; }
    // The button of a colour in table order (ruler first, background last).
    QPushButton* button(int index) const { return buttons_[static_cast<size_t>(index)]; }
    void setColor(int index, int32_t color);

    // The colour of a DisplayColors by table order.
    static int32_t& colorAt(DisplayColors& colors, int index);

private:
    void pick(int index);
    void paintButton(int index);

    DisplayColors colors_;
    std::array<QPushButton*, kColors> buttons_{};
};

}  // namespace dgaws
