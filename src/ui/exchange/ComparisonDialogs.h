#pragma once

#include "processing/ComparisonOperations.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;

namespace dgaws {

// The difference command's dialog: a whole subtraction, or a partial one between two
// times, optionally with the subtracted chromatogram's range starting elsewhere.
class DifferenceDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "谱图相减";
    static constexpr const char* kEndBeforeStart = "结束时间必须大于起始时间。";

    // The lengths (minutes) of the two chromatograms are shown for orientation.
    DifferenceDialog(double firstLength, double secondLength, QWidget* parent = nullptr);

    comparison::DifferenceOptions options() const;
    void setOptions(const comparison::DifferenceOptions& o);

    void accept() override;

private:
    QCheckBox* useOffset_;
    QDoubleSpinBox* offset_;
    QCheckBox* partial_;
    QDoubleSpinBox* start_;
    QDoubleSpinBox* end_;
};

// "归一化设置": the normalised display and its time range.
class NormalisationDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "归一化设置";
    static constexpr const char* kEndBeforeStart = "截至时间必须大于开始时间。";

    explicit NormalisationDialog(QWidget* parent = nullptr);

    void setValues(bool normalize, double start, double end);
    bool normalize() const;
    double start() const;
    double end() const;

    void accept() override;

private:
    QCheckBox* normalize_;
    QDoubleSpinBox* start_;
    QDoubleSpinBox* end_;
};

}  // namespace dgaws
