#pragma once

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace dgaws {

class CChrEDoc;

// "背景参照图谱设置": the background (reference) chromatogram, whether it is shown, and the
// colour of its trace.
class BackgroundDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "背景参照图谱设置";

    explicit BackgroundDialog(const CChrEDoc& doc, QWidget* parent = nullptr);

    QString file() const;
    bool showBackground() const;
    int32_t traceColor() const { return color_; }

    QLineEdit* fileEdit() const { return file_; }
    QCheckBox* showBox() const { return show_; }
    void setTraceColor(int32_t color);

private:
    QLineEdit* file_;
    QCheckBox* show_;
    QPushButton* colorButton_;
    int32_t color_;
};

}  // namespace dgaws
