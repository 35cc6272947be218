#pragma once

#include "quant/CalibrationTableEditor.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QCPTextElement;
class QCustomPlot;
class QLabel;
class QPushButton;

namespace dgaws {

class OperatorPrompts;

// "校正曲线": one component's standard points and fitted line, its factors and equation, with
// the plot copied to the clipboard or every component's curve exported for printing.
class CalibrationCurveDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "校正曲线";
    static constexpr const char* kClipboardFailed = "Unable to set Clipboard data";
    static constexpr const char* kPrintCaption = "打印";
    static constexpr const char* kExported = "校正曲线已输出到%s";
    static constexpr const char* kExportFailed = "校正曲线无法输出到%s";

    // `editor` holds the curve as the table dialog shows it, and its checks.
    CalibrationCurveDialog(const CalibrationTableEditor& editor, int component,
                           OperatorPrompts& prompts, QWidget* parent = nullptr);

    int component() const { return component_; }
    QComboBox* componentList() const { return components_; }
    QCheckBox* logarithmic() const { return log_; }
    QCustomPlot* plot() const { return plot_; }
    // The equation line above the plot, which the copies and exports carry with it.
    QString equation() const;
    QPushButton* copyButton() const { return copy_; }
    QPushButton* printButton() const { return print_; }

    // The curve of every component that has one: one PNG each beside the PDF, named after
    // it with the component's position and name, and the PDF with a page per component.
    // Returns how many, 0 when the PDF cannot be written; the component shown before is
    // shown again.
    int exportCurves(const QString& pdfPath);

private:
    void selectComponent(int index);
    void draw();
    void copyToClipboard();
    void printCurves();

    CalibrationTableEditor editor_;
    OperatorPrompts& prompts_;
    int component_;
    QComboBox* components_;
    QCustomPlot* plot_;
    QLabel* factor1_;
    QLabel* factor2_;
    QCPTextElement* equation_;
    QCheckBox* log_;
    QPushButton* copy_;
    QPushButton* print_;
};

}  // namespace dgaws
