#pragma once

#include <QDialog>

class QButtonGroup;

namespace dgaws {

// "写入EXCEL": which of the device record card's four test columns the test goes into.
class WorkbookColumnDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "写入EXCEL";
    static constexpr const char* kPrompt = "请选择要输入内容的列:";

    explicit WorkbookColumnDialog(QWidget* parent = nullptr);

    // 0 … 3 for "第一列" … "第四列".
    int column() const;
    void setColumn(int column);

private:
    QButtonGroup* columns_;
};

}  // namespace dgaws
