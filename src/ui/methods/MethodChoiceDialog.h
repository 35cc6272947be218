#pragma once

#include "chromatogram/MethodLibrary.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace dgaws {

// "样品分析方法选择": a method of the library and one of its curves, for the calculation
// of a chromatogram. Hidden methods are offered only when the chromatogram already uses one.
class MethodChoiceDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kMethodsLabel = "分析方法：";
    static constexpr const char* kCurvesLabel = "校正曲线：";
    static constexpr const char* kConfirm = "确认(&O)";
    static constexpr const char* kCancel = "取消(&C)";

    MethodChoiceDialog(const MethodLibrary& library, const MethodChoice& preset,
                       QWidget* parent = nullptr);

    // The chosen library positions; -1 where nothing is chosen.
    MethodChoice choice() const;

    QListWidget* methodList() const { return methods_; }
    QListWidget* curveList() const { return curves_; }
    QPushButton* confirmButton() const { return confirm_; }

private:
    void fillCurves(int curve);

    const MethodLibrary& library_;
    QListWidget* methods_;
    QListWidget* curves_;
    QPushButton* confirm_;
};

}  // namespace dgaws
